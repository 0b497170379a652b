#include "app/core/game_tree_layout.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
// Every character 6 pixels wide in every style.
class FixedMetrics : public TTextMetrics {
  public:
    int TextWidth(const std::string& text, std::uint8_t) const override {
        return 6 * static_cast<int>(text.size());
    }
};

// Internal square of an English square number (the numbering is its own inverse).
int Eng(int d) {
    return 4 * ((d - 1) / 4) + 4 - (d - 1) % 4;
}

class LayoutTest : public testing::Test {
  protected:
    void SetUp() override {
        game = std::make_unique<TGame>();
        InitGame(*game, gtEnglish);
    }
    // A plain move from English square a to b as a new node below `parent`.
    int Add(int parent, int a, int b, bool mainLine = true) {
        const int n = ++game->header.nodeCount;
        TMove& m = game->nodes[n];
        m = TMove{};
        m.from = static_cast<std::uint8_t>(Eng(a));
        m.squares[0] = static_cast<std::uint8_t>(Eng(b));
        m.parent = static_cast<std::uint16_t>(parent);
        m.mainLine = mainLine;
        return n;
    }
    void Build(int wrapLimit = 400) {
        layout.Build(*game, metrics, TNotationStyle{gtEnglish, false, "x"}, wrapLimit);
    }
    // "text@line:x/kind" for every item, joined by blanks.
    std::string Dump() const {
        std::string out;
        for (const TDisplayItem& i : layout.Items()) {
            if (!out.empty()) out += " ";
            out += i.text + "@" + std::to_string(i.line) + ":" + std::to_string(i.xStart) + "/" +
                   std::to_string(i.kind);
        }
        return out;
    }

    std::unique_ptr<TGame> game;
    FixedMetrics metrics;
    TGameTreeLayout layout;
};
} // namespace

TEST_F(LayoutTest, EmptyGameShowsOnlyTheResult) {
    Build();
    EXPECT_EQ(Dump(), " *@0:0/0");
    game->header.result = 4;
    Build();
    EXPECT_EQ(Dump(), " 1-0t@0:0/0");
}

TEST_F(LayoutTest, MainLineNumbersAndStartSide) {
    const int a = Add(0, 11, 15);
    const int b = Add(a, 23, 19);
    Add(b, 8, 11);
    Build();
    EXPECT_EQ(Dump(), "1.11-15@0:0/0 23-19@0:48/0 2.8-11@0:84/0  *@0:126/0");
    game->header.startSide = 1;
    Build();
    EXPECT_EQ(layout.Items()[0].text, "1...11-15");
    EXPECT_EQ(layout.Items()[1].text, "2.23-19");
}

TEST_F(LayoutTest, MainLineResumesNumberedAfterAVariationBlock) {
    const int a = Add(0, 11, 15);
    Add(0, 9, 13, false);
    Add(a, 23, 19);
    Build();
    EXPECT_EQ(Dump(), "1.11-15@0:0/0 [@1:15/1 1.9-13@1:27/1 ]@1:69/1 1...23-19@2:0/0  *@2:60/0");
}

TEST_F(LayoutTest, SimpleSideLineInsideAVariationIsInlineAndBranchingOneNests) {
    const int a = Add(0, 11, 15);
    const int v = Add(0, 9, 13, false); // variation block
    const int v2 = Add(v, 22, 18);
    const int side = Add(v, 23, 19, false); // side line without branches: inline
    Add(v2, 13, 22);
    Build(1000);
    EXPECT_EQ(Dump(),
              "1.11-15@0:0/0 [@1:15/1 1.9-13@1:27/1 22-18@1:69/1 (@1:105/2 1...23-19@1:117/2 )@1:177/2 "
              "2.13-22@1:189/1 ]@1:237/1  *@2:0/0");

    // Make the side line branch: it becomes a nested block 15 pixels further in.
    Add(side, 14, 17);
    Add(side, 15, 18, false);
    Build(1000);
    // The side line's own alternative has no branch, so it stays inline inside the nested block.
    EXPECT_EQ(
        Dump(),
        "1.11-15@0:0/0 [@1:15/1 1.9-13@1:27/1 22-18@1:69/1 [@2:30/1 1...23-19@2:42/1 "
        "2.14-17@2:102/1 (@2:150/2 2.15-18@2:162/2 )@2:210/2 ]@2:222/1 2.13-22@3:15/1 ]@3:63/1  *@4:0/0");
    EXPECT_EQ(layout.NodeAt(1, 0), a);
}

TEST_F(LayoutTest, MarksFollowTheMove) {
    const int a = Add(0, 11, 15);
    game->nodes[a].annotation = 0x61; // "!!" and " x"
    Build();
    EXPECT_EQ(layout.Items()[0].text, "1.11-15!! x");
}

TEST_F(LayoutTest, CommentsWrapAndLineBreaksBecomeBlanks) {
    const int a = Add(0, 11, 15);
    game->commentAfter[a] = "abc\r\ndefghijklmnop";
    // "1.11-15" ends at 42, x = 48; the wrap limit 120 leaves (120 - 48 - 1) / 6 = 11 characters.
    Build(120);
    EXPECT_EQ(Dump(), "1.11-15@0:0/0 abc  defghi@0:48/3 jklmnop@1:0/3  *@1:48/0");
}

