// Writes the engines' move-ordering triplet lists (engine/core/pair_table_data.cpp) from the
// best-move statistics of fixed-depth self-play of both libraries.
//
//   pair_tables [--games N] [--depth D] OUTPUT.cpp
//
// For each list (men or kings, one stage of the game by the number of pieces; stages 0 and 1
// share their lists) the tool keeps the pairs (from bit, to bit) that the search chose most often,
// as many as the list holds, and values each by how often it was chosen when it was on the board:
// 1 + 99 x chosen / (available + 1), rounded. A list that self-play cannot fill is filled up with
// pairs that a man (or a king) could move between but that never came up, worth 1. A list's fixed
// first rows are kept as they stand, and no other pair sorts before them. The lists are sorted by
// pair. Self-play is deterministic, so the same options and engine give the same file.

#include "pair_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace pair_tool;

struct triplet {
    int a, b, v;
};

// The lists' sizes and their fixed first rows.
struct list_shape {
    const char* name;
    int king;
    std::vector<int> stages; // whose statistics it takes
    int length;
    std::vector<triplet> fixed;
};

const std::vector<list_shape> lists = {
    {"men_0", 0, {0, 1}, 267, {{1, 1, 44}, {1, 5, 18}, {1, 6, 10}, {1, 10, 74}, {1, 17, 29}, {1, 19, 90}}},
    {"men_2", 0, {2}, 267, {}},
    {"men_3", 0, {3}, 267, {}},
    {"men_4", 0, {4}, 267, {}},
    {"men_5", 0, {5}, 255, {}},
    {"kings_0", 1, {0, 1}, 304, {}},
    {"kings_2", 1, {2}, 312, {}},
    {"kings_3", 1, {3}, 293, {}},
    {"kings_4", 1, {4}, 165, {}},
    {"kings_5", 1, {5}, 18, {{1, 3, 10}, {1, 17, 20}, {1, 19, 12}, {2, 11, 3}, {2, 18, 32}, {2, 20, 17}}},
};

// The pairs (from bit, to bit) a man moving one way, or a king, can make: one step, or up to four
// jumps.
std::vector<std::pair<int, int>> geometric_pairs(bool king) {
    auto x_of = [](int b) { return 2 * (3 - (b & 3)) + ((b >> 2) & 1); };
    auto bit_at = [](int x, int y) { return x < 0 || x > 7 || y < 0 || y > 7 ? -1 : 4 * y + 3 - x / 2; };
    std::vector<std::pair<int, int>> pairs;
    auto add = [&](int a, int b) {
        if (std::find(pairs.begin(), pairs.end(), std::make_pair(a, b)) == pairs.end())
            pairs.emplace_back(a, b);
    };
    for (int from = 0; from < 32; ++from)
        for (int vertical : {1, -1}) {
            const int x = x_of(from), y = from >> 2;
            for (int dx : {-1, 1}) {
                const int to = bit_at(x + dx, y + vertical);
                if (to >= 0) add(from, to);
                if (king) {
                    const int back = bit_at(x + dx, y - vertical);
                    if (back >= 0) add(from, back);
                }
            }
            // Jump chains: a man keeps its vertical direction, a king may turn.
            std::vector<std::pair<int, int>> frontier{{x, y}};
            for (int step = 0; step < 4; ++step) {
                std::vector<std::pair<int, int>> next;
                for (auto [cx, cy] : frontier)
                    for (int dy : king ? std::vector<int>{1, -1} : std::vector<int>{vertical})
                        for (int dx : {-2, 2}) {
                            const int to = bit_at(cx + dx, cy + 2 * dy);
                            if (to < 0) continue;
                            add(from, to);
                            next.emplace_back(cx + dx, cy + 2 * dy);
                        }
                frontier = next;
            }
        }
    return pairs;
}

bool before(const triplet& x, const triplet& y) {
    return x.a != y.a ? x.a < y.a : x.b < y.b;
}

