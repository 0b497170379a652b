#pragma once
// The plug-in interface of the engine libraries Marrak and marrak_italian: the records that cross
// it and the exported functions. Plain C layout, shared by the engines and the host's engine
// bridge; the byte layouts here are the contract, so every record has its size checked.
//
// Threads: every export runs on the caller's thread. Only getmove guards itself against a second
// concurrent call; the caller may read status_text and write *playnow from another thread while
// getmove runs. Buffers passed in belong to the caller.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(ENGINE_BUILDING_LIBRARY)
#define ENGINE_EXPORT __attribute__((visibility("default")))
#else
#define ENGINE_EXPORT
#endif

// A cell of host_board: the colour (1 or 2) plus 4 for a man or 8 for a king. Any other value
// reads as empty.
enum piece_code {
    PIECE_EMPTY = 0,
    PIECE_MAN1 = 5,
    PIECE_MAN2 = 6,
    PIECE_KING1 = 9,
    PIECE_KING2 = 10,
};

// The board as the host passes it: cells[x][y], column first, 0..7 each. Only the dark cells
// (x + y even) are read or written. Colour-1 men move towards y = 0, colour-2 men towards y = 7.
struct host_board {
    int32_t cells[8][8];
};

struct board_coord {
    int32_t x;
    int32_t y;
};

enum { HOST_MOVE_MAX_JUMPS = 12 };

// The move record that marrak_italian's getmove and islegal fill; Marrak never writes it.
// path[k] is the landing cell after capture k (k = 1..jumps, entry 0 unused); del[k] and
// delpiece[k] the cell and code of the piece taken by step k + 1 (k = 0..jumps - 1).
struct host_move {
    int32_t jumps;
    int32_t newpiece;
    int32_t oldpiece;
    struct board_coord from;
    struct board_coord to;
    struct board_coord path[HOST_MOVE_MAX_JUMPS];
    struct board_coord del[HOST_MOVE_MAX_JUMPS];
    int32_t delpiece[HOST_MOVE_MAX_JUMPS];
};

// A position as three bitboards: pieces[0] colour 2, pieces[1] colour 1, then the kings of both.
// The dark cell (x, y) is bit 4y + 3 - x/2. The side flag of the move functions indexes pieces:
// 1 when colour 1 moves, 0 when colour 2 moves.
struct engine_position {
    uint32_t pieces[2];
    uint32_t kings;
};

// Room for the moves of any position: a one-step king has at most 51 capture sequences (every
// trail over the 9 pieces its jumps can reach), a man at most 8, so 12 pieces never exceed 612;
// plain moves are at most 48.
enum { ENGINE_MAX_MOVES = 612 };

// The positions after the legal moves, in generation order; a move is its index here.
struct move_list {
    uint32_t count;
    struct engine_position moves[ENGINE_MAX_MOVES];
};

enum { ENGINE_STATUS_TEXT_SIZE = 1024 };

// Result codes of getmove and get_best_moves.
enum { ENGINE_DRAW = 0, ENGINE_WIN = 1, ENGINE_LOSS = 2, ENGINE_UNKNOWN = 3 };

// Chooses and plays a move for `color` (1 or 2) on `board`, writing the position after it back.
// maxtime in seconds: NaN, negative and zero count as no time, more than 10^9 s as 10^9 s.
ENGINE_EXPORT int getmove(struct host_board* board, int color, double maxtime, char* status_text,
                          int* playnow, int info, int moreinfo, struct host_move* move);
// Text commands; 1 when the first word is understood, 0 otherwise. The reply buffer holds 1024.
ENGINE_EXPORT int enginecommand(const char* command, char* reply);
ENGINE_EXPORT int enginename(char* buffer);
ENGINE_EXPORT int engineabout(void* window);
// Exported under its plain name: a decorated name cannot be an ELF symbol.
ENGINE_EXPORT int engineoptions(void* window);
ENGINE_EXPORT int enginehelp(char* buffer);
ENGINE_EXPORT int protocolversion(void);
ENGINE_EXPORT int staticevaluation(struct host_board* board, int color, char* reply);
// Fills `list` with the captures of the side to move (side 1: colour 1), or its plain moves when
// it has none, and returns their number. Null pointers give 0 and an untouched list.
ENGINE_EXPORT int build_movelist(const struct engine_position* position, int side, struct move_list* list);
// marrak_italian only.
ENGINE_EXPORT int islegal(struct host_board* board, int color, int from, int to, struct host_move* move);
// Scores every move of `position` for `side` (1: colour 1 moves, as build_movelist): the best
// exactly, the others exactly while within `margin` of it (else as a bound). Fills `moves` and
// `values` (room for ENGINE_MAX_MOVES each; either may be null) best first for the mover, values
// from colour 2's view (positive: good for colour 2), and *margin_out with the margin used.
// maxtime in seconds, taken as getmove takes it; info bit 1: maxtime is the hard limit (else
// 4 x maxtime); fixed_depth non-zero: search to that iteration, with 8 x maxtime. The search may
// write 1 into *playnow (null: none) and leaves it 0. Returns 0, or ENGINE_LOSS with "Lost game"
// in status_text when the side has no move. A square that both colour words claim counts as
// empty, and king bits on empty squares are ignored. Waits while another request of the library
// runs.
ENGINE_EXPORT int get_best_moves(struct engine_position* position, int side, double maxtime,
                                 char* status_text, int* playnow, int info, int margin,
                                 struct move_list* moves, int* values, int fixed_depth, int* margin_out);
ENGINE_EXPORT int DebugFunction1(void);
ENGINE_EXPORT void DebugFunction2(int value);

// Pointer types for binding the exports by name.
typedef int (*getmove_fn)(struct host_board*, int, double, char*, int*, int, int, struct host_move*);
typedef int (*enginecommand_fn)(const char*, char*);
typedef int (*build_movelist_fn)(const struct engine_position*, int, struct move_list*);
typedef int (*islegal_fn)(struct host_board*, int, int, int, struct host_move*);
typedef int (*get_best_moves_fn)(struct engine_position*, int, double, char*, int*, int, int,
                                 struct move_list*, int*, int, int*);

#ifdef __cplusplus
} // extern "C"

#include <cstddef>
static_assert(sizeof(host_board) == 256);
static_assert(sizeof(board_coord) == 8);
static_assert(sizeof(host_move) == 268);
static_assert(offsetof(host_move, jumps) == 0);
static_assert(offsetof(host_move, newpiece) == 4);
static_assert(offsetof(host_move, oldpiece) == 8);
static_assert(offsetof(host_move, from) == 12);
static_assert(offsetof(host_move, to) == 20);
static_assert(offsetof(host_move, path) == 28);
static_assert(offsetof(host_move, del) == 124);
static_assert(offsetof(host_move, delpiece) == 220);
static_assert(sizeof(engine_position) == 12);
static_assert(offsetof(move_list, moves) == 4);
#else
_Static_assert(sizeof(struct host_move) == 268, "host_move is 268 bytes");
_Static_assert(sizeof(struct engine_position) == 12, "engine_position is 12 bytes");
#endif
