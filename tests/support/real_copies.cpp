#include "tests/support/real_copies.h"

#include <memory>

namespace test_support {

std::vector<std::vector<std::uint8_t>> MainLineMoves(const TGame& g) {
    std::vector<std::vector<std::uint8_t>> line;
    int node = 0;
    while (line.size() < MaxNodes) {
        const TNodeList children = ListChildNodes(node, g);
        int next = 0;
        for (const std::uint16_t c : children)
            if (g.nodes[c].mainLine) {
                next = c;
                break;
            }
        if (next == 0) break;
        node = next;
        const TMove& m = g.nodes[node];
        std::vector<std::uint8_t> move = {m.from, m.captures};
        const int used = m.captures ? 2 * m.captures : 1;
        move.insert(move.end(), m.squares.begin(), m.squares.begin() + used);
        line.push_back(std::move(move));
    }
    return line;
}

int TRealCopies::Add(int number, const TGame& g) {
    auto moves = MainLineMoves(g);
    if (moves.empty()) {
        ++m_withoutMoves;
        return 0;
    }
    TKey key{g.header.variant, std::string(g.startKey.begin(), g.startKey.end()), std::move(moves)};
    const auto [it, fresh] = m_first.emplace(std::move(key), number);
    return fresh ? 0 : it->second;
}

std::vector<int> EarliestRealCopies(const TGameDatabase& db) {
    std::vector<int> earliest(1, 0);
    TRealCopies copies;
    auto g = std::make_unique<TGame>();
    for (int n = 1; n <= db.gameCount; ++n)
        earliest.push_back(ReadGame(db, n, false, *g) == TDbStatus::Ok ? copies.Add(n, *g) : -1);
    return earliest;
}

} // namespace test_support
