#pragma once
// The legal moves of a position in the stored byte layouts, for callers outside the program that
// reach the generator by name. Re-entrant.

#include "rules/board.h"
#include "rules/move.h"

#include <cstdint>

// One move record: annotation u16 and parent u16 (little-endian), main-line, free, captures and
// from bytes, then 40 square bytes.
constexpr int MoveRecordSize = 48;
// The count is one byte, so at most this many records are written.
constexpr int MaxMoveRecords = 255;

void EncodeMoveRecord(const TMove& m, std::uint8_t* out);

// `board` holds 50 signed bytes for squares 1..50 (an 8x8 variant reads 1..32); `records` has
// room for MaxMoveRecords records. Writes the first min(n, 255) legal moves of `side` and that
// number into `count`, and returns n, the number of legal moves, so a caller sees when its array
// was too small. Returns -1 with count 0 for a null pointer, a side other than 0 or 1 or a square
// value outside -2..2.
int FindMovesToRecords(const std::int8_t* board, int side, std::uint8_t* records, std::uint8_t* count,
                       TGameType variant);
