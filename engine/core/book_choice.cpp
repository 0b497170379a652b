// Choosing a book move: every move's line is walked through the book, weighed by its depth and by
// how far its score falls behind the best, and one of the heaviest is drawn at random.

#include "book.h"

#include "movegen.h"
#include "search_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

namespace marrak::inline MARRAK_RULES_NS {

namespace {

struct kind_parameters {
    int threshold;   // depth threshold T: lines more than T worse weigh nothing
    double base;     // B
    double fraction; // F: candidates weigh at least F times the heaviest
};

std::optional<kind_parameters> parameters(int kind) {
    switch (kind) {
    case 1:
        return kind_parameters{15, 1.04, 0.1};
    case 2:
        return kind_parameters{5, 1.14, 0.6};
    case 3:
        return kind_parameters{0, 0.0, 0.7};
    default:
        return std::nullopt;
    }
}

// One walk through the book. A walk that may take kept lines (`use_lasting`) notes whether it met
// a position already on its path or the depth limit: from then on the memo it builds depends on
// the order of its visits, and the choice is walked again without kept lines.
struct walk_state {
    bool use_lasting = false;
    bool order_dependent = false;
};

struct walk_result {
    int score = 0;
    int depth = 0;
    int height = 0;
};

std::optional<walk_result> walk(opening_book& book, int kind, const engine_position& position, int side,
                                int ply, walk_state& state) {
    const std::optional<std::size_t> slot = book_probe(book, position, side);
    if (!slot) return std::nullopt;
    const book_moves listed = unpack_book_entry(book.entries[*slot].info);
    book_memo& memo = book.memo[*slot];
    if (memo.stamp == book.stamp) {
        // A line that comes back to a position on its path finds it with depth 0.
        if (!memo.done) state.order_dependent = true;
        return walk_result{memo.score, memo.depth, memo.height};
    }
    if (state.use_lasting) {
        const book_memo& kept = book.lasting[*slot];
        if (kept.done && ply + kept.height <= book_walk_limit)
            return walk_result{kept.score, kept.depth, kept.height};
    }
    // Deep lines end here, so a long chain cannot exhaust the stack.
    if (ply > book_walk_limit) {
        state.order_dependent = true;
        return walk_result{listed.score, 1, 0};
    }
    memo = book_memo{book.stamp, false, listed.score, 0, 0};

    move_list& moves = book.ply_moves[ply];
    const int n = gen::generate_legal(position, moves, side);
    std::array<walk_result, 6> children;
    int count = 0;
    for (int i = 0; i < listed.count; ++i) {
        if (listed.index[i] >= n) continue; // lists a move the position does not have
        if (const auto child = walk(book, kind, moves.moves[listed.index[i]], 1 - side, ply + 1, state))
            children[count++] = *child;
    }
    walk_result result{listed.score, 1, 0};
    if (count > 0) {
        int best = children[0].score;
        for (int i = 1; i < count; ++i)
            best = side == 0 ? std::max(best, children[i].score) : std::min(best, children[i].score);
        double heaviest = 0;
        for (int i = 0; i < count; ++i) {
            result.height = std::max(result.height, children[i].height + 1);
            const int d = side == 0 ? children[i].score - best : best - children[i].score;
            const double w = book_weight(kind, children[i].depth, d);
            if (w > heaviest) {
                heaviest = w;
                result.score = children[i].score;
                result.depth = children[i].depth + 1;
            }
        }
    }
    const book_memo done{book.stamp, true, result.score, result.depth, result.height};
    book.memo[*slot] = done;
    if (state.use_lasting && !state.order_dependent)
        book.lasting[*slot] = book_memo{0, true, done.score, done.depth, done.height};
    return result;
}

// Starts a walk: a fresh memo and room for the walk's move lists; the kept lines of another kind
// are dropped.
void begin_walk(opening_book& book, int kind) {
    if (book.memo.size() != book.entries.size()) book.memo.assign(book.entries.size(), book_memo{});
    if (book.lasting.size() != book.entries.size() || book.lasting_kind != kind) {
        book.lasting.assign(book.entries.size(), book_memo{});
        book.lasting_kind = kind;
    }
    if (book.ply_moves.size() < book_walk_limit + 2) book.ply_moves.resize(book_walk_limit + 2);
    if (++book.stamp == 0) {
        // After 2^32 walks the stamps wrap: clear them once.
        std::fill(book.memo.begin(), book.memo.end(), book_memo{});
        book.stamp = 1;
    }
}

struct move_record {
    int index = 0;
    bool listed = false;
    int depth = 0;
    int score = 0;
    double weight = -1;
};

} // namespace

double book_weight(int kind, int depth, int d) {
    const std::optional<kind_parameters> p = parameters(kind);
    if (!p) return 0;
    if (kind == 3) return d == 0 ? depth : 0;
    return d >= -p->threshold ? depth * std::pow(p->base, d) : 0;
}

std::optional<book_line> walk_book(opening_book& book, int kind, const engine_position& position, int side,
                                   int ply) {
    if (!book.loaded) return std::nullopt;
    begin_walk(book, kind);
    walk_state state;
    const auto line = walk(book, kind, position, side, std::max(ply, 1), state);
    if (!line) return std::nullopt;
    return book_line{line->score, line->depth};
}

namespace {

int choose(opening_book& book, int kind, const engine_position& position, int side, const move_list& moves,
           const history::game_history& history, int& index, int& score, std::string& text) {
    const std::optional<kind_parameters> p = parameters(kind);
    if (!book.loaded || !p) return 0;
    const std::optional<std::size_t> slot = book_probe(book, position, side);
    if (!slot) return 0;
    const book_moves entry = unpack_book_entry(book.entries[*slot].info);
    const int s = entry.score;
    const int n = static_cast<int>(std::min<std::uint32_t>(moves.count, ENGINE_MAX_MOVES));

    // Walked with the kept lines first; again without them when the memo came to depend on the
    // order of the visits, which a fresh walk repeats exactly.
    std::vector<move_record> records(n);
    for (const bool use_lasting : {true, false}) {
        begin_walk(book, kind);
        walk_state state{use_lasting, false};
        for (int i = 0; i < n; ++i) {
            move_record& r = records[i];
            r = move_record{};
            r.index = i;
            r.listed = std::find(entry.index.begin(), entry.index.begin() + entry.count, i) !=
                       entry.index.begin() + entry.count;
            const std::optional<walk_result> line = walk(book, kind, moves.moves[i], 1 - side, 1, state);
            const auto weigh = [&] {
                return book_weight(kind, line->depth, side == 0 ? line->score - s : s - line->score);
            };
            if (r.listed) {
                r.score = s;
                r.depth = line ? line->depth : 0;
                r.weight = line ? std::max(weigh(), 0.01) : 0.01;
            } else if (line) {
                r.score = line->score;
                r.depth = line->depth;
                r.weight = weigh();
            }
        }
        if (!state.order_dependent) break;
    }
    std::stable_sort(records.begin(), records.end(), [side](const move_record& a, const move_record& b) {
        if (a.weight != b.weight) return a.weight > b.weight;
        if (a.listed != b.listed) return a.listed;
        if (a.score != b.score) return side == 0 ? a.score > b.score : a.score < b.score;
        return a.depth > b.depth;
    });

    // Sorted by weight, the candidates are a prefix.
    std::size_t candidates = 0;
    while (candidates < records.size() && records[candidates].weight > 0 &&
           records[candidates].weight >= p->fraction * records[0].weight)
        ++candidates;
    if (candidates == 0) return 0;
    const move_record& chosen = records[book.random.next() % candidates];
    if (history.contains(moves.moves[chosen.index]) && (side == 0 ? chosen.score > 1 : chosen.score < -1))
        return 0;

    char item[64];
    std::snprintf(item, sizeof item, "%s(%d/%d)*",
                  text::move_to_text(position, moves.moves[chosen.index]).c_str(), chosen.score,
                  chosen.depth);
    text = item;
    for (const move_record& r : records) {
        if (&r == &chosen || r.weight < 0) continue;
        std::snprintf(item, sizeof item, "  %s(%d/%d)%c",
                      text::move_to_text(position, moves.moves[r.index]).c_str(), r.score, r.depth,
                      r.listed ? '*' : '?');
        text += item;
    }
    index = chosen.index;
    score = chosen.score;
    return 1;
}

} // namespace

int choose_book_move(opening_book& book, int kind, const engine_position& position, int side,
                     const move_list& moves, const history::game_history& history, int& index, int& score,
                     std::string& text) {
    // The walk's scratch grows with the table; without the memory there is no book move.
    try {
        return choose(book, kind, position, side, moves, history, index, score, text);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

} // namespace marrak::inline MARRAK_RULES_NS
