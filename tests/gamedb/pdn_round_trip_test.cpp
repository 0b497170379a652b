// Random annotated games of all seven variants, exported as PDN and imported back, come back equal
// as trees, except for what PDN does not carry: annotator, ratings, titles, countries, the node to
// show, position mark 6, the deleted mark, node numbers, a non-first move's comment before (which
// joins the previous move's comment after), and braces in comments (written as parentheses).
#include "gamedb/pdn_export.h"
#include "gamedb/pdn_import.h"
#include "tests/support/random_games.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using test_support::TRandom;

std::string Joined(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + " " + b;
}

std::string AsWritten(std::string text) {
    for (char& c : text)
        c = c == '{' ? '(' : c == '}' ? ')' : c == '\r' || c == '\n' ? ' ' : c;
    return text;
}

// The game as PDN gives it back: comments and marks where the reader puts them.
struct TCanonicalNode {
    TMove move;
    int annotation;
    std::string before, after;
    std::vector<TCanonicalNode> children;
};

TCanonicalNode Canonical(const TGame& g, int node, bool firstOfLine, bool expected) {
    TCanonicalNode c;
    c.move = g.nodes[node];
    c.annotation = g.nodes[node].annotation;
    if (expected && PositionMarkOf(c.annotation) == 6) c.annotation &= 0x0F;
    c.before = g.commentBefore[node];
    c.after = g.commentAfter[node];
    const TNodeList children = ListChildNodes(node, g);
    if (expected) {
        c.before = AsWritten(c.before);
        c.after = AsWritten(c.after);
        if (!firstOfLine) c.before.clear();
        if (!children.empty() && node != 0)
            c.after = Joined(c.after, AsWritten(g.commentBefore[children[0]]));
    }
    for (std::size_t i = 0; i < children.size(); ++i)
        c.children.push_back(Canonical(g, children[i], node == 0 || i > 0, expected));
    return c;
}

void ExpectSameTree(const TCanonicalNode& want, const TCanonicalNode& got, const std::string& path) {
    SCOPED_TRACE(path);
    ASSERT_TRUE(want.move.SameMove(got.move));
    EXPECT_EQ(want.annotation, got.annotation);
    EXPECT_EQ(want.before, got.before);
    EXPECT_EQ(want.after, got.after);
    ASSERT_EQ(want.children.size(), got.children.size());
    for (std::size_t i = 0; i < want.children.size(); ++i)
        ExpectSameTree(want.children[i], got.children[i], path + "/" + std::to_string(i));
}

void ExpectSameGame(const TGame& want, const TGame& got) {
    EXPECT_EQ(got.header.variant, want.header.variant);
    EXPECT_EQ(got.white, want.white);
    EXPECT_EQ(got.black, want.black);
    EXPECT_EQ(got.tournament, want.tournament);
    EXPECT_EQ(got.site, want.site);
    EXPECT_EQ(got.header.round, want.header.round);
    EXPECT_EQ(got.header.subround, want.header.subround);
    EXPECT_EQ(got.header.day, want.header.day);
    EXPECT_EQ(got.header.month, want.header.month);
    EXPECT_EQ(got.header.year, want.header.year);
    EXPECT_EQ(got.header.result, want.header.result);
    EXPECT_EQ(got.header.startSide, want.header.startSide);
    EXPECT_EQ(got.startKey, want.startKey);
    // The root's comments are never written.
    TCanonicalNode w = Canonical(want, 0, true, true), g = Canonical(got, 0, true, false);
    w.before = w.after = g.before = g.after = "";
    ExpectSameTree(w, g, "root");
}

} // namespace

TEST(PdnRoundTrip, RandomAnnotatedTreesOfEveryVariantComeBackEqual) {
    TRandom random(20);
    std::string file;
    std::vector<std::unique_ptr<TGame>> games;
    for (int i = 0; i < 700; ++i) {
        test_support::TRandomGameOptions options;
        options.variant = static_cast<TGameType>(1 + i % 7);
        options.moves = random.Between(0, 120);
        options.variationPercent = 25;
        options.setUpPercent = 35;
        auto g = test_support::RandomGame(random, options).game;
        // Braces and line breaks in some comments, which the export must not let through.
        for (int n = 1; n <= g->header.nodeCount; ++n)
            if (!g->commentAfter[n].empty() && random.Percent(20))
                g->commentAfter[n] += " {nested {x}} a\r\nb";
        file += PdnGameText(*g);
        games.push_back(std::move(g));
    }
    TPdnReader reader(file, gtRussian); // every game names its variant
    auto got = std::make_unique<TGame>();
    TPdnGameReport report;
    for (std::size_t i = 0; i < games.size(); ++i) {
        SCOPED_TRACE("game " + std::to_string(i + 1));
        ASSERT_TRUE(reader.Next(*got, report));
        EXPECT_TRUE(report.whole) << report.reason;
        ExpectSameGame(*games[i], *got);
        if (HasFailure()) break;
    }
    EXPECT_FALSE(reader.Next(*got, report));
}
