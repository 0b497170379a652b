#pragma once
// The 52-byte stored game header: byte codec (little-endian), flags and title list. The result
// codes stand beside the game record in rules/game.h.

#include "rules/game.h"

#include <cstdint>

constexpr int IndexRecordSize = 52;

// Titles, index 0..9 at offsets 2 and 10: "", "IG", "G", "IM", "M", "C", "1", "2", "3", "4";
// "" for an index outside 0..9.
const char* TitleText(int index);

// Flags byte (offset 28).
enum : std::uint8_t {
    gfFullSetUp = 1,     // set-up start with a full set of pieces on both sides
    gfOtherSetUp = 2,    // any other set-up start
    gfFewVariations = 4, // 1 to 5 variation starts
    gfManyVariations = 8,
    gfFewComments = 16, // 1 to 5 comment items and under 301 characters
    gfManyComments = 32,
    gfDeleted = 128,
};

void EncodeIndexRecord(const TGameIndexRecord& r, std::uint8_t* out); // writes 52 bytes
void DecodeIndexRecord(const std::uint8_t* in, TGameIndexRecord& r);  // reads 52 bytes
