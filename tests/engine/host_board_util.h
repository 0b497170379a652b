#pragma once
// Host boards and move records for the tests of the engines' host interface.

#include "engine_api.h"
#include "engine_test_util.h"
#include "host_board.h"

#include <cstring>

namespace engine_test {

// The board of a position; light cells carry a marker that nothing may overwrite.
inline host_board board_of(const engine_position& p) {
    host_board b;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            b.cells[x][y] = (x + y) % 2 ? 77 : 0;
    marrak::host::position_to_board(p, b);
    return b;
}

// A record whose every byte is 0x5A, to see which fields a call writes.
inline host_move filled_record() {
    host_move m;
    std::memset(&m, 0x5A, sizeof m);
    return m;
}

// A colour-1 man on (0,6) that takes three men and is crowned on (6,0); a second man on (6,6).
inline const engine_position crowning_capture = diagram({
    "........",
    "w.....w.",
    ".b......",
    "........",
    "...b....",
    "........",
    ".....b..",
    "........",
});

// A colour-2 king on (2,2) that takes four pieces round a square and lands where it started; the
// one on (5,3) is a king.
inline const engine_position round_trip = diagram({
    "........",
    "........",
    "........",
    "........",
    "...w.W..",
    "..B.....",
    "...w.w..",
    "........",
});

} // namespace engine_test
