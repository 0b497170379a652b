#include "gamedb/search_tree.h"

#include "gamedb/game_block.h"
#include "gamedb/game_search.h"

#include <algorithm>
#include <bit>

namespace {

// Piece kinds as bit-board indices: value + 2 -> kind, -1 for an empty square.
constexpr int KindOfValue[5] = {3, 2, -1, 0, 1};
constexpr std::int8_t ValueOfKind[4] = {sqMan0, sqKing0, sqMan1, sqKing1};

struct TBits {
    std::array<std::uint64_t, 4> kinds{};

    std::int8_t At(int sq) const {
        const std::uint64_t bit = std::uint64_t{1} << sq;
        for (int k = 0; k < 4; ++k)
            if (kinds[k] & bit) return ValueOfKind[k];
        return 0;
    }
    void Put(int sq, std::int8_t value) {
        const std::uint64_t bit = std::uint64_t{1} << sq;
        for (std::uint64_t& k : kinds)
            k &= ~bit;
        if (value != 0) kinds[KindOfValue[value + 2]] |= bit;
    }
    bool Matches(const TPatternMasks& m) const {
        return (kinds[0] & m.fixed) == m.kinds[0] && (kinds[1] & m.fixed) == m.kinds[1] &&
               (kinds[2] & m.fixed) == m.kinds[2] && (kinds[3] & m.fixed) == m.kinds[3];
    }
};

TBits BitsOf(const TBoard& b) {
    TBits bits;
    for (int sq = 1; sq <= MaxSquares; ++sq)
        if (b[sq] >= -2 && b[sq] <= 2 && b[sq] != 0)
            bits.kinds[KindOfValue[b[sq] + 2]] |= std::uint64_t{1} << sq;
    return bits;
}

struct TRules {
    int squares, perRow;
    bool promoteOnTheWay;
};

void Promote(TBits& bits, int sq, const TRules& r) {
    const std::uint64_t bit = std::uint64_t{1} << sq;
    if ((bits.kinds[0] & bit) && sq > r.squares - r.perRow) {
        bits.kinds[0] &= ~bit;
        bits.kinds[1] |= bit;
    } else if ((bits.kinds[2] & bit) && sq <= r.perRow) {
        bits.kinds[2] &= ~bit;
        bits.kinds[3] |= bit;
    }
}

// The same steps as making a stored node on a board, in the same order, so even a move that is not
// legal (a stored game is not checked for legality) leaves the same position.
void MakeSearchMove(const std::uint8_t* m, int captures, TBits& bits, const TRules& r) {
    if (captures == 0) {
        const int from = m[0], to = m[1];
        bits.Put(to, bits.At(from));
        bits.Put(from, 0);
        Promote(bits, to, r);
        return;
    }
    int prev = m[0];
    for (int k = 1; k <= captures; ++k) {
        const int c = m[2 * k - 1], l = m[2 * k];
        const std::int8_t piece = bits.At(prev);
        bits.Put(c, 0);
        bits.Put(prev, 0);
        bits.Put(l, piece);
        if (r.promoteOnTheWay || k == captures) Promote(bits, l, r);
        prev = l;
    }
}

bool OnBoard(const std::uint8_t* m, int captures, int squares) {
    const int used = 1 + (captures ? 2 * captures : 1);
    for (int i = 0; i < used; ++i)
        if (m[i] < 1 || m[i] > squares) return false;
    return true;
}

// Every node in use reaches the root through nodes in use, without a cycle.
bool ParentLinksSound(const TSearchTree& t) {
    std::array<std::uint8_t, NodeSlots> state; // 0 unknown, 1 on the current path, 2 sound
    std::fill_n(state.begin(), t.nodeCount + 1, 0);
    std::array<std::uint16_t, NodeSlots> path;
    for (int start = 1; start <= t.nodeCount; ++start) {
        if (t.free[start]) continue;
        int len = 0;
        int n = start;
        while (n != 0 && state[n] != 2) {
            if (t.free[n] || state[n] == 1) return false;
            state[n] = 1;
            path[len++] = static_cast<std::uint16_t>(n);
            n = t.parent[n];
        }
        for (int i = 0; i < len; ++i)
            state[path[i]] = 2;
    }
    return true;
}

// Child lists in node order, then each node's main-line child brought to the front by the same
// swaps the game tree uses.
void LinkChildren(TSearchTree& t) {
    const int count = t.nodeCount;
    std::array<std::uint16_t, NodeSlots + 1> fill;
    std::fill_n(t.childStart.begin(), count + 2, 0);
    for (int n = 1; n <= count; ++n)
        if (!t.free[n]) ++t.childStart[t.parent[n] + 1];
    for (int n = 1; n <= count + 1; ++n)
        t.childStart[n] += t.childStart[n - 1];
    std::copy_n(t.childStart.begin(), count + 1, fill.begin());
    for (int n = 1; n <= count; ++n)
        if (!t.free[n]) t.children[fill[t.parent[n]]++] = static_cast<std::uint16_t>(n);
    for (int n = 0; n <= count; ++n) {
        std::uint16_t* list = t.children.data() + t.childStart[n];
        const int size = t.childStart[n + 1] - t.childStart[n];
        for (int i = 1; i < size; ++i)
            if (t.mainLine[list[i]]) std::swap(list[0], list[i]);
    }
}

} // namespace

