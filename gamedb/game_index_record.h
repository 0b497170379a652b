#pragma once
// The 52-byte stored game header: byte codec (little-endian), result codes and title list.

#include "rules/game.h"

#include <cstdint>

constexpr int IndexRecordSize = 52;

// Result byte of a game (offset 34).
using TGameResult = std::uint8_t;
enum : TGameResult {
    grNone = 0,
    grWhiteWins = 1,
    grDraw = 2,
    grBlackWins = 3,
    grWhiteOnTime = 4,
    grBlackOnTime = 5
};
// "*", "1-0", "=", "0-1", "1-0t", "0-1t"; "*" for a byte outside 0..5.
const char* GameResultText(int result);

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
