#include "edbforge/index.h"

#include <bit>
#include <mutex>

namespace idx {

namespace {

constexpr int max_n = 32;
constexpr int max_k = 6;

std::uint32_t g_binom[max_n + 1][max_n + 1];
// g_rank[g][a][r] = C(a, r) - C(a - g, r): what skipping g of the a available positions adds to
// the rank when r positions are still to place.
std::uint32_t g_rank[max_n + 1][max_n + 1][max_k + 1];
std::once_flag g_binom_once, g_rank_once;

std::uint32_t reverse_bits(std::uint32_t x) {
    x = ((x >> 1) & 0x55555555u) | ((x & 0x55555555u) << 1);
    x = ((x >> 2) & 0x33333333u) | ((x & 0x33333333u) << 2);
    x = ((x >> 4) & 0x0F0F0F0Fu) | ((x & 0x0F0F0F0Fu) << 4);
    x = ((x >> 8) & 0x00FF00FFu) | ((x & 0x00FF00FFu) << 8);
    return (x >> 16) | (x << 16);
}

// Rank of the positions of a square set, each square shifted by `offset` (white men: -4), or
// with `below` squares removed from below each square (kings: the squares taken by others).
std::uint32_t rank_of_set(std::uint32_t set, int n, int offset, std::uint32_t below) {
    // The lexicographic rank of p0 < ... < p(k-1) among the k-subsets of 0..n-1 is
    // C(n, k) - 1 - sum of C(n - 1 - p_i, k - i): one lookup per member, none depending on another.
    const int k = std::popcount(set);
    std::uint32_t sum = 0;
    for (int i = 0; set; ++i) {
        const int s = std::countr_zero(set);
        set &= set - 1;
        const int p = s + offset - std::popcount(below & ((1u << s) - 1));
        sum += g_binom[n - 1 - p][k - i];
    }
    return g_binom[n][k] - 1 - sum;
}

// Positions of the subset with lexicographic rank `rank`.
void unrank(int k, std::uint32_t rank, int n, int* out) {
    int x = 0;
    for (int i = 0; i < k; ++i) {
        for (;; ++x) {
            const std::uint32_t c = g_binom[n - 1 - x][k - 1 - i];
            if (rank < c) break;
            rank -= c;
        }
        out[i] = x++;
    }
}

// The square of the p-th (0-based) square not in `taken`.
int nth_free(std::uint32_t taken, int p) {
    std::uint32_t free_set = ~taken;
    for (int i = 0; i < p; ++i)
        free_set &= free_set - 1;
    return std::countr_zero(free_set);
}

} // namespace

void build_binomials() {
    std::call_once(g_binom_once, [] {
        for (int n = 0; n <= max_n; ++n) {
            g_binom[n][0] = 1;
            for (int k = 1; k <= n; ++k)
                g_binom[n][k] = g_binom[n - 1][k - 1] + (k <= n - 1 ? g_binom[n - 1][k] : 0);
            for (int k = n + 1; k <= max_n; ++k)
                g_binom[n][k] = 0;
        }
    });
}

void build_rank_table() {
    build_binomials();
    std::call_once(g_rank_once, [] {
        for (int g = 0; g <= max_n; ++g)
            for (int a = 0; a <= max_n; ++a)
                for (int r = 0; r <= max_k; ++r)
                    g_rank[g][a][r] = g <= a ? g_binom[a][r] - g_binom[a - g][r] : 0;
    });
}

std::uint32_t binomial(int n, int k) {
    return n < 0 || k < 0 || k > n ? 0 : g_binom[n][k];
}

std::uint64_t class_size(const material& m) {
    const int men = m.wm + m.bm;
    return std::uint64_t{binomial(28, m.wm)} * binomial(28, m.bm) * binomial(32 - men, m.wk) *
           binomial(32 - men - m.wk, m.bk);
}

std::uint32_t rank_squares(int k, const int* p, int n) {
    std::uint32_t sum = 0;
    int a = n, prev = -1;
    for (int i = 0; i < k; ++i) {
        const int g = p[i] - prev - 1;
        sum += g_rank[g][a][k - i];
        a -= g + 1;
        prev = p[i];
    }
    return sum;
}

material board_material(const gen::board& b) {
    const int wk = b.kings(0), bk = b.kings(1);
    return {wk, bk, b.count(0) - wk, b.count(1) - bk};
}

std::uint32_t index_from_masks(std::uint32_t wm, std::uint32_t bm, std::uint32_t wk, std::uint32_t bk) {
    const int nwm = std::popcount(wm), nbm = std::popcount(bm), nwk = std::popcount(wk),
              nbk = std::popcount(bk);
    const int m = nwm + nbm;
    const std::uint32_t men = wm | bm;
    const std::uint32_t r_wm = rank_of_set(wm, 28, -4, 0);
    const std::uint32_t r_bm = rank_of_set(bm, 28, 0, 0);
    const std::uint32_t r_wk = rank_of_set(wk, 32 - m, 0, men);
    const std::uint32_t r_bk = rank_of_set(bk, 32 - m - nwk, 0, men | wk);
    return ((r_wm * g_binom[28][nbm] + r_bm) * g_binom[32 - m][nwk] + r_wk) * g_binom[32 - m - nwk][nbk] +
           r_bk;
}

square_sets sets_of(const gen::board& b) {
    square_sets r;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < b.count(c); ++i) {
            const int slot = b.piece_slot(c, i);
            const std::uint32_t bit = 1u << gen::square_of(slot);
            const bool is_king = b.at_slot(slot) & gen::king;
            (c == 0 ? (is_king ? r.wk : r.wm) : (is_king ? r.bk : r.bm)) |= bit;
        }
    return r;
}

