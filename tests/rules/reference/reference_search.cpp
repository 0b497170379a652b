#include "reference_search.h"

#include "rules/engine_random.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <memory>

namespace reference {

namespace {

// ---- the evaluation, as it was

constexpr int MaxStaticScore = 1899;

constexpr std::int16_t ManTable64[33] = {0,  4,  28, 24, 27, 8,  31, 17, 7,  8,  21, 26, 12, 14, 13, 17, 5,
                                         15, 30, 28, 26, 40, 32, 30, 30, 61, 64, 70, 87, 0,  0,  0,  0};
constexpr std::int16_t KingTable64[33] = {0, 80, 20, 0,  40, 83, 20, 40, 40, 20, 85, 45, 40, 20, 90, 45, 0,
                                          0, 45, 90, 20, 40, 45, 85, 20, 40, 40, 20, 83, 40, 0,  20, 80};
constexpr std::int16_t ManTable100[51] = {0,  0,  17, 15, 15, 16, 5,  15, 20, 8,  5,  3,  9,  10, 10, 8,  13,
                                          10, 13, 12, -5, 5,  10, 10, 7,  5,  10, 21, 20, 18, 0,  13, 16, 17,
                                          19, 20, 23, 25, 28, 30, 28, 30, 33, 35, 38, 8,  0,  0,  0,  0,  0};
constexpr std::int16_t KingTable100[51] = {
    0,  70, 30, 0,  10, 50, 70, 30, 10, 50, 55, 35, 70, 35, 50, 55, 35, 75, 55, 55, 10, 0,  40, 80, 60, 10,
    10, 55, 80, 35, 0,  10, 50, 60, 75, 30, 50, 55, 40, 70, 30, 50, 55, 10, 35, 70, 55, 10, 0,  35, 70};

std::int16_t Clamp(std::int64_t v) {
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, -MaxStaticScore, MaxStaticScore));
}

std::int64_t RoundRatioHalfEven(std::int64_t num, std::int64_t den) {
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    if (r < 0) {
        --q;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q & 1) != 0)) ++q;
    return q;
}

std::int16_t MaterialShare(int side, int s0, int s1, int scale) {
    if (s0 + s1 <= 0) return 0;
    const std::int64_t diff = side == 0 ? s0 - s1 : s1 - s0;
    return Clamp(RoundRatioHalfEven(diff * scale * 100, s0 + s1));
}

std::int16_t FlyingKingsValue(int side, const TBoard& b) {
    int s0 = 0, s1 = 0;
    for (int s = 1; s <= 32; ++s) {
        switch (b[s]) {
        case sqMan0:
            s0 += 100 + ManTable64[s];
            break;
        case sqKing0:
            s0 += 300 + KingTable64[s];
            break;
        case sqMan1:
            s1 += 100 + ManTable64[33 - s];
            break;
        case sqKing1:
            s1 += 300 + KingTable64[33 - s];
            break;
        default:
            break;
        }
    }
    if (b[25] == sqMan0 && b[29] == sqEmpty) s0 += 100;
    if (b[8] == sqMan1 && b[4] == sqEmpty) s1 += 100;
    if (b[17] == -1 && (b[21] == -1 || b[18] == -1) && b[9] == 1 && b[13] == 1 && b[10] == 1)
        s1 += b[1] == 0 ? 45 : 30;
    if (b[16] == 1 && (b[12] == 1 || b[15] == 1) && b[24] == -1 && b[20] == -1 && b[23] == -1)
        s0 += b[32] == 0 ? 45 : 30;
    if (b[16] == -1 && b[20] == -1 && b[24] == -1 && b[15] == 1 && b[12] == 1 && b[11] == 1 && b[7] == 1)
        s1 += b[4] == 0 ? 45 : 30;
    if (b[17] == 1 && b[13] == 1 && b[9] == 1 && b[18] == -1 && b[21] == -1 && b[26] == -1 && b[22] == -1)
        s0 += b[29] == 0 ? 45 : 30;
    return Clamp(side == 0 ? s0 - s1 : s1 - s0);
}

std::int16_t ShortKingsValue(int side, const TBoard& b) {
    int s0 = 0, s1 = 0, n = 0;
    for (int s = 1; s <= 32; ++s) {
        switch (b[s]) {
        case sqMan0:
            s0 += 100 + ManTable64[s];
            break;
        case sqKing0:
            s0 += 200;
            break;
        case sqMan1:
            s1 += 100 + ManTable64[33 - s];
            break;
        case sqKing1:
            s1 += 200;
            break;
        default:
            continue;
        }
        ++n;
    }
    return MaterialShare(side, s0, s1, n);
}

std::int16_t InternationalValue(int side, const TBoard& b) {
    int s0 = 0, s1 = 0, n = 0;
    for (int s = 1; s <= 50; ++s) {
        switch (b[s]) {
        case sqMan0:
            s0 += 100 + ManTable100[s];
            break;
        case sqKing0:
            s0 += 300 + KingTable100[s];
            break;
        case sqMan1:
            s1 += 100 + ManTable100[51 - s];
            break;
        case sqKing1:
            s1 += 300 + KingTable100[51 - s];
            break;
        default:
            continue;
        }
        ++n;
    }
    return MaterialShare(side, s0, s1, 2 * n);
}

