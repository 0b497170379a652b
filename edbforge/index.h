#pragma once
// The numbering of positions (White to move) within the table of their material class. The table
// files are laid out by it, so it must never change.

#include "edbforge/board.h"

#include <array>
#include <cstdint>

namespace idx {

// White kings, black kings, white men, black men.
struct material {
    int wk = 0, bk = 0, wm = 0, bm = 0;
    bool operator==(const material&) const = default;
    material mirror() const { return {bk, wk, bm, wm}; }
    int pieces() const { return wk + bk + wm + bm; }
};

// Fills the binomial and rank tables; call once before any other function (cheap, idempotent).
void build_binomials();
void build_rank_table();

std::uint32_t binomial(int n, int k);
// Number of entries of the class.
std::uint64_t class_size(const material& m);

// 0-based lexicographic rank of the k sorted positions `p` among k-subsets of 0..n-1.
std::uint32_t rank_squares(int k, const int* p, int n);

// Material of the board, counted from its piece lists.
material board_material(const gen::board& b);

// Index of the position, White to move, in its class table.
std::uint32_t position_index(const gen::board& b);
// Index of the colour-reversed position (board turned, colours swapped) in the table of the
// reversed class; the board is not changed.
std::uint32_t mirrored_position_index(const gen::board& b);

// The same from square sets (bit s = square s).
std::uint32_t index_from_masks(std::uint32_t wm, std::uint32_t bm, std::uint32_t wk, std::uint32_t bk);

// The squares of each kind of piece, bit s for square s: enough to index a position, so the solver
// reads a successor's entry without making the move on a board.
struct square_sets {
    std::uint32_t wm = 0, bm = 0, wk = 0, bk = 0;
};
square_sets sets_of(const gen::board& b);
material material_of(const square_sets& s);
// position_index and mirrored_position_index of the position the sets describe.
std::uint32_t index_of(const square_sets& s);
std::uint32_t mirrored_index_of(const square_sets& s);
// The colour-reversed position: the board turned (square s becomes 31 - s) and the colours
// swapped. mirrored_index_of(s) == index_of(turned(s)).
square_sets turned(const square_sets& s);

// Sets up the board (cleared first) for entry `index` of class `m`, and `sets` when given. False
// (board left cleared) when the entry stands for no placement: a white man and a black man on one
// square.
bool decode_position(const material& m, std::uint32_t index, gen::board& b, square_sets* sets = nullptr);

// decode_position for the entries of one class, one after another: it keeps the placement of the
// men and of the white kings from the entry before, which neighbouring entries share.
class decoder {
  public:
    explicit decoder(const material& m);
    bool decode(std::uint32_t index, gen::board& b, square_sets* sets = nullptr);

  private:
    material m_cls;
    std::uint32_t m_n_bk = 1, m_n_wk = 1, m_n_bm = 1;
    std::uint32_t m_men_part = ~0u, m_kings_part = ~0u; // index / n_bk / n_wk, index / n_bk
    std::uint32_t m_wm = 0, m_bm = 0, m_wk = 0;
};

} // namespace idx
