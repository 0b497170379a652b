#include "gamedb/game_block.h"

#include "gamedb/game_index_record.h"
#include "platform/byte_codec.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

TPositionKey KeyOf(const TBoard& b) {
    TPositionKey k;
    PositionToKey(b, k);
    return k;
}

void AppendComment(std::vector<std::uint8_t>& out, const std::string& c) {
    const std::size_t n = std::min(c.size(), MaxCommentLength);
    AppendBe16(out, static_cast<std::uint16_t>(n));
    out.insert(out.end(), c.begin(), c.begin() + static_cast<std::ptrdiff_t>(n));
}

bool HasCommentItem(const TGame& g, int n) {
    return g.nodes[n].annotation != 0 || !g.commentBefore[n].empty() || !g.commentAfter[n].empty();
}

void ClearTree(TGame& g) {
    g.header.nodeCount = 0;
    for (int n = 1; n < NodeSlots; ++n) {
        g.nodes[n] = TMove{};
        ClearNode(g, n);
    }
    g.nodes[0].free = 0;
}

bool SquaresOnBoard(const TMove& m, int squares) {
    auto on = [&](int s) { return s >= 1 && s <= squares; };
    if (!on(m.from)) return false;
    const int used = m.captures ? 2 * m.captures : 1;
    for (int i = 0; i < used; ++i)
        if (!on(m.squares[i])) return false;
    return true;
}

// Every node in use reaches the root through nodes in use among 1..count, without a cycle. A move
// hanging from a free slot would become the child of whatever move reuses that slot.
bool ParentLinksSound(const TGame& g) {
    const int count = g.header.nodeCount;
    std::vector<std::uint8_t> state(count + 1, 0); // 0 unknown, 1 on the current path, 2 sound
    std::vector<int> path;
    for (int start = 1; start <= count; ++start) {
        if (g.nodes[start].free) continue;
        path.clear();
        int n = start;
        while (n != 0 && state[n] != 2) {
            if (g.nodes[n].free) return false;
            if (state[n] == 1) return false; // a cycle
            state[n] = 1;
            path.push_back(n);
            n = g.nodes[n].parent;
        }
        for (int p : path)
            state[p] = 2;
    }
    return true;
}

} // namespace

const TPositionKey& StandardKey64() {
    static const TPositionKey k = KeyOf(StartPosition64);
    return k;
}

const TPositionKey& StandardKey100() {
    static const TPositionKey k = KeyOf(StartPosition100);
    return k;
}

const TPositionKey& StandardKeyOf(TGameType variant) {
    return VariantTraits(variant).boardSize == 10 ? StandardKey100() : StandardKey64();
}

bool CheckGameForStore(const TGame& g) {
    const TGameType variant = g.header.variant;
    const int count = g.header.nodeCount;
    if (!IsValidVariant(variant) || count > MaxNodes) return false;
    // The same checks DecodeGameMoves makes: a game it would call damaged is never written.
    const int squares = SquaresOf(variant);
    if (g.startKey != StandardKeyOf(variant) && !IsValidKey(g.startKey, squares)) return false;
    for (int n = 1; n <= count; ++n) {
        const TMove& m = g.nodes[n];
        if (m.captures > MaxCapturePairs) return false;
        if (!m.free && (m.parent > count || !SquaresOnBoard(m, squares))) return false;
    }
    return ParentLinksSound(g);
}

void EncodeGameMoves(const TGame& g, TMoveBytes& mb) {
    std::vector<std::uint8_t>& out = mb.bytes;
    if (g.startKey == StandardKeyOf(g.header.variant)) {
        Append8(out, 0);
    } else {
        Append8(out, 1);
        out.insert(out.end(), g.startKey.begin(), g.startKey.end());
    }
    const int count = std::min<int>(g.header.nodeCount, MaxNodes);
    for (int n = 1; n <= count; ++n) {
        const TMove& m = g.nodes[n];
        const int caps = std::min<int>(m.captures, MaxCapturePairs);
        const bool comment = HasCommentItem(g, n);
        std::uint8_t f = 0;
        if (m.mainLine) f |= 128;
        if (m.free) f |= 64;
        if (comment) f |= 32;
        if (m.parent < 256) f |= 16;
        if (caps < 8) f |= static_cast<std::uint8_t>(8 + caps);
        Append8(out, f);
        if (comment) {
            AppendBe16(out, m.annotation);
            AppendComment(out, g.commentBefore[n]);
            AppendComment(out, g.commentAfter[n]);
        }
        if (m.parent < 256)
            Append8(out, static_cast<std::uint8_t>(m.parent));
        else
            AppendBe16(out, m.parent);
        if (caps >= 8) Append8(out, static_cast<std::uint8_t>(caps));
        Append8(out, m.from);
        const int used = caps ? 2 * caps : 1;
        out.insert(out.end(), m.squares.begin(), m.squares.begin() + used);
    }
}

