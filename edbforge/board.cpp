#include "edbforge/board.h"

#include <mutex>

namespace gen {

namespace {

constexpr int dirs[4] = {-5, -4, 4, 5};

std::array<std::array<std::uint64_t, 4>, slot_count> g_piece_keys{};
std::uint64_t g_side_key = 0;
std::once_flag g_keys_once;

// Seeds of the lagged Fibonacci generator.
constexpr std::uint32_t key_seed[55] = {
    0xbc49f871u, 0x29b56f4eu, 0x25243272u, 0x9ff85e90u, 0x9e5de7d3u, 0xf7edbda7u, 0xdedb9e52u, 0x64b04f26u,
    0x53b5ef46u, 0xea2ed7fdu, 0x1045980bu, 0x24a37fdau, 0x5611df94u, 0x55019fa8u, 0x5ea3b3e0u, 0x26ff0ef1u,
    0xe9546275u, 0x2aa98d65u, 0x67397c3fu, 0xd3dc41d2u, 0x5e7bfce7u, 0x09b821eau, 0xbe1a39a0u, 0xdd8a75bfu,
    0x89cbce15u, 0x44101c9bu, 0xed10398fu, 0x4b9c7b6bu, 0x7b100209u, 0x433957f2u, 0x8db4da7fu, 0x72aa0f57u,
    0x23cfb4f7u, 0xeaae9590u, 0x677d60ecu, 0xe5abe29du, 0xed95737au, 0x79a4aaf0u, 0x59e39be8u, 0xf1c42706u,
    0x3699044bu, 0xb44bc326u, 0xcff7b555u, 0x6d2d1514u, 0x070a8d02u, 0x360a3df0u, 0x8282ac9au, 0xb7e4fb25u,
    0xa7c9d384u, 0x4ede9865u, 0x2d124a8cu, 0x911cf2b5u, 0x439ced32u, 0xa79f5ad4u, 0xcd6b0f6au,
};

// Additive lagged Fibonacci generator, lags 24 and 55.
class lagged_fibonacci {
  public:
    lagged_fibonacci() {
        for (int i = 0; i < 55; ++i)
            m_state[i] = key_seed[i];
    }
    std::uint32_t next() {
        const std::uint32_t v = m_state[m_j] + m_state[m_k];
        m_state[m_k] = v;
        m_j = m_j == 0 ? 54 : m_j - 1;
        m_k = m_k == 0 ? 54 : m_k - 1;
        return v;
    }
    std::uint64_t next64() {
        const std::uint64_t hi = next();
        return (hi << 32) | next();
    }