std::vector<triplet> make_list(const pair_stats& stats, const list_shape& shape) {
    struct pair {
        int from, to;
        std::uint64_t available, chosen;
    };
    std::vector<pair> pairs;
    for (int from = 0; from < 32; ++from)
        for (int to = 0; to < 32; ++to) {
            pair p{from, to, 0, 0};
            for (int s : shape.stages) {
                p.available += stats.table[shape.king][s][from][to].available;
                p.chosen += stats.table[shape.king][s][from][to].chosen;
            }
            if (p.available) pairs.push_back(p);
        }
    // Most often chosen first; then most often seen; then by pair, for a stable result.
    std::sort(pairs.begin(), pairs.end(), [](const pair& x, const pair& y) {
        if (x.chosen != y.chosen) return x.chosen > y.chosen;
        if (x.available != y.available) return x.available > y.available;
        return x.from != y.from ? x.from < y.from : x.to < y.to;
    });
    std::vector<triplet> out = shape.fixed;
    const triplet last_fixed = shape.fixed.empty() ? triplet{0, 0, 0} : shape.fixed.back();
    for (const pair& p : pairs) {
        if (static_cast<int>(out.size()) >= shape.length) break;
        const triplet t{
            p.from + 1, p.to + 1,
            static_cast<int>(std::lround(1 + 99.0 * p.chosen / static_cast<double>(p.available + 1)))};
        if (!before(last_fixed, t)) continue; // the fixed rows stay first
        out.push_back(t);
    }
    for (auto [from, to] : geometric_pairs(shape.king != 0)) {
        if (static_cast<int>(out.size()) >= shape.length) break;
        const triplet t{from + 1, to + 1, 1};
        if (!before(last_fixed, t)) continue;
        if (std::any_of(out.begin(), out.end(), [&](const triplet& u) { return u.a == t.a && u.b == t.b; }))
            continue;
        out.push_back(t);
    }
    std::sort(out.begin() + static_cast<long>(shape.fixed.size()), out.end(), before);
    return out;
}

int usage() {
    std::fprintf(stderr, "usage: pair_tables [--games N] [--depth D] OUTPUT.cpp\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    play_options options;
    const char* output = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--games") && i + 1 < argc)
            options.games = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--depth") && i + 1 < argc)
            options.depth = std::atoi(argv[++i]);
        else if (argv[i][0] != '-' && !output)
            output = argv[i];
        else
            return usage();
    }
    if (!output || options.games < 1 || options.depth < 1) return usage();

    auto stats = std::make_unique<pair_stats>();
    self_play_english(*stats, options);
    self_play_italian(*stats, options);

    const std::string temporary = std::string(output) + ".tmp";
    FILE* out = std::fopen(temporary.c_str(), "w");
    if (!out) {
        std::perror(temporary.c_str());
        return 1;
    }
    std::fprintf(
        out,
        "// Generated by tools/pair_tables (%d games a library at iteration depth %d, %llu positions); do "
        "not edit.\n#include \"pair_tables.h\"\n\nnamespace marrak::inline MARRAK_RULES_NS::order {\n"
        "namespace {\n",
        options.games, options.depth, static_cast<unsigned long long>(stats->positions));
    for (const list_shape& shape : lists) {
        const std::vector<triplet> list = make_list(*stats, shape);
        std::fprintf(out, "\nconstexpr triplet %s[] = {", shape.name);
        for (std::size_t i = 0; i < list.size(); ++i)
            std::fprintf(out, "%s{%d, %d, %d},", i % 8 == 0 ? "\n    " : " ", list[i].a, list[i].b,
                         list[i].v);
        std::fprintf(out, "\n};\n");
    }
    std::fprintf(out, "\n} // namespace\n\npair_lists generated_lists() {\n    pair_lists lists;\n"
                      "    lists.men[0] = lists.men[1] = men_0;\n"
                      "    lists.kings[0] = lists.kings[1] = kings_0;\n");
    for (int s = 2; s < 6; ++s)
        std::fprintf(out, "    lists.men[%d] = men_%d;\n    lists.kings[%d] = kings_%d;\n", s, s, s, s);
    std::fprintf(out, "    return lists;\n}\n\n} // namespace marrak::inline MARRAK_RULES_NS::order\n");
    if (std::fclose(out) != 0 || std::rename(temporary.c_str(), output) != 0) {
        std::perror(output);
        return 1;
    }
    std::printf("%llu positions\n", static_cast<unsigned long long>(stats->positions));
    return 0;
}