TDecodeResult DecodeGameMoves(TMoveBytes& mb, TGame& g) {
    const std::size_t start = std::min(mb.pos, mb.bytes.size());
    TByteReader in(mb.bytes.data() + start, mb.bytes.size() - start);
    const TGameType variant = g.header.variant;
    const int count = g.header.nodeCount;
    auto damaged = [&] {
        ClearTree(g);
        return TDecodeResult::Damaged;
    };
    if (!IsValidVariant(variant) || count > MaxNodes) return damaged();
    const int squares = SquaresOf(variant);

    if (in.U8() == 0) {
        g.startKey = StandardKeyOf(variant);
    } else {
        if (!in.Bytes(g.startKey.data(), g.startKey.size()) || !IsValidKey(g.startKey, squares))
            return damaged();
    }
    for (int n = 1; n <= count && in.Ok(); ++n) {
        TMove& m = g.nodes[n];
        m = TMove{};
        const std::uint8_t f = in.U8();
        m.mainLine = (f & 128) ? 1 : 0;
        m.free = (f & 64) ? 1 : 0;
        g.commentBefore[n].clear();
        g.commentAfter[n].clear();
        if (f & 32) {
            m.annotation = in.Be16();
            g.commentBefore[n] = in.Text(in.Be16());
            g.commentAfter[n] = in.Text(in.Be16());
        }
        m.parent = (f & 16) ? in.U8() : in.Be16();
        const int caps = (f & 8) ? (f & 7) : in.U8();
        // A free slot may keep a stale parent; a move in use must hang below a slot of this game.
        if (caps > MaxCapturePairs || (!m.free && m.parent > count)) return damaged();
        m.captures = static_cast<std::uint8_t>(caps);
        m.from = in.U8();
        in.Bytes(m.squares.data(), caps ? 2 * caps : 1);
        // Free slots keep whatever they held; only moves in use must lie on the board.
        if (in.Ok() && !m.free && !SquaresOnBoard(m, squares)) return damaged();
    }
    if (in.Failed() || !ParentLinksSound(g)) return damaged();
    mb.pos = start + in.Position();
    for (int n = count + 1; n < NodeSlots; ++n) {
        g.nodes[n] = TMove{};
        ClearNode(g, n);
    }
    g.nodes[0].free = 0;
    return TDecodeResult::Ok;
}

std::uint8_t ComputeGameFlags(const TGame& g) {
    std::uint8_t flags = g.header.flags & gfDeleted;
    const TGameType variant = g.header.variant;
    if (g.startKey != StandardKeyOf(variant)) {
        TBoard b;
        KeyToPosition(g.startKey, b);
        TPieceCount pc;
        CountPieces(b, pc);
        const int full = VariantTraits(variant).piecesPerSide;
        flags |= (pc.pieces0 == full && pc.pieces1 == full) ? gfFullSetUp : gfOtherSetUp;
    }
    int items = 0, variations = 0;
    std::size_t chars = 0;
    const int count = std::min<int>(g.header.nodeCount, MaxNodes);
    for (int n = 1; n <= count; ++n) {
        if (g.nodes[n].free) continue;
        items += g.nodes[n].annotation != 0;
        items += !g.commentBefore[n].empty();
        items += !g.commentAfter[n].empty();
        chars += std::min(g.commentBefore[n].size(), MaxCommentLength);
        chars += std::min(g.commentAfter[n].size(), MaxCommentLength);
        variations += g.nodes[n].mainLine == 0;
    }
    if (items > 5 || chars >= 301)
        flags |= gfManyComments;
    else if (items > 0)
        flags |= gfFewComments;
    if (variations > 5)
        flags |= gfManyVariations;
    else if (variations > 0)
        flags |= gfFewVariations;
    return flags;
}
