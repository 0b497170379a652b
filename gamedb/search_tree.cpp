#include "gamedb/search_tree.h"

#include "gamedb/game_block.h"
#include "gamedb/search_pattern.h"

#include <algorithm>
#include <bit>

namespace {

// Piece kinds as bit-board indices: value + 2 -> kind, -1 for an empty square.
constexpr int KindOfValue[5] = {3, 2, -1, 0, 1};

// Left uninitialised by default: the walk's stack of them is not cleared for every game.
struct TBits {
    std::array<std::uint64_t, 4> kinds;

    // The kind on a square, -1 when it is empty.
    int KindAt(int sq) const {
        return int((kinds[0] >> sq) & 1) + 2 * int((kinds[1] >> sq) & 1) + 3 * int((kinds[2] >> sq) & 1) +
               4 * int((kinds[3] >> sq) & 1) - 1;
    }
    void Clear(std::uint64_t mask) {
        for (std::uint64_t& k : kinds)
            k &= ~mask;
    }
    bool Matches(const TPatternMasks& m) const {
        return ((kinds[0] & m.fixed) ^ m.kinds[0]) == 0 && ((kinds[1] & m.fixed) ^ m.kinds[1]) == 0 &&
               ((kinds[2] & m.fixed) ^ m.kinds[2]) == 0 && ((kinds[3] & m.fixed) ^ m.kinds[3]) == 0;
    }
};

TBits BitsOf(const TBoard& b) {
    TBits bits{};
    for (int sq = 1; sq <= MaxSquares; ++sq)
        if (b[sq] >= -2 && b[sq] <= 2 && b[sq] != 0)
            bits.kinds[KindOfValue[b[sq] + 2]] |= std::uint64_t{1} << sq;
    return bits;
}

struct TRules {
    std::uint64_t crown0, crown1; // the rows where men of side 0 and side 1 are crowned
    bool promoteOnTheWay;
};

constexpr std::uint64_t Bit(int sq) {
    return std::uint64_t{1} << sq;
}

// Puts a piece of `kind` (or nothing, -1) on a square already cleared, crowning a man on its far row
// when `crown` is set.
inline void Place(TBits& bits, int sq, int kind, bool crown, const TRules& r) {
    if (kind < 0) return;
    const std::uint64_t bit = Bit(sq);
    if (crown && kind == 0 && (bit & r.crown0)) kind = 1;
    if (crown && kind == 2 && (bit & r.crown1)) kind = 3;
    bits.kinds[kind] |= bit;
}

// The same steps as making a stored node on a board, in the same order, so even a move that is not
// legal (a stored game is not checked for legality) leaves the same position.
inline void MakeSearchMove(const std::uint8_t* m, int captures, TBits& bits, const TRules& r) {
    if (captures == 0) {
        const int from = m[0], to = m[1];
        const int kind = bits.KindAt(from);
        bits.Clear(Bit(from) | Bit(to));
        if (from != to) Place(bits, to, kind, true, r); // onto itself, the piece is lifted and gone
        return;
    }
    int prev = m[0];
    for (int k = 1; k <= captures; ++k) {
        const int c = m[2 * k - 1], l = m[2 * k];
        const int kind = bits.KindAt(prev);
        bits.Clear(Bit(c) | Bit(prev) | Bit(l));
        Place(bits, l, kind, r.promoteOnTheWay || k == captures, r);
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
        // The common case: the parent was written before its child and is already known sound.
        const int p = t.parent[start];
        if (p == 0 || (p < start && state[p] == 2)) {
            state[start] = 2;
            continue;
        }
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
        t.start = VariantTraits(variant).boardSize == 10 ? StartPosition100 : StartPosition64;
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
    const int squares = SquaresOf(variant), perRow = SquaresPerRow(variant);
    TRules rules{0, 0, VariantTraits(variant).promoteDuringCapture};
    for (int sq = 1; sq <= perRow; ++sq) {
        rules.crown1 |= Bit(sq);
        rules.crown0 |= Bit(squares + 1 - sq);
    }
    // The walk goes down the first child in place; the other children wait on the stack with the
    // board of their parent.
    struct TFrame {
        TBits parentBits;
        std::uint16_t node;
        std::uint8_t side;
    };
    std::array<TFrame, NodeSlots> stack;
    int top = 0;
    TBits bits = BitsOf(t.start);
    int node = 0, side = startSide;
    int found = -1;
    auto make = [&](int child) {
        if (t.captures[child] != 0xFF) MakeSearchMove(t.move[child], t.captures[child], bits, rules);
    };
    for (;;) {
        if ((q.testPattern[side] && bits.Matches(q.pattern)) ||
            (q.testReversed[side] && bits.Matches(q.reversed))) {
            found = node;
        } else if (const int first = t.childStart[node], end = t.childStart[node + 1]; first < end) {
            for (int i = end - 1; i > first; --i)
                stack[top++] = {bits, t.children[i], static_cast<std::uint8_t>(1 - side)};
            node = t.children[first];
            side = 1 - side;
            make(node);
            continue;
        }
        if (top == 0) break;
        const TFrame& f = stack[--top];
        bits = f.parentBits;
        node = f.node;
        side = f.side;
        make(node);
    }
    return found;
}
