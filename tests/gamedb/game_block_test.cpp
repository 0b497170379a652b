// The game block bytes and the header flags, against byte sequences written out by hand.

#include "gamedb/game_block.h"
#include "gamedb/game_index_record.h"
#include "gamedb_test_util.h"

using namespace gamedb_test;

namespace {

TMove Plain(int from, int to, int parent, bool mainLine = true) {
    TMove m;
    m.from = static_cast<std::uint8_t>(from);
    m.squares[0] = static_cast<std::uint8_t>(to);
    m.parent = static_cast<std::uint16_t>(parent);
    m.mainLine = mainLine;
    return m;
}

// A capture of n pieces along made-up (but on-board) squares.
TMove Capture(int n, int parent) {
    TMove m;
    m.from = 1;
    m.captures = static_cast<std::uint8_t>(n);
    for (int i = 0; i < 2 * n; ++i)
        m.squares[i] = static_cast<std::uint8_t>(2 + i);
    m.parent = static_cast<std::uint16_t>(parent);
    m.mainLine = 1;
    return m;
}

Bytes Encode(const TGame& g) {
    TMoveBytes mb;
    EncodeGameMoves(g, mb);
    return mb.bytes;
}

TDecodeResult Decode(const Bytes& b, TGame& g) {
    TMoveBytes mb;
    for (std::uint8_t x : b)
        AppendMoveByte(mb, x);
    return DecodeGameMoves(mb, g);
}

struct TBlockCase {
    const char* name;
    std::function<void(TGame&)> build;
    Bytes expected;
};

} // namespace