bool DecodeSearchTree(const std::uint8_t* block, std::size_t size, TGameType variant, int nodeCount,
                      TSearchTree& t) {
    if (!IsValidVariant(variant) || nodeCount < 0 || nodeCount > MaxNodes || size < 1) return false;
    const int squares = SquaresOf(variant);
    std::size_t pos = 0;
    auto have = [&](std::size_t n) { return n <= size - pos; };

    if (block[pos++] == 0) {
        KeyToPosition(StandardKeyOf(variant), t.start);
    } else {
        if (!have(17)) return false;
        TPositionKey key;
        std::copy_n(block + pos, 17, key.begin());
        pos += 17;
        if (!IsValidKey(key, squares)) return false;
        KeyToPosition(key, t.start);
    }
    t.nodeCount = nodeCount;
    for (int n = 1; n <= nodeCount; ++n) {
        if (!have(1)) return false;
        const std::uint8_t f = block[pos++];
        t.mainLine[n] = (f & 128) ? 1 : 0;
        t.free[n] = (f & 64) ? 1 : 0;
        if (f & 32) { // annotation word and two comments
            if (!have(4)) return false;
            const std::size_t before = block[pos + 2] << 8 | block[pos + 3];
            pos += 4;
            if (!have(before + 2)) return false;
            pos += before;
            const std::size_t after = block[pos] << 8 | block[pos + 1];
            pos += 2;
            if (!have(after)) return false;
            pos += after;
        }
        if (f & 16) {
            if (!have(1)) return false;
            t.parent[n] = block[pos++];
        } else {
            if (!have(2)) return false;
            t.parent[n] = static_cast<std::uint16_t>(block[pos] << 8 | block[pos + 1]);
            pos += 2;
        }
        int caps;
        if (f & 8) {
            caps = f & 7;
        } else {
            if (!have(1)) return false;
            caps = block[pos++];
        }
        if (caps > MaxCapturePairs || (!t.free[n] && t.parent[n] > nodeCount)) return false;
        const std::size_t used = 1 + (caps ? 2 * caps : 1);
        if (!have(used)) return false;
        t.captures[n] = static_cast<std::uint8_t>(caps);
        t.move[n] = block + pos;
        if (!t.free[n] && !OnBoard(block + pos, caps, squares)) return false;
        pos += used;
    }
    if (!ParentLinksSound(t)) return false;
    LinkChildren(t);
    return true;
}

