#pragma once
// The positions whose search to a fixed iteration is the engines' signature: the same 24 for
// both libraries, searched on a cleared 16 MB table with the game history cleared. Shared by the
// signature test, the speed benchmark and tools/engine_bench.

#include "engine_api.h"

namespace signature {

constexpr int depth = 11;
constexpr int hash_megabytes = 16;

struct position {
    const char* name;
    engine_position p; // colour 2, colour 1, kings
    int side;          // 0: colour 2 to move
};

inline constexpr position positions[] = {
    {"start, colour 2", {{0x00000fffu, 0xfff00000u}, 0}, 0},
    {"start, colour 1", {{0x00000fffu, 0xfff00000u}, 0}, 1},
    {"opening 1", {{0x0000a6ffu, 0xffe10000u}, 0}, 1},
    {"opening 2", {{0x001086ffu, 0xff830000u}, 0}, 0},
    {"opening 3", {{0x00004fbfu, 0xffb20000u}, 0}, 1},
    {"middle game 1", {{0x000009cfu, 0xfd044000u}, 0}, 1},
    {"middle game 2", {{0x0008240du, 0xc6641000u}, 0}, 0},
    {"middle game 3", {{0x040029d4u, 0x90d20000u}, 0}, 0},
    {"middle game 4", {{0x0004538bu, 0xbab00000u}, 0}, 1},
    {"middle game 5", {{0x00081c87u, 0x6e400200u}, 0}, 1},
    {"middle game 6", {{0x00001b2fu, 0xf1330000u}, 0}, 0},
    {"middle game 7", {{0x000421ebu, 0xfa904000u}, 0}, 0},
    {"middle game 8", {{0x000012bau, 0xe9320000u}, 0}, 0},
    {"kings 1", {{0x40041800u, 0x00080220u}, 0x40040220u}, 1},
    {"kings 2", {{0x02060000u, 0x88002040u}, 0x02000040u}, 1},
    {"kings 3", {{0x20060000u, 0x88002200u}, 0x20000200u}, 1},
    {"kings 4", {{0x80004000u, 0x00000012u}, 0x80004002u}, 0},
    {"kings 5", {{0x08004000u, 0x00000030u}, 0x08004030u}, 0},
    {"capture 1", {{0x0080919bu, 0xd5780004u}, 0x00000004u}, 1},
    {"capture 2", {{0x0000c490u, 0x14a10004u}, 0x00000004u}, 1},
    {"capture 3", {{0x0008081fu, 0xf4604040u}, 0}, 0},
    {"capture 4", {{0x00183232u, 0x0f800000u}, 0x00100000u}, 0},
    // Set-up positions beyond a game's 12 pieces a side.
    {"set-up 13 against 6", {{0x00001fffu, 0xfc000000u}, 0}, 0},
    {"set-up 14 with kings against 5", {{0x0000001fu, 0xfffc0000u}, 0x000c0000u}, 1},
};
static_assert(sizeof(positions) / sizeof(positions[0]) == 24);

} // namespace signature
