// Capture generation under Russian rules: men capture both ways, kings fly, a man crowned during a
// capture goes on as a king, captured pieces block until the move ends.

#include "edbforge/board.h"

namespace gen {

namespace {
constexpr int dirs[4] = {-5, -4, 4, 5};
bool promotes(int colour, int slot) {
    return colour == 0 ? slot <= slot_of(3) : slot >= slot_of(28);
}
// The two directions across a line.
void across(int dir, int out[2]) {
    const int a = (dir == 4 || dir == -4) ? 5 : 4;
    out[0] = -a;
    out[1] = a;
}
} // namespace

void board::add_capture_path(int from, int to, bool promoted) {
    gen_move m;
    m.from = static_cast<std::uint8_t>(from);
    m.to = static_cast<std::uint8_t>(to);
    m.promotion = promoted;
    m.captures = static_cast<std::uint8_t>(m_path_len);
    for (int k = 0; k < m_path_len; ++k) {
        m.cap_slot[k] = m_path[k];
        m.cap_content[k] = m_slot[m_path[k]];
    }
    m_buffer.push_back(m);
}

// A king on `at` looking along `dir`: empty slots, then an enemy piece not yet taken, then an empty slot.
bool board::king_capture_exists(int colour, int at, int dir) const {
    const std::uint8_t enemy = colour == 0 ? black : white;
    int n = at + dir;
    while (m_slot[n] == empty)
        n += dir;
    return (m_slot[n] & enemy) && !m_taken[n] && m_slot[n + dir] == empty;
}

void board::gen_captures(int colour) {
    for (int i = 0; i < m_count[colour]; ++i) {
        const int s = m_list[colour][i];
        const std::uint8_t piece = m_slot[s];
        // The moving piece leaves its square: it may pass over or come back to it.
        m_slot[s] = empty;
        m_path_len = 0;
        if (piece & king) {
            for (int d : dirs)
                king_captures_in_dir(colour, s, s, d, false);
        } else {
            man_captures(colour, s, s, 0);
        }
        m_slot[s] = piece;
    }
}

void board::gen_white_captures() {
    gen_captures(0);
}
void board::gen_black_captures() {
    gen_captures(1);
}

void board::man_captures(int colour, int from, int at, int last_dir) {
    const std::uint8_t enemy = colour == 0 ? black : white;
    bool any = false;
    for (int d : dirs) {
        if (d == -last_dir) continue;
        const int n = at + d;
        if (!(m_slot[n] & enemy) || m_taken[n] || m_slot[n + d] != empty) continue;
        any = true;
        m_taken[n] = true;
        m_path[m_path_len++] = static_cast<std::uint8_t>(n);
        const int land = n + d;
        if (promotes(colour, land)) {
            const std::uint8_t run[1] = {static_cast<std::uint8_t>(land)};
            king_continue(colour, from, run, 1, d, true);
        } else {
            man_captures(colour, from, land, d);
        }
        --m_path_len;
        m_taken[n] = false;
    }
    if (!any && m_path_len > 0) add_capture_path(from, at, false);
}

void board::king_captures_in_dir(int colour, int from, int at, int dir, bool promoted) {
    const std::uint8_t enemy = colour == 0 ? black : white;
    int n = at + dir;
    while (m_slot[n] == empty)
        n += dir;
    if (!(m_slot[n] & enemy) || m_taken[n] || m_slot[n + dir] != empty) return;
    m_taken[n] = true;
    m_path[m_path_len++] = static_cast<std::uint8_t>(n);
    std::uint8_t run[8];
    int run_len = 0;
    for (int r = n + dir; m_slot[r] == empty; r += dir)
        run[run_len++] = static_cast<std::uint8_t>(r);
    king_continue(colour, from, run, run_len, dir, promoted);
    --m_path_len;
    m_taken[n] = false;
}

// After a capture along `dir` the king may stop on any slot of `run`; if the capture can go on
// from some slot (across, or straight ahead past the run) it must, and only those slots count.
void board::king_continue(int colour, int from, const std::uint8_t* run, int run_len, int dir,
                          bool promoted) {
    int cross[2];
    across(dir, cross);
    bool any = false;
    for (int j = 0; j < run_len; ++j)
        for (int p : cross)
            if (king_capture_exists(colour, run[j], p)) {
                any = true;
                king_captures_in_dir(colour, from, run[j], p, promoted);
            }
    if (king_capture_exists(colour, run[run_len - 1], dir)) {
        any = true;
        king_captures_in_dir(colour, from, run[run_len - 1], dir, promoted);
    }
    if (!any)
        for (int j = 0; j < run_len; ++j)
            add_capture_path(from, run[j], promoted);
}

bool board::has_capture(int colour) const {
    const std::uint8_t enemy = colour == 0 ? black : white;
    for (int i = 0; i < m_count[colour]; ++i) {
        const int s = m_list[colour][i];
        if (m_slot[s] & king) {
            for (int d : dirs)
                if (king_capture_exists(colour, s, d)) return true;
        } else {
            for (int d : dirs) {
                const int n = s + d;
                if ((m_slot[n] & enemy) && m_slot[n + d] == empty) return true;
            }
        }
    }
    return false;
}

} // namespace gen