// ---- the table, as it was

struct TEntry {
    TPositionKey key{};
    std::int16_t lower = 0, upper = 0;
    std::uint8_t side = 0, depth = 0, best = 0;
    std::uint16_t hits = 0;
};

struct TProbe {
    std::uint32_t slot = 0;
    bool found = false;
    TEntry entry;
    TPositionKey key;
};

class TTable {
  public:
    explicit TTable(std::size_t entries) : m_entries(entries), m_size(entries) {}
    std::size_t Size() const { return m_size; }

    // Empty, with new keys: as the engine clears its table before a request.
    void Reset(std::uint32_t seed) {
        std::memset(static_cast<void*>(m_entries.data()), 0, m_size * sizeof(TEntry));
        m_stored = 0;
        probes = 0;
        TEngineRandom rng(seed);
        const std::uint32_t limit = m_size ? static_cast<std::uint32_t>(m_size - 1) : 0;
        std::uniform_int_distribution<std::uint32_t> dist(0, limit);
        for (int s = 1; s <= MaxSquares; ++s)
            for (int v = 0; v < 5; ++v)
                m_keys[s][v] = dist(rng);
    }

    std::uint64_t probes = 0;

    void Probe(const TBoard& board, int side, int squares, TProbe& out) {
        ++probes;
        PositionToKey(board, out.key);
        out.found = false;
        out.entry = TEntry{};
        out.slot = 0;
        if (m_size == 0) return;
        std::uint32_t h = 0;
        for (int s = 1; s <= squares; ++s)
            if (board[s] != 0) h ^= m_keys[s][board[s] + 2];
        std::uint32_t slot = static_cast<std::uint32_t>(h % m_size);
        for (;;) {
            out.entry = m_entries[slot];
            if (std::all_of(out.entry.key.begin(), out.entry.key.end(),
                            [](std::uint8_t b) { return b == 0; }))
                break;
            if (out.entry.key == out.key && out.entry.side == side) {
                out.found = true;
                ++out.entry.hits;
                break;
            }
            slot = slot + 1 == m_size ? 0 : slot + 1;
        }
        out.slot = slot;
    }

    void StoreResult(const TProbe& probe, int side, int remaining, int best, int bestNumber, int alpha,
                     int beta) {
        if (m_size == 0) return;
        TEntry e = probe.entry;
        if (!probe.found) {
            if (m_stored >= m_size / 2) return;
            ++m_stored;
            e = TEntry{};
            e.key = probe.key;
            e.side = static_cast<std::uint8_t>(side);
            e.lower = -2000;
            e.upper = 2000;
        } else {
            if (e.depth > remaining) return;
            if (remaining > e.depth) {
                e.lower = -2000;
                e.upper = 2000;
            }
        }
        e.depth = static_cast<std::uint8_t>(remaining);
        e.best = static_cast<std::uint8_t>(std::min(bestNumber, 255));
        if (best >= beta) e.lower = static_cast<std::int16_t>(beta);
        if (best <= alpha) e.upper = static_cast<std::int16_t>(alpha);
        m_entries[probe.slot] = e;
    }

  private:
    std::vector<TEntry> m_entries;
    std::size_t m_size;
    std::size_t m_stored = 0;
    std::array<std::array<std::uint32_t, 5>, MaxSquares + 1> m_keys{};
};

// ---- the search, as it was

constexpr int FullWindow = 2000;
constexpr int LossScoreBase = 2001;

bool AtMostPieces(int limit, const TBoard& board, int squares) {
    int n = 0;
    for (int s = 1; s <= squares; ++s)
        if (board[s] != 0 && ++n > limit) return false;
    return true;
}

void SortByScore(int count, TList& moves, std::vector<int>& scores) {
    for (int i = 0; i + 1 < count; ++i) {
        int top = i;
        for (int j = i + 1; j < count; ++j)
            if (scores[j] > scores[top]) top = j;
        if (top != i) {
            std::swap(moves[top], moves[i]);
            std::swap(scores[top], scores[i]);
        }
    }
}

class TSearcher {
  public:
    TSearcher(TTable& table, TGameType variant, const TEdbProbe& edb)
        : m_table(table), m_variant(variant), m_squares(variant == gtInternational ? 50 : 32), m_edb(edb) {}

    std::uint64_t evaluations = 0;