void SearchTreeFromGame(const TGame& g, TSearchTree& t) {
    const TGameType variant = g.header.variant;
    const int squares = SquaresOf(variant);
    if (!KeyToPosition(g.startKey, t.start)) t.start = EmptyBoard;
    t.nodeCount = std::min<int>(g.header.nodeCount, MaxNodes);
    t.ownBytes.assign(std::size_t(t.nodeCount + 1) * (1 + 2 * MaxCapturePairs), 0);
    for (int n = 1; n <= t.nodeCount; ++n) {
        const TMove& m = g.nodes[n];
        std::uint8_t* bytes = t.ownBytes.data() + std::size_t(n) * (1 + 2 * MaxCapturePairs);
        t.mainLine[n] = m.mainLine;
        t.free[n] = m.free;
        t.parent[n] = m.parent;
        t.move[n] = bytes;
        const int caps = std::min<int>(m.captures, MaxCapturePairs);
        bytes[0] = m.from;
        std::copy_n(m.squares.begin(), caps ? 2 * caps : 1, bytes + 1);
        t.captures[n] = static_cast<std::uint8_t>(caps);
        // A move that does not fit the board is not made: a plain move from its target to itself
        // would empty the square, so it becomes a capture list of nothing.
        if (m.captures > MaxCapturePairs || !OnBoard(bytes, caps, squares)) t.captures[n] = 0xFF;
        // A parent outside the tree's slots hangs the node nowhere.
        if (!m.free && m.parent > t.nodeCount) t.free[n] = 1;
    }
    LinkChildren(t);
}

TPatternMasks PatternMasks(const TSearchPattern& pattern, int squares) {
    TPatternMasks m;
    for (int sq = 1; sq <= squares; ++sq) {
        const int v = pattern[sq];
        if (v == sqAny) continue;
        m.fixed |= std::uint64_t{1} << sq;
        // A value that no square can hold never matches: it fixes the square and wants no kind there
        // while also being unmatchable through an impossible wish.
        if (v < -2 || v > 2) {
            m.kinds = {~std::uint64_t{0}, ~std::uint64_t{0}, ~std::uint64_t{0}, ~std::uint64_t{0}};
            return m;
        }
        if (v != 0) m.kinds[KindOfValue[v + 2]] |= std::uint64_t{1} << sq;
    }
    return m;
}

TPositionQuery MakePositionQuery(const TSearchCriteria& c) {
    TPositionQuery q;
    q.squares = SearchSquareCount(c);
    q.pattern = PatternMasks(c.pattern, q.squares);
    q.reversed = PatternMasks(ReversedPattern(c.pattern, q.squares), q.squares);
    q.testPattern = {c.whiteMoves, c.blackMoves};
    q.testReversed = {c.reversed && c.blackMoves, c.reversed && c.whiteMoves};
    return q;
}

int WalkSearchTree(const TSearchTree& t, TGameType variant, int startSide, const TPositionQuery& q) {
    const TRules rules{SquaresOf(variant), SquaresPerRow(variant),
                       VariantTraits(variant).promoteDuringCapture};
    struct TFrame {
        TBits bits;
        std::uint16_t node;
        std::uint8_t side;
    };
    std::array<TFrame, NodeSlots> stack;
    int top = 0;
    stack[top++] = {BitsOf(t.start), 0, static_cast<std::uint8_t>(startSide)};
    int found = -1;
    while (top > 0) {
        const TFrame f = stack[--top];
        if ((q.testPattern[f.side] && f.bits.Matches(q.pattern)) ||
            (q.testReversed[f.side] && f.bits.Matches(q.reversed))) {
            found = f.node;
            continue;
        }
        // Pushed last to first, so the first child is walked first.
        for (int i = t.childStart[f.node + 1] - 1; i >= t.childStart[f.node]; --i) {
            const int child = t.children[i];
            TFrame& next = stack[top++];
            next.bits = f.bits;
            next.node = static_cast<std::uint16_t>(child);
            next.side = static_cast<std::uint8_t>(1 - f.side);
            if (t.captures[child] != 0xFF) MakeSearchMove(t.move[child], t.captures[child], next.bits, rules);
        }
    }
    return found;
}
