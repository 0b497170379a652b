// How a PDN file splits into games where a game's result and the next game's first tag share a line.
#include "gamedb/game_index_record.h"
#include "gamedb/pdn_reader.h"
#include "tests/gamedb/pdn_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using pdn_test::MainLine;
using pdn_test::ReadAll;

namespace {

struct TGameWant {
    const char* event;
    const char* mainLine;
    int result;
};

void ExpectGames(const std::string& text, const std::vector<TGameWant>& want) {
    SCOPED_TRACE(text);
    const auto games = ReadAll(text);
    ASSERT_EQ(games.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const TGame& g = *games[i].game;
        EXPECT_TRUE(games[i].report.whole) << games[i].report.reason;
        EXPECT_FALSE(g.header.flags & gfDeleted);
        EXPECT_EQ(g.tournament, want[i].event);
        EXPECT_EQ(MainLine(g), want[i].mainLine);
        EXPECT_EQ(g.header.result, want[i].result);
    }
}

} // namespace

// A result token followed at once by "[" ends its game there, and the tag begins the next game,
// as one published file writes "25. 25-30 14-9 0-1[Event "TTS Game 48"]".
TEST(PdnReader, AResultGluedToATagEndsTheGameAndTheTagBeginsTheNext) {
    const std::string english = "[Event \"TTS Game 47\"]\n[White \"A\"]\n[Black \"B\"]\n[GameType \"21\"]\n\n"
                                "1. 11-15 22-18 2. 15x22 25x18 0-1[Event \"TTS Game 48\"]\n"
                                "[White \"C\"]\n[Black \"D\"]\n[Result \"1-0\"]\n[GameType \"21\"]\n\n"
                                "1. 9-14 22-17 *\n";
    const auto games = ReadAll(english);
    ASSERT_EQ(games.size(), 2u);
    const TGame& first = *games[0].game;
    const TGame& second = *games[1].game;
    EXPECT_TRUE(games[0].report.whole) << games[0].report.reason;
    EXPECT_TRUE(games[1].report.whole) << games[1].report.reason;
    EXPECT_EQ(first.tournament, "TTS Game 47");
    EXPECT_EQ(MainLine(first), "11-15 22-18 15x22 25x18");
    EXPECT_EQ(first.header.result, grBlackWins);
    // The second game keeps every tag: Black moves first in English, so it is side 0 ("White" field).
    EXPECT_EQ(second.tournament, "TTS Game 48");
    EXPECT_EQ(second.white, "D");
    EXPECT_EQ(second.black, "C");
    EXPECT_EQ(second.header.result, grWhiteWins);
    EXPECT_EQ(second.header.variant, gtEnglish);
    EXPECT_EQ(MainLine(second), "09-14 22-17");

    // Every result token; a blank before the tag; tags on the line of the move text; several tags
    // and move text after the glued tag; loose move text before the first tag.
    ExpectGames("[Event \"A\"]\n\nc3-d4 1-0[Event \"B\"]\n\nc3-b4 *\n",
                {{"A", "c3-d4", grWhiteWins}, {"B", "c3-b4", grNone}});
    ExpectGames(
        "[Event \"A\"]\n\nc3-d4 *[Event \"B\"]\n\nc3-b4 1/2-1/2[Event \"C\"]\n\ne3-f4 0-1t[Event \"D\"]\n",
        {{"A", "c3-d4", grNone}, {"B", "c3-b4", grDraw}, {"C", "e3-f4", grBlackOnTime}, {"D", "", grNone}});
    ExpectGames("[Event \"A\"]\n\nc3-d4 2-0 [Event \"B\"]\n\nc3-b4 0:1\t[Event \"C\"]\n",
                {{"A", "c3-d4", grWhiteWins}, {"B", "c3-b4", grBlackWins}, {"C", "", grNone}});
    ExpectGames("[Event \"A\"] c3-d4 1-0[Event \"B\"][Site \"S\"] c3-b4 f6-e5 *\n",
                {{"A", "c3-d4", grWhiteWins}, {"B", "c3-b4 f6-e5", grNone}});
    ExpectGames("c3-d4 1-0[Event \"B\"]\n\nc3-b4 *\n", {{"", "c3-d4", grWhiteWins}, {"B", "c3-b4", grNone}});
    // Inside a comment the text is the comment's.
    ExpectGames("[Event \"A\"]\n\nc3-d4 {1-0[Event \"B\"]} f6-e5 *\n", {{"A", "c3-d4 f6-e5", grNone}});
}

// The same in a file: four games, every tag kept.
TEST(PdnReader, AFileOfGluedResultsLosesNoGameAndNoTag) {
    const auto games = ReadAll(pdn_test::Fixture("glued_results.pdn"));
    const struct {
        const char *event, *white, *black; // White and Black as the tags name them
        const char* mainLine;
        int result;
    } want[] = {
        {"TTS Game 47", "A", "B", "11-15 22-18 15x22 25x18 08-11 29-25", grBlackWins},
        {"TTS Game 48", "C", "D", "09-14 22-17 11-15", grWhiteWins},
        {"TTS Game 49", "E", "F", "10-14 24-20", grDraw},
        {"TTS Game 50", "G", "H", "11-16", grNone},
    };
    ASSERT_EQ(games.size(), std::size(want));
    for (std::size_t i = 0; i < games.size(); ++i) {
        SCOPED_TRACE(want[i].event);
        const TGame& g = *games[i].game;
        EXPECT_TRUE(games[i].report.whole) << games[i].report.reason;
        EXPECT_EQ(g.tournament, want[i].event);
        // English: the White tag names side 1, kept in the game's Black field.
        EXPECT_EQ(g.black, want[i].white);
        EXPECT_EQ(g.white, want[i].black);
        EXPECT_EQ(g.header.variant, gtEnglish);
        EXPECT_EQ(MainLine(g), want[i].mainLine);
        EXPECT_EQ(g.header.result, want[i].result);
    }
}
