#pragma once
// The generator's board: a 45-slot mailbox with a border, one piece list per colour, the material
// balance and a position key, with Russian-rules move generation for White, capture detection for
// both colours, backward moves, and make/unmake.
//
// Squares 0..31 run from b8 (0) to g1 (31) with White at the bottom; White's men move towards
// squares 0..3. A board belongs to one thread; the random key table is built once by prepare().

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gen {

// Slot flags.
enum : std::uint8_t {
    border = 0,
    empty = 1,
    white = 2,
    black = 4,
    king = 8,
    white_man = white,
    black_man = black,
    white_king = white | king,
    black_king = black | king,
};

constexpr int slot_count = 45;
constexpr int max_pieces = 12;
constexpr int max_captures = 12;

constexpr int slot_of(int square) {
    return 5 + square + square / 8;
}
namespace detail {
constexpr std::array<std::int8_t, slot_count> make_square_table() {
    std::array<std::int8_t, slot_count> t{};
    for (auto& v : t)
        v = -1;
    for (int s = 0; s < 32; ++s)
        t[slot_of(s)] = static_cast<std::int8_t>(s);
    return t;
}
inline constexpr auto square_table = make_square_table();
} // namespace detail

// -1 for a border slot.
constexpr int square_of(int slot) {
    return slot >= 0 && slot < slot_count ? detail::square_table[slot] : -1;
}

// A move: from and to slot, promotion, and the captured slots with what they held.
struct gen_move {
    std::uint8_t from = 0;
    std::uint8_t to = 0;
    bool promotion = false;
    std::uint8_t captures = 0;
    std::array<std::uint8_t, max_captures> cap_slot{};
    std::array<std::uint8_t, max_captures> cap_content{};
};

// Builds the random key table (once, any thread may call it; later calls do nothing).
void prepare_keys();

class board {
  public:
    board();

    void clear_board();
    // Puts a piece (white_man .. black_king) on an empty square and appends it to its list.
    void put_piece(int square, std::uint8_t piece);
    // Turns the board by 180 degrees, swaps the colours, rebuilds both lists in slot order.
    void flip_board();

    std::uint8_t at_slot(int slot) const { return m_slot[slot]; }
    std::uint8_t at_square(int square) const { return m_slot[slot_of(square)]; }
    // 0 white, 1 black.
    int count(int colour) const { return m_count[colour]; }
    std::uint8_t piece_slot(int colour, int i) const { return m_list[colour][i]; }
    int material() const { return m_material; }
    std::uint64_t key() const { return m_key; }
    long double moves_made() const { return m_moves; }
    // Kings and men of one colour.
    int kings(int colour) const;
    int men(int colour) const { return m_count[colour] - kings(colour); }

    // Generation appends to the shared buffer; callers note size() before and resize after.
    std::vector<gen_move>& buffer() { return m_buffer; }
    void gen_white_moves();
    void gen_white_captures();
    void gen_black_captures();
    void gen_black_retro_moves();
    // True when the colour has a capture (needs no sequence).
    bool has_capture(int colour) const;

    void make_white_move(const gen_move& m) { make_move(m, 0); }
    void unmake_white_move(const gen_move& m) { unmake_move(m, 0); }
    void make_black_move(const gen_move& m) { make_move(m, 1); }
    void unmake_black_move(const gen_move& m) { unmake_move(m, 1); }

    // Eight diagram lines and, for each list entry on an empty slot, a warning line.
    std::string print_board() const;

    // Same pieces on the same squares (list order aside).
    bool same_position(const board& o) const { return m_slot == o.m_slot; }
    // Every list entry points at a slot of its colour that links back to it.
    bool lists_consistent() const;

  private:
    void gen_captures(int colour);
    void man_captures(int colour, int from, int at, int last_dir);
    void king_captures_in_dir(int colour, int from, int at, int dir, bool promoted);
    void king_continue(int colour, int from, const std::uint8_t* run, int run_len, int dir, bool promoted);
    bool king_capture_exists(int colour, int at, int dir) const;
    void add_capture_path(int from, int to, bool promoted);
    void gen_retro_moves(int colour);
    void make_move(const gen_move& m, int colour);
    void unmake_move(const gen_move& m, int colour);
    void remove_piece(int slot);
    void add_piece(int slot, std::uint8_t piece);
    void toggle_key(int slot, std::uint8_t piece);

    std::array<std::uint8_t, slot_count> m_slot{};
    std::array<std::int8_t, slot_count> m_link{};
    std::array<std::array<std::uint8_t, max_pieces>, 2> m_list{};
    std::array<int, 2> m_count{};
    int m_material = 0;
    std::uint64_t m_key = 0;
    long double m_moves = 0;
    std::vector<gen_move> m_buffer;

    // Capture search state.
    std::array<bool, slot_count> m_taken{};
    std::array<std::uint8_t, max_captures> m_path{};
    int m_path_len = 0;
};

} // namespace gen