TEST_F(LayoutTest, CommentBeforeAMoveComesFirst) {
    const int a = Add(0, 11, 15);
    game->commentBefore[a] = "hi";
    Build();
    EXPECT_EQ(Dump(), "hi@0:0/3 1.11-15@0:18/0  *@0:66/0");
}

TEST_F(LayoutTest, HitTestFindsMovesOnly) {
    const int a = Add(0, 11, 15);
    const int v = Add(0, 9, 13, false);
    const int b = Add(a, 23, 19);
    game->commentAfter[b] = "note";
    Build();
    // Line 0: 1.11-15 [0, 42]; line 1: "[" [15, 21], 1.9-13 [27, 63], "]"; line 2: 1...23-19, note, result.
    EXPECT_EQ(layout.NodeAt(0, 0), a);
    EXPECT_EQ(layout.NodeAt(42, 0), a);
    EXPECT_EQ(layout.NodeAt(45, 0), 0);
    EXPECT_EQ(layout.NodeAt(16, 1), 0) << "bracket";
    EXPECT_EQ(layout.NodeAt(30, 1), v);
    EXPECT_EQ(layout.NodeAt(10, 2), b);
    EXPECT_EQ(layout.NodeAt(64, 2), 0) << "comment";
    EXPECT_EQ(layout.NodeAt(100, 2), 0) << "result";
    EXPECT_EQ(layout.NodeAt(10, 7), 0) << "no such line";
}

TEST_F(LayoutTest, DeeplyNestedCommentStillTerminates) {
    // Forty nested variation blocks push the indent far past a narrow wrap limit.
    int node = Add(0, 11, 15);
    int alt = Add(0, 9, 13, false);
    for (int depth = 0; depth < 40; ++depth) {
        const int next = Add(alt, 22, 18);
        Add(alt, 23, 19, false);
        const int deeper = Add(alt, 24, 20, false); // two alternatives with a branch: a nested block
        Add(deeper, 10, 14);
        Add(deeper, 12, 16, false);
        alt = deeper;
        (void)next;
    }
    const std::string comment(500, 'c');
    game->commentAfter[alt] = comment;
    Build(60);
    std::size_t commentChars = 0;
    for (const TDisplayItem& i : layout.Items()) {
        if (i.kind == ikComment) {
            EXPECT_FALSE(i.text.empty());
            commentChars += i.text.size();
        }
    }
    EXPECT_EQ(commentChars, comment.size());
    (void)node;
}

TEST(GameHeader, TextsOfTheHeaderLines) {
    auto g = std::make_unique<TGame>();
    InitGame(*g, gtRussian);
    g->white = "W";
    g->black = "B";
    EXPECT_EQ(HeaderNames(*g), "W - B");
    struct Row {
        const char *tournament, *site, *annotator;
        int round, subround, day, month, year;
        const char* text;
    } rows[] = {
        {"T", "S", "A", 3, 0, 5, 3, 1999, "T, S [3], 05.03.1999 (A)"},
        {"T", "", "", 3, 2, 0, 0, 0, "T [3.2]"},
        {"", "", "", 0, 0, 5, 0, 1999, "1999"},
        {"T", "", "", 0, 0, 0, 11, 2005, "T, 11.2005"},
        {"", "", "", 0, 0, 0, 0, 45, "0045"},
        {"", "S", "", 0, 0, 0, 0, 0, ", S"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        g->tournament = r.tournament;
        g->site = r.site;
        g->annotator = r.annotator;
        g->header.round = static_cast<std::uint8_t>(r.round);
        g->header.subround = static_cast<std::uint8_t>(r.subround);
        g->header.day = static_cast<std::uint8_t>(r.day);
        g->header.month = static_cast<std::uint8_t>(r.month);
        g->header.year = static_cast<std::uint16_t>(r.year);
        EXPECT_EQ(HeaderTournament(*g), r.text);
    }
}

TEST(GameHeader, MoveNumbers) {
    auto g = std::make_unique<TGame>();
    InitGame(*g, gtRussian);
    struct Row {
        int startSide, offset, ply;
        bool flag;
        const char* text;
    } rows[] = {
        {0, 0, 1, false, "1."}, {0, 0, 2, false, ""},    {0, 0, 2, true, "1..."}, {0, 0, 5, false, "3."},
        {1, 0, 1, false, ""},   {1, 0, 1, true, "1..."}, {1, 0, 2, false, "2."},  {0, 2, 1, false, "2."},
    };
    for (const Row& r : rows) {
        g->header.startSide = static_cast<std::uint8_t>(r.startSide);
        g->header.moveNumberOffset = static_cast<std::uint8_t>(r.offset);
        EXPECT_EQ(MoveNumberText(*g, r.ply, r.flag), r.text) << r.ply << " " << r.flag;
    }
}

TEST_F(LayoutTest, HoldsMoreThan65500Items) {
    int node = 0;
    for (int i = 0; i < MaxNodes; ++i) {
        node = Add(node, 11, 15);
        game->commentAfter[node] = std::string(500, 'z');
    }
    Build(40); // a few characters per comment line
    ASSERT_GT(layout.Items().size(), 65'500u);
    EXPECT_EQ(layout.Items().back().text, " *");
    EXPECT_EQ(layout.NodeAt(layout.Items()[0].xStart, layout.Items()[0].line), 1);
}
