#pragma once
// The CHB game file: fixed 700-byte records, no file header; record 0 is not a game. Little-endian;
// text fields are a length byte and then the characters (CP866 or CP1251, as the file's author had
// it). This unit reads one record field by field and decodes its 13-bit move codes. Re-entrant.

#include "rules/move.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

constexpr std::size_t ChbRecordSize = 700;
constexpr int ChbMoveCodes = 255; // move-code slots of a record
constexpr int ChbMaxPlies = 170;  // plies an import reads at most
constexpr int ChbKeyBytes = 11;   // the stored part of the start key; the 8x8 rest is always 62

// The fields of one record, as stored (names not yet converted).
struct TChbRecord {
    std::string name0First, name0Second; // side 0: first part and second part
    std::uint16_t rating0 = 0;
    std::uint8_t title0 = 0;             // title code 0..7
    std::string name1First, name1Second; // side 1
    std::uint16_t rating1 = 0;
    std::uint8_t title1 = 0;
    std::string tournament;
    std::uint8_t round = 0, subround = 0, day = 0, month = 0;
    std::uint16_t year = 0;
    std::uint8_t startSide = 0; // 0: side 0 moves first, anything else: side 1
    std::uint8_t plies = 0;
    std::array<std::uint8_t, ChbKeyBytes> key{};
    std::array<std::uint16_t, ChbMoveCodes> codes{};
    std::uint8_t result = 0;  // TGameResult as stored, not checked
    std::uint8_t deleted = 0; // non-zero: marked deleted
    std::uint8_t byte686 = 0; // carried into the header's node-to-show field
    // A length byte was larger than its field (20 for a name part, 50 for the tournament); the text
    // was cut to the field, never read from the fields after it.
    bool lengthCut = false;
};

// Reads every field at its offset.
void DecodeChbRecord(std::span<const std::uint8_t, ChbRecordSize> bytes, TChbRecord& r);

// Rows and columns 1..8 of the 8x8 board, seen from side 0: square 1 is row 1 column 1, square 5
// row 2 column 2, square 32 row 8 column 8. A code's origin row has 4 bits, so rows up to 16 reach
// here; they match no square.
struct TChbMoveCoords {
    int fromRow = 0, fromCol = 0, toRow = 0, toCol = 0;
    bool operator==(const TChbMoveCoords&) const = default;
};
// Bits 0-2 destination column - 1, 3-5 destination row - 1, 6-8 origin column - 1, 9-12 origin row
// - 1; bits 13-15 are not used.
TChbMoveCoords DecodeChbMove(std::uint16_t code);
// The 8x8 square at a row and column, or 0 when they are off the board or name a light square.
int ChbSquareAt(int row, int col);

// The number (from 1) of the first move of `list` that starts on (fromRow, fromCol) and ends on
// (toRow, toCol); for a capture the end is its last landing square. 0 when none does.
int FindMoveByCoords(const TMoveList& list, int fromRow, int fromCol, int toRow, int toCol);

// The title-list index of a title code: 0..7 give 0, 9, 8, 7, 6, 5, 4, 2 ("", "4", "3", "2", "1",
// "C", "M", "G"); any other code 0.
std::uint8_t ChbTitleIndex(int code);
