#pragma once
// The interface of the outside engine Oskeen: seven functions with plain names, bound by name from
// its library. The host sets the engine up once (EI_Initialization, EI_GetName), then per request
// sets the clocks and the position and asks for a move (EI_Think) or an analysis (EI_Analyse);
// EI_Stop, called from another thread, ends either. The engine reports its search through the
// callback handed to EI_Initialization, from whatever thread it searches on.
//
// Texts: the position is 32 square characters, row of the highest squares first ('w' and 'W' a
// man and a king of the side that moves first, 'b' and 'B' of the other, '.' empty), then 'w' or
// 'b' for the side to move. A move is square names joined: "c3d4" a plain move, "c3:d4:e5" a
// capture (from, each captured square, the last landing square). Texts the engine returns belong
// to the engine.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// evaluation, depth, speed in kN/s, the best line (zero-terminated), and a value the host ignores.
typedef void (*EI_Callback)(int32_t evaluation, int32_t depth, int32_t speed, const char* best_line,
                            int32_t extra);

void EI_Initialization(EI_Callback callback, int32_t memory_mb);
const char* EI_GetName(void);
void EI_SetupBoard(const char* position);
// Milliseconds of the two clocks; the host passes the same value twice.
void EI_SetTime(int32_t time, int32_t other);
// The engine's move as text; returns when the engine has moved or was stopped.
const char* EI_Think(void);
// Analyses until stopped.
void EI_Analyse(void);
void EI_Stop(void);

typedef void (*EI_Initialization_fn)(EI_Callback, int32_t);
typedef const char* (*EI_GetName_fn)(void);
typedef void (*EI_SetupBoard_fn)(const char*);
typedef void (*EI_SetTime_fn)(int32_t, int32_t);
typedef const char* (*EI_Think_fn)(void);
typedef void (*EI_Analyse_fn)(void);
typedef void (*EI_Stop_fn)(void);

#ifdef __cplusplus
} // extern "C"
#endif