  private:
    std::uint32_t m_state[55];
    int m_j = 23, m_k = 54;
};

void build_keys() {
    lagged_fibonacci rng;
    for (auto& slot : g_piece_keys)
        for (auto& k : slot)
            k = rng.next64();
    g_side_key = rng.next64();
}

int kind_of(std::uint8_t piece) {
    return ((piece & black) ? 2 : 0) + ((piece & king) ? 1 : 0);
}
int value_of(std::uint8_t piece) {
    return (piece & king) ? 300 : 100;
}
int colour_of(std::uint8_t piece) {
    return (piece & white) ? 0 : 1;
}

// Every slot a border, then the 32 squares empty: what a cleared board holds.
constexpr std::array<std::uint8_t, slot_count> make_clear_slots() {
    std::array<std::uint8_t, slot_count> t{};
    for (int s = 0; s < 32; ++s)
        t[slot_of(s)] = empty;
    return t;
}
constexpr auto clear_slots = make_clear_slots();

// The last row of a colour: White's is squares 0..3, Black's 28..31.
bool promotes(int colour, int slot) {
    return colour == 0 ? slot <= slot_of(3) : slot >= slot_of(28);
}

} // namespace

void prepare_keys() {
    std::call_once(g_keys_once, build_keys);
}

board::board() {
    prepare_keys();
    m_buffer.reserve(256);
    clear_board();
}

void board::clear_board() {
    m_slot = clear_slots;
    m_link.fill(-1);
    m_count = {0, 0};
    m_material = 0;
    m_key = 0;
    m_taken.fill(false);
    m_path_len = 0;
}

void board::toggle_key(int slot, std::uint8_t piece) {
    m_key ^= g_piece_keys[slot][kind_of(piece)];
}

void board::add_piece(int slot, std::uint8_t piece) {
    const int c = colour_of(piece);
    m_slot[slot] = piece;
    m_link[slot] = static_cast<std::int8_t>(m_count[c]);
    m_list[c][m_count[c]++] = static_cast<std::uint8_t>(slot);
    m_material += c == 0 ? value_of(piece) : -value_of(piece);
    toggle_key(slot, piece);
}

void board::remove_piece(int slot) {
    const std::uint8_t piece = m_slot[slot];
    const int c = colour_of(piece);
    const int idx = m_link[slot];
    const std::uint8_t last = m_list[c][--m_count[c]];
    m_list[c][idx] = last;
    m_link[last] = static_cast<std::int8_t>(idx);
    m_link[slot] = -1;
    m_material -= c == 0 ? value_of(piece) : -value_of(piece);
    toggle_key(slot, piece);
    m_slot[slot] = empty;
}

void board::put_piece(int square, std::uint8_t piece) {
    add_piece(slot_of(square), piece);
}

int board::kings(int colour) const {
    int k = 0;
    for (int i = 0; i < m_count[colour]; ++i)
        k += (m_slot[m_list[colour][i]] & king) ? 1 : 0;
    return k;
}

void board::flip_board() {
    std::array<std::uint8_t, 32> old;
    for (int s = 0; s < 32; ++s)
        old[s] = m_slot[slot_of(s)];
    clear_board();
    for (int s = 0; s < 32; ++s) {
        const std::uint8_t p = old[31 - s];
        if (p != empty)
            m_slot[slot_of(s)] = static_cast<std::uint8_t>((p & king) | ((p & white) ? black : white));
    }
    // Lists in slot order: all White pieces first, then Black's.
    for (int c = 0; c < 2; ++c)
        for (int slot = 0; slot < slot_count; ++slot) {
            const std::uint8_t p = m_slot[slot];
            if (p != border && p != empty && colour_of(p) == c) add_piece(slot, p);
        }
}

// ---- plain and backward moves

void board::gen_white_moves() {
    for (int i = 0; i < m_count[0]; ++i) {
        const int s = m_list[0][i];
        if (m_slot[s] & king) {
            for (int d : dirs)
                for (int t = s + d; m_slot[t] == empty; t += d)
                    m_buffer.push_back(gen_move{static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(t)});
        } else {
            for (int d : {-5, -4}) {
                const int t = s + d;
                if (m_slot[t] == empty) {
                    gen_move m{static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(t)};
                    m.promotion = promotes(0, t);
                    m_buffer.push_back(m);
                }
            }
        }
    }
}

void board::gen_retro_moves(int colour) {
    // A man steps back against its direction of play; a king retraces any line.
    const int back0 = colour == 1 ? -5 : 4, back1 = colour == 1 ? -4 : 5;
    for (int i = 0; i < m_count[colour]; ++i) {
        const int s = m_list[colour][i];
        if (m_slot[s] & king) {
            for (int d : dirs)
                for (int t = s + d; m_slot[t] == empty; t += d)
                    m_buffer.push_back(gen_move{static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(t)});
        } else {
            for (int d : {back0, back1})
                if (m_slot[s + d] == empty)
                    m_buffer.push_back(
                        gen_move{static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(s + d)});
        }
    }
}

void board::gen_black_retro_moves() {
    gen_retro_moves(1);
}

// ---- make and unmake

void board::make_move(const gen_move& m, int colour) {
    const std::uint8_t piece = m_slot[m.from];
    const int idx = m_link[m.from];
    toggle_key(m.from, piece);
    m_slot[m.from] = empty;
    m_link[m.from] = -1;
    std::uint8_t placed = piece;
    if (m.promotion) {
        placed = static_cast<std::uint8_t>(piece | king);
        m_material += colour == 0 ? 200 : -200;
    }
    m_slot[m.to] = placed;
    m_link[m.to] = static_cast<std::int8_t>(idx);
    m_list[colour][idx] = m.to;
    toggle_key(m.to, placed);
    for (int k = 0; k < m.captures; ++k)
        remove_piece(m.cap_slot[k]);
    m_key ^= g_side_key;
    m_moves += 1;
}

void board::unmake_move(const gen_move& m, int colour) {
    for (int k = m.captures - 1; k >= 0; --k)
        add_piece(m.cap_slot[k], m.cap_content[k]);
    const std::uint8_t placed = m_slot[m.to];
    const int idx = m_link[m.to];
    toggle_key(m.to, placed);
    m_slot[m.to] = empty;
    m_link[m.to] = -1;
    std::uint8_t piece = placed;
    if (m.promotion) {
        piece = static_cast<std::uint8_t>(placed & ~king);
        m_material -= colour == 0 ? 200 : -200;
    }
    m_slot[m.from] = piece;
    m_link[m.from] = static_cast<std::int8_t>(idx);
    m_list[colour][idx] = m.from;
    toggle_key(m.from, piece);
    m_key ^= g_side_key;
    m_moves -= 1;
}

// ---- diagram

bool board::lists_consistent() const {
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < m_count[c]; ++i) {
            const int s = m_list[c][i];
            if (m_slot[s] == empty || m_slot[s] == border || colour_of(m_slot[s]) != c || m_link[s] != i)
                return false;
        }
    return true;
}

std::string board::print_board() const {
    std::string out;
    for (int r = 0; r < 8; ++r) {
        out += "\t\t";
        for (int c = 0; c < 8; ++c) {
            if ((r + c) % 2 == 0) {
                out += "  ";
                continue;
            }
            const int slot = slot_of(r * 4 + c / 2);
            const std::uint8_t p = m_slot[slot];
            if (p == empty) {
                out += ". ";
                continue;
            }
            const char* sym = p == white_man ? "w" : p == white_king ? "W" : p == black_man ? "b" : "B";
            const int col = colour_of(p), idx = m_link[slot];
            const bool linked = idx >= 0 && idx < m_count[col] && m_list[col][idx] == slot;
            out += sym;
            out += linked ? ' ' : '+';
        }
        out += '\n';
    }
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < m_count[c]; ++i)
            if (m_slot[m_list[c][i]] == empty)
                out += c == 0 ? "White piece is not on board\n" : "Black piece is not on board\n";
    return out;
}

} // namespace gen