TEST(GameBlock, BytesFollowTheLayout) {
    const std::string c300(300, 'c');
    const TBlockCase cases[] = {
        {"no moves, standard start", [](TGame&) {}, {0}},
        {"one plain move",
         [](TGame& g) {
             g.nodes[1] = Plain(9, 13, 0);
             g.header.nodeCount = 1;
         },
         {0, 128 + 16 + 8, 0, 9, 13}},
        {"variation without main-line flag",
         [](TGame& g) {
             g.nodes[1] = Plain(9, 13, 0, false);
             g.header.nodeCount = 1;
         },
         {0, 16 + 8, 0, 9, 13}},
        {"seven captures: count in the flag byte",
         [](TGame& g) {
             g.nodes[1] = Capture(7, 0);
             g.header.nodeCount = 1;
         },
         {0, 128 + 16 + 8 + 7, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"eight captures: a count byte follows the parent",
         [](TGame& g) {
             g.nodes[1] = Capture(8, 0);
             g.header.nodeCount = 1;
         },
         {0, 128 + 16, 0, 8, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}},
        {"free slot",
         [](TGame& g) {
             g.nodes[1] = Plain(9, 13, 0);
             g.nodes[1].free = 1;
             g.header.nodeCount = 1;
         },
         {0, 128 + 64 + 16 + 8, 0, 9, 13}},
        {"mark and comments, lengths high byte first",
         [](TGame& g) {
             g.nodes[1] = Plain(9, 13, 0);
             g.nodes[1].annotation = 0x0125;
             g.commentBefore[1] = "ab";
             g.header.nodeCount = 1;
         },
         {0, 128 + 32 + 16 + 8, 0x01, 0x25, 0, 2, 'a', 'b', 0, 0, 0, 9, 13}},
        {"set-up start: byte 1 and the key",
         [](TGame& g) {
             TBoard b;
             b[10] = 1;  // key byte 3 holds squares 10..12: 3 + 5*2 + 25*2
             b[14] = -1; // key byte 4 holds squares 13..15: 2 + 5*1 + 25*2
             PositionToKey(b, g.startKey);
         },
         {1, 62, 62, 62, 63, 57, 62, 62, 62, 62, 62, 62, 62, 62, 62, 62, 62, 62}},
        {"international standard start is byte 0",
         [](TGame& g) {
             g.header.variant = gtInternational;
             PositionToKey(StartPosition100, g.startKey);
         },
         {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto g = NewGame(gtRussian);
        c.build(*g);
        EXPECT_EQ(Encode(*g), c.expected);
        auto back = NewGame(gtRussian);
        back->header = g->header;
        ASSERT_EQ(Decode(c.expected, *back), TDecodeResult::Ok);
        EXPECT_EQ(Encode(*back), c.expected);
    }
    // A comment of 300 characters: length 0x012C.
    auto g = NewGame(gtRussian);
    g->nodes[1] = Plain(9, 13, 0);
    g->commentAfter[1] = c300;
    g->header.nodeCount = 1;
    const Bytes b = Encode(*g);
    ASSERT_EQ(b.size(), 1u + 1 + 2 + 2 + 2 + 300 + 1 + 2);
    EXPECT_EQ(b[6], 0x01);
    EXPECT_EQ(b[7], 0x2C);
}

TEST(GameBlock, ParentAbove255TakesTwoBytes) {
    // A chain of 257 moves: node k hangs below node k - 1.
    auto g = NewGame(gtInternational);
    for (int k = 1; k <= 257; ++k)
        g->nodes[k] = Plain(1 + k % 50, 1 + (k + 7) % 50, k - 1);
    g->header.nodeCount = 257;
    const Bytes b = Encode(*g);
    // Nodes 1..256 take 4 bytes each (parents 0..255 in one byte).
    ASSERT_EQ(b.size(), 1u + 256 * 4 + 5);
    EXPECT_EQ(Bytes(b.begin() + 1 + 255 * 4, b.begin() + 1 + 256 * 4),
              (Bytes{128 + 16 + 8, 255, std::uint8_t(1 + 256 % 50), std::uint8_t(1 + 263 % 50)}));
    EXPECT_EQ(Bytes(b.begin() + 1 + 256 * 4, b.end()),
              (Bytes{128 + 8, 0x01, 0x00, std::uint8_t(1 + 257 % 50), std::uint8_t(1 + 264 % 50)}));
    auto back = NewGame(gtInternational);
    back->header = g->header;
    ASSERT_EQ(Decode(b, *back), TDecodeResult::Ok);
    EXPECT_EQ(back->nodes[257].parent, 256);
    EXPECT_EQ(back->nodes[256].parent, 255);
}

TEST(GameBlock, LongCommentIsCutTo65535) {
    auto g = NewGame(gtRussian);
    g->nodes[1] = Plain(9, 13, 0);
    g->commentBefore[1] = std::string(70000, 'x');
    g->commentAfter[1] = "after";
    g->header.nodeCount = 1;
    const Bytes b = Encode(*g);
    EXPECT_EQ(b[4], 0xFF);
    EXPECT_EQ(b[5], 0xFF);
    auto back = NewGame(gtRussian);
    back->header = g->header;
    ASSERT_EQ(Decode(b, *back), TDecodeResult::Ok);
    EXPECT_EQ(back->commentBefore[1], std::string(65535, 'x'));
    EXPECT_EQ(back->commentAfter[1], "after");
    EXPECT_EQ(back->nodes[1].To(), 13);
}

TEST(GameBlock, HeaderFlags) {
    struct TCase {
        const char* name;
        std::function<void(TGame&)> build;
        std::uint8_t flags;
    };
    // Six plain moves on the main line; cases add comments, variations and start positions.
    auto comments = [](int items, int chars) {
        return [=](TGame& g) {
            for (int i = 1; i <= items; ++i)
                g.commentAfter[i] = std::string(i == 1 ? chars - (items - 1) : 1, 'c');
        };
    };
    const TCase cases[] = {
        {"plain game", [](TGame&) {}, 0},
        {"5 items, 300 characters", comments(5, 300), gfFewComments},
        {"5 items, 301 characters", comments(5, 301), gfManyComments},
        {"6 items", comments(6, 6), gfManyComments},
        {"a mark is an item", [](TGame& g) { g.nodes[2].annotation = 0x10; }, gfFewComments},
        {"comments of free slots do not count",
         [](TGame& g) {
             g.nodes[7] = Plain(9, 13, 0, false);
             g.nodes[7].free = 1;
             g.commentAfter[7] = std::string(400, 'c');
             g.header.nodeCount = 7;
         },
         0},
        {"5 variation starts",
         [](TGame& g) {
             for (int i = 2; i <= 6; ++i)
                 g.nodes[i].mainLine = 0;
         },
         gfFewVariations},
        {"6 variation starts",
         [](TGame& g) {
             for (int i = 1; i <= 6; ++i)
                 g.nodes[i].mainLine = 0;
         },
         gfManyVariations},
        {"set-up with 12 pieces each",
         [](TGame& g) {
             TBoard b = StartPosition64;
             std::swap(b[12], b[13]);
             PositionToKey(b, g.startKey);
         },
         gfFullSetUp},
        {"set-up with a king counted as a piece",
         [](TGame& g) {
             TBoard b = StartPosition64;
             b[1] = 2;
             PositionToKey(b, g.startKey);
         },
         gfFullSetUp},
        {"set-up with fewer pieces",
         [](TGame& g) {
             TBoard b = StartPosition64;
             b[1] = 0;
             PositionToKey(b, g.startKey);
         },
         gfOtherSetUp},
        {"deleted mark kept, others recomputed", [](TGame& g) { g.header.flags = 0xFF; }, gfDeleted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto g = NewGame(gtRussian);
        for (int i = 1; i <= 6; ++i)
            g->nodes[i] = Plain(9, 13, i - 1);
        g->header.nodeCount = 6;
        c.build(*g);
        EXPECT_EQ(ComputeGameFlags(*g), c.flags);
    }
    // 10x10: a full set is 20 a side.
    auto g = NewGame(gtInternational);
    TBoard b = StartPosition100;
    std::swap(b[20], b[21]);
    PositionToKey(b, g->startKey);
    EXPECT_EQ(ComputeGameFlags(*g), gfFullSetUp);
}

namespace {
// Node 1: 9-13 main line; node 2: 21-17 below node 1; node 3: variation at the root with a mark.
const Bytes SoundBlock = {0, 152, 0, 9, 13, 152, 1, 21, 17, 56, 0, 0x12, 0, 0, 0, 1, 'x', 0, 10, 14};
} // namespace

TEST(GameBlock, DamagedBlocksAreRejected) {
    struct TCase {
        const char* name;
        std::function<void(Bytes&, TGameIndexRecord&)> damage;
    };
    const TCase cases[] = {
        {"square 0", [](Bytes& b, TGameIndexRecord&) { b[3] = 0; }},
        {"square 33 on 8x8", [](Bytes& b, TGameIndexRecord&) { b[4] = 33; }},
        {"parent past the node count", [](Bytes& b, TGameIndexRecord&) { b[6] = 4; }},
        {"parent cycle 1 -> 2 -> 1", [](Bytes& b, TGameIndexRecord&) { b[2] = 2; }},
        {"self parent", [](Bytes& b, TGameIndexRecord&) { b[2] = 1; }},
        {"move in use below a free slot", [](Bytes& b, TGameIndexRecord&) { b[1] |= 64; }},
        {"21 captures",
         [](Bytes& b, TGameIndexRecord&) {
             b[1] = 128 + 16; // no count in the flag byte
             b.insert(b.begin() + 3, 21);
         }},
        {"key byte 125",
         [](Bytes& b, TGameIndexRecord&) {
             b[0] = 1;
             Bytes key(17, 62);
             key[5] = 125;
             b.insert(b.begin() + 1, key.begin(), key.end());
         }},
        {"8x8 key with a piece on square 40",
         [](Bytes& b, TGameIndexRecord&) {
             b[0] = 1;
             Bytes key(17, 62);
             key[13] = 63; // squares 40..42, the first a man
             b.insert(b.begin() + 1, key.begin(), key.end());
         }},
        {"comment longer than the block", [](Bytes& b, TGameIndexRecord&) { b[14] = 0x40; }},
        {"node count above 1024", [](Bytes&, TGameIndexRecord& h) { h.nodeCount = 1025; }},
        {"variant 0", [](Bytes&, TGameIndexRecord& h) { h.variant = 0; }},
        {"more nodes than the block holds", [](Bytes&, TGameIndexRecord& h) { h.nodeCount = 4; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = SoundBlock;
        auto g = NewGame(gtRussian);
        g->header.nodeCount = 3;
        c.damage(b, g->header);
        EXPECT_EQ(Decode(b, *g), TDecodeResult::Damaged);
        EXPECT_EQ(g->header.nodeCount, 0);
        EXPECT_TRUE(ListChildNodes(0, *g).empty());
    }
    // Every cut of a sound block is damaged.
    for (std::size_t n = 0; n < SoundBlock.size(); ++n) {
        SCOPED_TRACE(n);
        auto g = NewGame(gtRussian);
        g->header.nodeCount = 3;
        EXPECT_EQ(Decode(Bytes(SoundBlock.begin(), SoundBlock.begin() + static_cast<std::ptrdiff_t>(n)), *g),
                  TDecodeResult::Damaged);
    }
}

TEST(GameBlock, FreeSlotsMayHoldStaleLinks) {
    // Node 2 is free and still names a parent beyond the count and squares off the board.
    const Bytes b = {0, 152, 0, 9, 13, 64 + 8, 0x03, 0xE8, 0, 0};
    auto g = NewGame(gtRussian);
    g->header.nodeCount = 2;
    ASSERT_EQ(Decode(b, *g), TDecodeResult::Ok);
    EXPECT_EQ(g->nodes[2].parent, 1000);
    EXPECT_EQ(Encode(*g), b);
}

TEST(GameBlock, FuzzedBlocksNeverCrash) {
    TRandom rng(6);
    int sound = 0;
    for (int iter = 0; iter < 400; ++iter) {
        const TGameType variant = static_cast<TGameType>(1 + iter % 7);
        TRandomTree t = MakeRandomTree(rng, variant, 30);
        Bytes b = Encode(*t.game);
        const int flips = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < flips; ++i) {
            switch (rng() % 3) {
            case 0:
                b[rng() % b.size()] = static_cast<std::uint8_t>(rng());
                break;
            case 1:
                b.resize(rng() % (b.size() + 1));
                break;
            default:
                b.insert(b.begin() + static_cast<std::ptrdiff_t>(rng() % (b.size() + 1)),
                         std::uint8_t(rng()));
            }
            if (b.empty()) break;
        }
        auto g = NewGame(variant);
        g->header = t.game->header;
        if (Decode(b, *g) == TDecodeResult::Ok) {
            ++sound;
            // Whatever was accepted is a tree every caller can walk from the root. (Slots in use
            // below a free slot are kept as stored; no walk reaches them.)
            TBoard board;
            std::vector<int> todo{0};
            std::vector<bool> seen(NodeSlots, false);
            while (!todo.empty()) {
                const int n = todo.back();
                todo.pop_back();
                ASSERT_FALSE(seen[n]);
                seen[n] = true;
                EXPECT_TRUE(PositionAtNode(n, *g, board)) << n;
                for (int c : ListChildNodes(n, *g))
                    todo.push_back(c);
            }
            MainLineLength(*g);
        }
    }
    for (int iter = 0; iter < 300; ++iter) {
        Bytes b(rng() % 200);
        for (auto& x : b)
            x = static_cast<std::uint8_t>(rng());
        auto g = NewGame(gtRussian);
        g->header.nodeCount = static_cast<std::uint16_t>(rng() % 40);
        Decode(b, *g);
    }
    EXPECT_GT(sound, 0); // some mutations keep the block sound (a changed comment byte)
}