    int Search(const TBoard& board, int alpha, int beta, int ply, int depth, int side, int countFlag) {
        TProbe probe;
        m_table.Probe(board, side, m_squares, probe);
        const int remaining = depth - ply;
        if (probe.found && remaining <= probe.entry.depth) {
            if (probe.entry.lower >= beta) return probe.entry.lower;
            if (probe.entry.upper <= alpha) return probe.entry.upper;
        }

        TPlyLists& lists = ListsAt(ply);
        int edbScore = 0;
        if (EdbProbeTaken(board, side, ply, lists, edbScore)) return edbScore;
        TList& moves = lists.moves;
        if (moves.empty()) return ply - LossScoreBase;

        const int count = static_cast<int>(moves.size());
        const int opponent = 1 - side;
        int best = alpha;
        int bestNumber = 1;

        if (depth > ply + 3) {
            std::vector<int>& scores = lists.scores;
            scores.resize(count);
            for (int i = 0; i < count; ++i) {
                TBoard child = board;
                MakeMove(moves[i], child, m_variant);
                scores[i] = -Search(child, -FullWindow, FullWindow, ply + 1, ply + 1, opponent, 1);
            }
            SortByScore(count, moves, scores);
        }

        const bool captures = moves[0].captures != 0;
        for (int i = 0; i < count; ++i) {
            TBoard child = board;
            MakeMove(moves[i], child, m_variant);
            int value;
            if (ply >= depth && !captures)
                value = -Evaluate(opponent, child, countFlag);
            else
                value = -Search(child, -beta, -best, ply + 1, depth, opponent, countFlag);
            if (value > best) {
                best = value;
                bestNumber = i + 1;
            }
            if (best >= beta) break;
        }

        if (ply > depth) return best;
        m_table.StoreResult(probe, side, remaining, best, bestNumber, alpha, beta);
        return best;
    }

  private:
    struct TPlyLists {
        TList moves, other;
        std::vector<int> scores;
    };

    TPlyLists& ListsAt(int ply) {
        while (static_cast<int>(m_plies.size()) <= ply)
            m_plies.emplace_back();
        return m_plies[ply];
    }

    int Evaluate(int side, const TBoard& board, int countFlag) {
        switch (m_variant) {
        case gtEnglish:
        case gtItalian:
            ++evaluations;
            return ShortKingsValue(side, board);
        case gtInternational:
            ++evaluations;
            return InternationalValue(side, board);
        default:
            if (countFlag) ++evaluations;
            return FlyingKingsValue(side, board);
        }
    }

    bool EdbProbeTaken(const TBoard& board, int side, int ply, TPlyLists& lists, int& score) {
        FindMoves(board, side, lists.moves, m_variant);
        if (m_variant == gtInternational || !m_edb.probe || !m_edb.isOpen) return false;
        if (!AtMostPieces(5, board, m_squares) || !m_edb.isOpen()) return false;
        TPieceCount count;
        CountPieces(board, count);
        if (count.pieces0 == 0 || count.pieces1 == 0) return false;
        if (!lists.moves.empty() && lists.moves[0].captures) return false;
        FindMoves(board, 1 - side, lists.other, m_variant);
        if (!lists.other.empty() && lists.other[0].captures) return false;
        const std::optional<std::int16_t> value = m_edb.probe(board, count.all, side, ply - 1, m_variant);
        if (!value) return false;
        score = *value;
        return true;
    }

    TTable& m_table;
    TGameType m_variant;
    int m_squares;
    TEdbProbe m_edb;
    std::deque<TPlyLists> m_plies;
};

} // namespace

// ---- the root driver's iterations, as they were (margin 0, no clock)

TRootOutcome RunRootSearch(const TBoard& board, int side, TGameType variant, int maxDepth,
                           std::size_t entries, const TEdbProbe& edb, std::uint32_t keySeed) {
    TRootOutcome out;
    // One table a thread, kept from one search to the next as the engine keeps its own.
    thread_local std::unique_ptr<TTable> kept;
    if (!kept || kept->Size() != entries) kept = std::make_unique<TTable>(entries);
    TTable& table = *kept;
    table.Reset(keySeed);
    TList& moves = out.moves;
    FindMoves(board, side, moves, variant);
    RemoveDuplicateMoves(moves, board, variant);
    const int n = static_cast<int>(moves.size());
    if (n == 0) return out;

    TSearcher searcher(table, variant, edb);
    std::vector<int> scores(n);
    const int opponent = 1 - side;
    for (int depth = 5;; ++depth) {
        auto search = [&](const TBoard& child, int alpha, int beta) {
            return -searcher.Search(child, alpha, beta, 2, depth, opponent, 1);
        };
        int best = -32000;
        for (int i = 0; i < n; ++i) {
            TBoard child = board;
            MakeMove(moves[i], child, variant);
            if (i == 0) {
                best = scores[0] = search(child, -FullWindow, FullWindow);
                continue;
            }
            // With no margin a move either beats the best (and is searched again with the full
            // window above it) or is out.
            const int s = search(child, -best - 1, -best);
            if (s > best)
                scores[i] = best = search(child, -FullWindow, -best - 1);
            else
                scores[i] = -32000;
        }
        SortByScore(n, moves, scores);
        out.scores = scores;
        out.completedDepth = depth;
        if (n == 1 || depth >= maxDepth) break;
    }
    out.nodes = table.probes;
    out.evaluations = searcher.evaluations;
    return out;
}

} // namespace reference
