#pragma once
// How the tests script the stand-in engine libraries: an extra export per stub sets what the next
// calls do, another returns the log of every call with its arguments. Plain C layout, shared by
// the stubs and the tests.

#include "engine_api.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// What getmove does.
enum stub_plugin_mode {
    STUB_FIRST_LEGAL = 0, // plays the first legal move: board written back, host_move filled
    STUB_SCRIPTED_BOARD,  // writes back `board`
    STUB_SCRIPTED_MOVE,   // the first legal move's board, with `move` as the record
    STUB_GARBAGE,         // every cell, light ones too, a code that is mostly no piece
    STUB_NO_MOVE,         // returns at once, board and record untouched
    STUB_BLOCK,           // waits for play-now, then plays the first legal move
    STUB_IGNORE_STOP,     // waits until released, whatever play-now says, then plays (a test holds
                          // the answer with it until it has seen what it looks for)
    STUB_THROW,           // throws a C++ exception
};

struct stub_plugin_script {
    int mode;
    int variant;       // the rules of the first legal move: 2 English (default), 5 Italian
    int flood_status;  // fills the whole status buffer, with no terminator
    int status_line;   // writes `status` into the status buffer before it answers
    int block_command; // enginecommand waits until released
    int clear_playnow; // clears *playnow when it starts, as the engines do
    struct host_board board;
    struct host_move move;
    char status[256];
};

// What EI_Think, EI_Analyse and the set-up do.
enum stub_oskeen_mode {
    OSK_FIRST_LEGAL = 0, // the text of the first legal move
    OSK_SCRIPTED_TEXT,   // `text`
    OSK_NULL,            // a null pointer
    OSK_BLOCK,           // waits for EI_Stop, then the first legal move
    OSK_IGNORE_STOP,     // waits until released, whatever EI_Stop says
    OSK_THROW,           // throws a C++ exception
};

struct stub_oskeen_script {
    int mode;
    int analyse_returns; // EI_Analyse returns at once (else it waits for EI_Stop)
    int callbacks;       // while thinking, calls back from a thread of its own: 1 once (40000, a
                         // null line), 2 that and then (-50, "c3d4 f6e5")
    int name_mode;       // 0 "Oskeen Stub 2.0", 1 a null name, 2 a name of 40 characters
    int block_init;      // EI_Initialization waits until released
    char text[128];
};

#ifdef __cplusplus
} // extern "C"
#endif

// Exports of both stubs (found with dlsym):
//   void stub_set_script(const void* script);  the stub's own script struct
//   void stub_release(void);                    lets every waiting call go on
//   int  stub_log(char* out, int size);        the log, one call a line; returns its length
//   void stub_reset(void);                      clears the log and the script, releases waits
//   int  stub_calls_inside(void);               calls now inside the library
//   void stub_fire_callback(void);              (Oskeen) one callback now, from the caller's thread
typedef void (*stub_set_script_fn)(const void*);
typedef void (*stub_release_fn)(void);
typedef int (*stub_log_fn)(char*, int);
typedef void (*stub_reset_fn)(void);
typedef int (*stub_calls_inside_fn)(void);
typedef void (*stub_fire_callback_fn)(void);
