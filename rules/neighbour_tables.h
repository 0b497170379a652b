#pragma once
// Neighbour tables of the two board geometries: step targets, jump pairs and rays, built at compile
// time from the square numbering. Read-only constants, safe from any thread.

#include <array>
#include <cstdint>

// Diagonal directions: 1 up-right, 2 down-right, 3 down-left, 4 up-left ("up" is towards the row
// where side 1 starts). Index 0 of the per-direction arrays is unused.
constexpr int OppositeDirection(int d) {
    return d <= 2 ? d + 2 : d - 2;
}
// Side 0 moves up (directions 1 and 4), side 1 down (2 and 3).
constexpr bool IsForwardDirection(int d, int side) {
    return side == 0 ? (d == 1 || d == 4) : (d == 2 || d == 3);
}

struct TJumpPair {
    std::uint8_t jumped = 0; // 0 when the landing square is off the board
    std::uint8_t landing = 0;
};

struct TRay {
    std::uint8_t length = 0;
    std::array<std::uint8_t, 9> squares{}; // nearest first
};

struct TNeighbourTables {
    int size = 0;    // 8 or 10 squares a side
    int squares = 0; // 32 or 50
    // step[s][side]: the squares one step forward, increasing; 0 where the board ends.
    std::array<std::array<std::array<std::uint8_t, 2>, 2>, 51> step{};
    std::array<std::array<TJumpPair, 5>, 51> jump{};
    std::array<std::array<TRay, 5>, 51> ray{};
};

namespace neighbour_detail {
constexpr int DeltaX(int d) {
    return d == 1 || d == 2 ? 1 : -1;
}
constexpr int DeltaY(int d) {
    return d == 1 || d == 4 ? 1 : -1;
}

constexpr TNeighbourTables Build(int size) {
    TNeighbourTables t;
    const int perRow = size / 2;
    t.size = size;
    t.squares = size * perRow;
    auto square = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= size || y >= size) return 0;
        return y * perRow + x / 2 + 1;
    };
    for (int s = 1; s <= t.squares; ++s) {
        const int y = (s - 1) / perRow;
        const int x = 2 * ((s - 1) % perRow) + (y % 2);
        for (int d = 1; d <= 4; ++d) {
            TRay& r = t.ray[s][d];
            for (int k = 1;; ++k) {
                const int n = square(x + k * DeltaX(d), y + k * DeltaY(d));
                if (n == 0) break;
                r.squares[r.length++] = static_cast<std::uint8_t>(n);
            }
            if (r.length >= 2) t.jump[s][d] = {r.squares[0], r.squares[1]};
        }
        for (int side = 0; side < 2; ++side) {
            // Up-left / down-left comes first: its square number is the lower one.
            const int first = side == 0 ? 4 : 3, second = side == 0 ? 1 : 2;
            int k = 0;
            for (int d : {first, second})
                if (t.ray[s][d].length > 0) t.step[s][side][k++] = t.ray[s][d].squares[0];
        }
    }
    return t;
}
} // namespace neighbour_detail

inline constexpr TNeighbourTables NeighbourTables64 = neighbour_detail::Build(8);
inline constexpr TNeighbourTables NeighbourTables100 = neighbour_detail::Build(10);

// 1 for the 8x8 board, 2 for the 10x10 board.
constexpr const TNeighbourTables& NeighbourTablesOf(int geometry) {
    return geometry == 2 ? NeighbourTables100 : NeighbourTables64;
}
