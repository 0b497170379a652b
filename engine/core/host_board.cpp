#include "host_board.h"

#include "movegen.h"
#include "search_text.h"

#include <algorithm>
#include <bit>
#include <memory>

namespace marrak::inline MARRAK_RULES_NS::host {

namespace {

// Colour word bits per code; kings carry the king bit as well.
constexpr int colour_of(int code) {
    return code == PIECE_MAN1 || code == PIECE_KING1 ? 1 : code == PIECE_MAN2 || code == PIECE_KING2 ? 2 : 0;
}

} // namespace

board_coord bit_to_coord(int bit) {
    const int y = bit / 4;
    return {2 * (3 - bit % 4) + (y & 1), y};
}

board_coord square_to_coord(int n) {
    if (n < 1 || n > 32) return {-1, -1};
    const int y = (n - 1) / 4, c = (n - 1) % 4;
    return {italian_rules ? 2 * c + (y & 1) : 6 - 2 * c + (y & 1), y};
}

engine_position board_to_position(const host_board& board) {
    engine_position p{{0, 0}, 0};
    for (int bit = 0; bit < 32; ++bit) {
        const board_coord c = bit_to_coord(bit);
        const int code = board.cells[c.x][c.y];
        const int colour = colour_of(code);
        if (!colour) continue;
        const std::uint32_t mask = 1u << bit;
        p.pieces[colour == 1 ? 1 : 0] |= mask;
        if (code == PIECE_KING1 || code == PIECE_KING2) p.kings |= mask;
    }
    return p;
}

void position_to_board(const engine_position& position, host_board& board) {
    for (int bit = 0; bit < 32; ++bit) {
        const board_coord c = bit_to_coord(bit);
        const std::uint32_t mask = 1u << bit;
        const bool king = position.kings & mask;
        int code = PIECE_EMPTY;
        if (position.pieces[0] & mask)
            code = king ? PIECE_KING2 : PIECE_MAN2;
        else if (position.pieces[1] & mask)
            code = king ? PIECE_KING1 : PIECE_MAN1;
        board.cells[c.x][c.y] = code;
    }
}

#if MARRAK_ITALIAN

namespace {

struct move_ends {
    int from = -1;
    int to = -1;
};

int lowest_bit(std::uint32_t word) {
    return word ? std::countr_zero(word) : -1;
}

// Start and final bits of one generated move; `first_step` is the position after its first capture
// step (or null for a plain move). A capture that leaves the mover's word unchanged (a king's round
// trip) starts and ends on the square its first step vacates.
move_ends ends_of(const engine_position& before, const engine_position& after, int side,
                  const engine_position* first_step) {
    const std::uint32_t own_before = before.pieces[side], own_after = after.pieces[side];
    if (own_before != own_after || !first_step)
        return {lowest_bit(own_before & ~own_after), lowest_bit(own_after & ~own_before)};
    const int vacated = lowest_bit(own_before & ~first_step->pieces[side]);
    return {vacated, vacated};
}

struct legal_moves {
    move_list list;
    gen::capture_path paths[gen::max_moves];
    int count = 0;
    bool captures = false;
};

std::unique_ptr<legal_moves> generate(const engine_position& position, int side) {
    auto m = std::make_unique<legal_moves>();
    m->count = gen::generate_capture_paths(position, m->list, side, m->paths);
    m->captures = m->count > 0;
    if (!m->captures) m->count = gen::generate_moves(position, m->list, side);
    return m;
}

void fill(const engine_position& before, const legal_moves& m, int index, int side, host_move& record) {
    const engine_position& after = m.list.moves[index];
    const gen::capture_path* path = m.captures ? &m.paths[index] : nullptr;
    const move_ends e = ends_of(before, after, side, path ? &path->after[0] : nullptr);
    const int own = side ? 1 : 2, other = 3 - own;
    const bool round_trip = e.from == e.to;
    record.from = bit_to_coord(e.from);
    record.to = bit_to_coord(e.to);
    record.oldpiece = round_trip || (before.kings >> e.from & 1u) ? own + 8 : own + 4;
    record.newpiece = round_trip || (after.kings >> e.to & 1u) ? own + 8 : own + 4;
    record.jumps = path ? path->steps : 0;
    if (!path) return;
    // The generator never makes more steps than the record holds.
    const int steps = std::min(path->steps, static_cast<int>(HOST_MOVE_MAX_JUMPS) - 1);
    record.jumps = steps;
    const engine_position* prior = &before;
    for (int k = 0; k < steps; ++k) {
        const engine_position& now = path->after[k];
        const int landed = lowest_bit(now.pieces[side] & ~prior->pieces[side]);
        const int taken = lowest_bit(prior->pieces[1 - side] & ~now.pieces[1 - side]);
        record.path[k + 1] = bit_to_coord(landed);
        record.del[k] = bit_to_coord(taken);
        record.delpiece[k] = (prior->kings >> taken & 1u) ? other + 8 : other + 4;
        prior = &now;
    }
}

bool same(const engine_position& a, const engine_position& b) {
    return a.pieces[0] == b.pieces[0] && a.pieces[1] == b.pieces[1] && a.kings == b.kings;
}

int side_of(int color) {
    return color == 1 ? 1 : 0;
}

} // namespace

bool build_host_move(const engine_position& before, const engine_position& after, int color,
                     host_move& record) {
    const int side = side_of(color);
    const auto m = generate(before, side);
    for (int i = 0; i < m->count; ++i) {
        if (!same(m->list.moves[i], after)) continue;
        fill(before, *m, i, side, record);
        return true;
    }
    return false;
}

bool find_legal_move(const engine_position& position, int color, int from, int to, host_move& record) {
    const int side = side_of(color);
    const auto m = generate(position, side);
    for (int i = 0; i < m->count; ++i) {
        const gen::capture_path* path = m->captures ? &m->paths[i] : nullptr;
        const move_ends e = ends_of(position, m->list.moves[i], side, path ? &path->after[0] : nullptr);
        if (e.from < 0 || e.to < 0) continue;
        if (text::square_of(e.from) != from || text::square_of(e.to) != to) continue;
        fill(position, *m, i, side, record);
        return true;
    }
    return false;
}

#endif

} // namespace marrak::inline MARRAK_RULES_NS::host
