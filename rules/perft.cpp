#include "rules/perft.h"

#include "rules/movegen.h"

namespace {
class TPerft {
  public:
    TPerft(const TPerftOptions& o, int depth) : m_o(o), m_lists(depth > 0 ? depth : 0) {}

    std::uint64_t Count(const TBoard& b, int side, int depth) {
        if (depth == 0) return 1;
        TMoveList& list = m_lists[depth - 1];
        Generate(b, side, list);
        // The last ply only needs the number of moves.
        if (depth == 1) return list.size();
        std::uint64_t total = 0;
        for (const TMove& m : list) {
            TBoard next = b;
            MakeMove(m, next, m_o.variant);
            total += Count(next, 1 - side, depth - 1);
        }
        return total;
    }

    void Generate(const TBoard& b, int side, TMoveList& list) {
        if (m_o.unique)
            FindUniqueMoves(b, side, list, m_o.variant);
        else
            FindMoves(b, side, list, m_o.variant);
    }

  private:
    TPerftOptions m_o;
    std::vector<TMoveList> m_lists; // one per remaining depth
};
} // namespace

std::uint64_t Perft(const TBoard& board, int side, int depth, const TPerftOptions& options) {
    TPerft p(options, depth);
    return p.Count(board, side, depth);
}

std::vector<TPerftDivide> PerftDivide(const TBoard& board, int side, int depth,
                                      const TPerftOptions& options) {
    std::vector<TPerftDivide> out;
    if (depth < 1) return out;
    TPerft p(options, depth);
    TMoveList root;
    p.Generate(board, side, root);
    for (const TMove& m : root) {
        TBoard next = board;
        MakeMove(m, next, options.variant);
        out.push_back({m, p.Count(next, 1 - side, depth - 1)});
    }
    return out;
}