material material_of(const square_sets& s) {
    return {std::popcount(s.wk), std::popcount(s.bk), std::popcount(s.wm), std::popcount(s.bm)};
}

std::uint32_t index_of(const square_sets& s) {
    return index_from_masks(s.wm, s.bm, s.wk, s.bk);
}

square_sets turned(const square_sets& s) {
    return {reverse_bits(s.bm), reverse_bits(s.wm), reverse_bits(s.bk), reverse_bits(s.wk)};
}

std::uint32_t mirrored_index_of(const square_sets& s) {
    return index_of(turned(s));
}

std::uint32_t position_index(const gen::board& b) {
    return index_of(sets_of(b));
}

std::uint32_t mirrored_position_index(const gen::board& b) {
    return mirrored_index_of(sets_of(b));
}

decoder::decoder(const material& m) : m_cls(m) {
    const int men = m.wm + m.bm;
    m_n_bk = g_binom[32 - men - m.wk][m.bk];
    m_n_wk = g_binom[32 - men][m.wk];
    m_n_bm = g_binom[28][m.bm];
}

bool decoder::decode(std::uint32_t index, gen::board& b, square_sets* sets) {
    b.clear_board();
    const material& m = m_cls;
    const int men = m.wm + m.bm;
    const std::uint32_t r_bk = index % m_n_bk;
    const std::uint32_t kings_part = index / m_n_bk;
    const std::uint32_t r_wk = kings_part % m_n_wk;
    const std::uint32_t men_part = kings_part / m_n_wk;

    int p[max_k];
    if (men_part != m_men_part) {
        m_men_part = men_part;
        m_kings_part = ~0u;
        unrank(m.wm, men_part / m_n_bm, 28, p);
        m_wm = 0;
        for (int i = 0; i < m.wm; ++i)
            m_wm |= 1u << (p[i] + 4);
        unrank(m.bm, men_part % m_n_bm, 28, p);
        m_bm = 0;
        for (int i = 0; i < m.bm; ++i)
            m_bm |= 1u << p[i];
    }
    if (m_wm & m_bm) return false;
    // A white king's position counts the squares without men; a black king's also skips white kings.
    if (kings_part != m_kings_part) {
        m_kings_part = kings_part;
        unrank(m.wk, r_wk, 32 - men, p);
        m_wk = 0;
        for (int i = 0; i < m.wk; ++i)
            m_wk |= 1u << nth_free(m_wm | m_bm, p[i]);
    }
    unrank(m.bk, r_bk, 32 - men - m.wk, p);
    std::uint32_t bk_set = 0;
    for (int i = 0; i < m.bk; ++i)
        bk_set |= 1u << nth_free(m_wm | m_bm | m_wk, p[i]);

    for (std::uint32_t s = m_wk; s; s &= s - 1)
        b.put_piece(std::countr_zero(s), gen::white_king);
    for (std::uint32_t s = m_wm; s; s &= s - 1)
        b.put_piece(std::countr_zero(s), gen::white_man);
    for (std::uint32_t s = bk_set; s; s &= s - 1)
        b.put_piece(std::countr_zero(s), gen::black_king);
    for (std::uint32_t s = m_bm; s; s &= s - 1)
        b.put_piece(std::countr_zero(s), gen::black_man);
    if (sets) *sets = {m_wm, m_bm, m_wk, bk_set};
    return true;
}

bool decode_position(const material& m, std::uint32_t index, gen::board& b, square_sets* sets) {
    return decoder(m).decode(index, b, sets);
}

} // namespace idx
