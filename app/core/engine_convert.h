#pragma once
// Conversions between the program's positions and moves and what the outside engines read and
// write: the plug-ins' host_board and host_move (engine_api.h), and the Oskeen engine's position
// and move texts (ei_api.h). Every reader of an engine's reply checks it: a reply that is not one
// of the position's legal moves gives no move. Plain functions, any thread.

#include "app/core/status_parsers.h"
#include "engine_api.h"
#include "rules/board.h"
#include "rules/move.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The 32 squares of the 8x8 board as cells of host_board: square n (1..32) is entry n - 1, on row
// (n - 1) div 4 and column 2 x ((n - 1) mod 4) + (row mod 2). Square 1 is cell [0][0], square 32
// cell [7][7].
struct THostSquare {
    std::uint8_t row, column;
};
extern const std::array<THostSquare, 32> HostSquareCoords;

// Every cell cleared, then each square's piece written into its cell: a man of side 0 as 6, its
// king as 10, a man of side 1 as 5, its king as 9.
void BoardToHostBoard(const TBoard& board, host_board& out);
// The board the engine left: every dark cell with a piece code read back; light cells and codes
// that are no piece are skipped.
void HostBoardToBoard(const host_board& in, TBoard& out);

// The square of cell (column, row), or 0 for a light cell or one off the board. `mirrored`
// numbers the squares from the other end (33 - s), which undoes the turn of the board that the
// Italian plug-in is sent.
int CoordToSquare(int column, int row, bool mirrored = false);

// The move that marrak_italian's record describes. False, with `out` cleared, when the record is
// not a move: a jump count outside 0..11, or a cell that is off the board or light.
bool HostMoveToMove(const host_move& in, TMove& out, bool mirrored);

// The legal move of `side` in `before` whose position is `after`: the first of them in FindMoves
// order when two lead there. False, with `out` cleared, when none does (or there is none).
bool MatchMoveByResult(const TBoard& before, const TBoard& after, int side, TGameType variant, TMove& out);
// `candidate` when it is one of the legal moves of `side` in `board` (the listed record, so that it
// compares and stores equal); false otherwise.
bool MatchLegalMove(const TBoard& board, int side, TGameType variant, const TMove& candidate, TMove& out);

// The colour a plug-in of `kind` is told to move with: side 0 moves colour 2, side 1 colour 1;
// the other way round for the Italian plug-in, whose board is turned.
int PluginColour(int kind, int side);

// The position text of EI_SetupBoard: 32 square characters from the row of squares 29..32 down to
// that of 1..4, then 'w' (side 0 to move) or 'b'.
std::string BoardToEngineText(const TBoard& board, int side);
// "c3d4", or the capture "c3:d4:e5": from, each captured square, the last landing square.
std::string MoveToEngineText(const TMove& move);
// The legal move whose text is `text`. False when none is.
bool MatchEngineMoveText(const TBoard& board, int side, TGameType variant, std::string_view text, TMove& out);

// A command as the plug-ins take it: at most 255 characters and a terminating zero.
using TCommandText = std::array<char, 256>;
void ShortToCString(std::string_view text, TCommandText& buffer);

// A copy of a status buffer that the engine may be writing meanwhile: byte by byte, each read
// whole, the last byte forced to zero.
TStatusText CopyStatusText(char* live);

// A zero-terminated text an engine returned, read no further than `limit` characters; a null
// pointer reads as empty.
std::string EngineCString(const char* text, std::size_t limit);
