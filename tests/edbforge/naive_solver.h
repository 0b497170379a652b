#pragma once
// A deliberately plain solver for checking the generator: every position of up to N pieces with
// either side to move, on the host board and its move generator (FindMoves/MakeMove, Russian),
// numbered its own way, solved by repeated forward passes until nothing changes (no backward moves).

#include "rules/board.h"

#include <cstdint>
#include <vector>

namespace naive {

enum : std::uint8_t { open = 0, win = 1, loss = 2, invalid = 255 };

class solver {
  public:
    explicit solver(int max_pieces);
    // Value for the side to move: 0 draw, 1 win, 2 loss.
    int value(const TBoard& b, int side) const;

  private:
    std::uint64_t index_of(const TBoard& b, int side, int& pieces) const;
    bool decode(int pieces, std::uint64_t index, TBoard& b, int& side) const;
    std::vector<std::uint8_t> m_values[7];
};

} // namespace naive
