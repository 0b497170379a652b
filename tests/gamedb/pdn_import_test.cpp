// PDN import: the tables (tokens by pass, dates, results, Termination, GameType), the move text
// (comments, glyphs, variations), the fixtures in other programs' styles, and the driver.
#include "gamedb/fen.h"
#include "gamedb/pdn_export.h"
#include "gamedb/pdn_import.h"
#include "gamedb/pdn_moves.h"
#include "gamedb/pdn_tags.h"
#include "gamedb/progress.h"
#include "gamedb/user_prompt.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "rules/notation.h"
#include "tests/gamedb/pdn_test_util.h"
#include "tests/support/positions.h"
#include "tests/support/random_games.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using pdn_test::Fixture;
using pdn_test::MainLine;
using pdn_test::ReadAll;
using test_support::BoardFromSquares;

} // namespace

TEST(PdnMoveMatch, TokensByPass) {
    struct Row {
        TGameType variant;
        const char* squares; // the position, side 0 to move
        const char* token;
        const char* want; // the move matched, in full form with "x"; "" for none
    };
    const Row rows[] = {
        {gtRussian, "w10 b32", "c3-d4", "c3-d4"},
        {gtRussian, "w10 b32", "cd4", "c3-d4"}, // short form, no separator
        {gtRussian, "w10 b32", "cb4", "c3-b4"},
        {gtRussian, "w10 b14 b32", "c:e5", "c3xe5"}, // short form with ":" (pass 4)
        {gtRussian, "w10 b14 b32", "c3:e5", "c3xe5"},
        {gtRussian, "w10 b14 b22 b32", "c3:e5:c7", "c3xc7"}, // every landing square with ":"
        {gtRussian, "w10 b14 b22 b32", "c3xe5xc7", "c3xc7"},
        {gtRussian, "w10 b14 b22 b32", "c3xc7xd4xd6", "c3xc7"}, // from, final, captured
        {gtRussian, "w10 b14 b22 b32", "c3e5", ""},             // the capture goes on to c7
        {gtRussian, "w10 b32", "c3-d5", ""},
        {gtEnglish, "w6", "07-11", "07-11"}, // internal 6 is 7 in English
        {gtEnglish, "w6", "7-11", "07-11"},
        {gtEnglish, "w6", "7-12", ""},
        {gtInternational, "w31", "16-11", "16-11"},
        {gtInternational, "w31", "24-19", ""},
        {gtItalian, "w24", "9-5", "09-05"},
        {gtItalian, "w24", "09-05", "09-05"},
        {gtItalian, "w24", "0905", "09-05"},         // full form without a separator
        {gtEnglish, "w17 b21", "20x27x24", "20x27"}, // from, final, captured
        {gtEnglish, "w17 b21", "20x27", "20x27"},
        {gtEnglish, "w17 b21", "20-27", "20x27"},
        {gtEnglish, "w17 b21", "20:27", "20x27"},
        {gtEnglish, "w17 b21", "2027", "20x27"},
        {gtEnglish, "w9 b13 b21", "12x19x28", "12x28"}, // every landing square
        {gtEnglish, "w9 b13 b21", "12x20x28", "12x28"}, // matched only once shortened to 12-28
        {gtEnglish, "w9 b13 b21", "12x20x27", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.squares) + " " + r.token);
        const TBoard b = BoardFromSquares(r.squares);
        TMoveList moves;
        FindMoves(b, 0, moves, r.variant);
        int k = MatchPdnMove(r.token, moves, r.variant);
        if (!k) k = MatchPdnMove(ShortenMoveToken(r.token), moves, r.variant);
        EXPECT_EQ(k ? MoveToText(moves[k - 1], r.variant, true, "x") : "", r.want);
    }
    EXPECT_EQ(ShortenMoveToken("11x18x25"), "11-25");
    EXPECT_EQ(ShortenMoveToken("c3:e5:c7"), "c3-c7");
    EXPECT_EQ(ShortenMoveToken("32-28"), "32-28");
}

TEST(PdnTags, DatesResultsRoundsAndGameTypes) {
    const struct {
        const char* value;
        int day, month, year;
    } dates[] = {
        {"25.12.1999", 25, 12, 1999},
        {"1999.12.25", 25, 12, 1999},
        {"1999", 0, 0, 1999},
        {"3000", 0, 0, 2100},
        {"????.05.03", 3, 5, 0},
        {"1999.5", 0, 5, 1999},
        {"1999.05.??", 0, 5, 1999},
        {"????.??.??", 0, 0, 0},
        {"12-03-2001", 12, 3, 2001},
        {"2001.13.40", 0, 0, 2001},
        {"99999999999999999999", 0, 0, 2100},
    };
    for (const auto& d : dates) {
        SCOPED_TRACE(d.value);
        const TPdnDate got = ParsePdnDate(d.value);
        EXPECT_EQ(got.day, d.day);
        EXPECT_EQ(got.month, d.month);
        EXPECT_EQ(got.year, d.year);
    }
    // What the export writes reads back for every mix of known and unknown parts.
    for (int y : {0, 1999})
        for (int m : {0, 5})
            for (int day : {0, 3}) {
                const TPdnDate got = ParsePdnDate(PdnDateText(day, m, y));
                EXPECT_EQ(got.year * 10000 + got.month * 100 + got.day, y * 10000 + m * 100 + day);
            }
    const struct {
        const char* value;
        int code;
    } results[] = {
        {"1-0", 1},   {"2-0", 1},   {"1 : 0", 1}, {"1/2-1/2", 2}, {"1-1", 2}, {"\xC2\xBD-\xC2\xBD", 2},
        {"0-1", 3},   {"0 - 2", 3}, {"1-0t", 4},  {"0:1t", 5},    {"*", 0},   {"0-0", 0},
        {"white", -1}};
    for (const auto& r : results)
        EXPECT_EQ(PdnResultCode(r.value), r.code) << r.value;
    std::uint8_t round = 9, sub = 9;
    ParsePdnRound("3.2", round, sub);
    EXPECT_EQ(round * 1000 + sub, 3002);
    ParsePdnRound("300.256", round, sub);
    EXPECT_EQ(round * 1000 + sub, 0);
    for (const auto& [value, variant] : std::vector<std::pair<const char*, int>>{{"20", 6},
                                                                                 {"21", 2},
                                                                                 {"22", 5},
                                                                                 {"23", 4},
                                                                                 {"25", 1},
                                                                                 {"26", 3},
                                                                                 {"29", 7},
                                                                                 {"20,W,10,10,N2,0", 6},
                                                                                 {"24", 0},
                                                                                 {"", 0}})
        EXPECT_EQ(PdnGameTypeVariant(value), variant) << value;
}

TEST(PdnImport, TerminationCountsOnlyBeforeResultAndOnlyForTime) {
    const struct {
        const char* tags;
        int result;
    } rows[] = {
        {"[Termination \"time forfeit\"]\n[Result \"1-0\"]", grWhiteOnTime},
        {"[Termination \"Time\"]\n[Result \"0-1\"]", grBlackOnTime},
        {"[Result \"1-0\"]\n[Termination \"time forfeit\"]", grWhiteWins},
        {"[Termination \"Normal\"]\n[Result \"1-0\"]", grWhiteWins},
        {"[Termination \"adjudication\"]\n[Result \"0-1\"]", grBlackWins},
        {"[Termination \"time\"]\n[Result \"1/2-1/2\"]", grDraw},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.tags);
        const auto games = ReadAll(std::string(r.tags) + "\n\n*\n");
        ASSERT_EQ(games.size(), 1u);
        EXPECT_EQ(games[0].game->header.result, r.result);
    }
}

TEST(PdnImport, GameTypeSetsTheVariantWhateverIsCurrent) {
    const auto games = ReadAll("[GameType \"20\"]\n\n32-28 19-23 *\n"
                               "[GameType \"21\"]\n[FEN \"W:W21-32:B1-12\"]\n\n22-18 *\n"
                               "[Event \"none\"]\n\nc3-d4 *\n"
                               "[GameType \"24\"]\n\n1. 32-28 *\n");
    ASSERT_EQ(games.size(), 4u);
    EXPECT_EQ(games[0].game->header.variant, gtInternational);
    EXPECT_EQ(MainLine(*games[0].game), "32-28 19-23");
    // English: "W:" means White, the second side, moves first.
    EXPECT_EQ(games[1].game->header.variant, gtEnglish);
    EXPECT_EQ(games[1].game->header.startSide, 1);
    EXPECT_EQ(MainLine(*games[1].game), "22-18");
    EXPECT_EQ(games[2].game->header.variant, gtRussian);
    EXPECT_TRUE(games[2].report.whole);
    // No variant has GameType 24: logged, deleted, without moves.
    EXPECT_FALSE(games[3].report.whole);
    EXPECT_EQ(games[3].game->header.nodeCount, 0);
    EXPECT_TRUE(games[3].game->header.flags & 128);
}

TEST(PdnImport, CommentsGlyphsAndVariations) {
    const auto games = ReadAll(
        "[GameType \"25\"]\n\n"
        "{ intro } 1. c3-d4 $1 { after { nested } one } $16 f6-e5 2. { between } d4xf6 (2. d4-c5?! (!?) )"
        " g7xe5 $3 $14 (2... e7xg5 { side { unclosed\n\n"
        "[GameType \"25\"]\n\nc3-d4 $16\n");
    ASSERT_EQ(games.size(), 2u);
    const TGame& g = *games[0].game;
    EXPECT_EQ(MainLine(g), "c3-d4 f6-e5 d4xf6");
    EXPECT_EQ(g.commentBefore[1], "intro");
    EXPECT_EQ(g.commentAfter[1], "after { nested } one");
    EXPECT_EQ(g.nodes[1].annotation, 2 | 1 << 4);
    // A comment between two moves joins the earlier move's. The variation d4-c5 is illegal (the
    // capture is compulsory): reading stops there, the rest goes after the variation's parent, and
    // the game is marked deleted.
    EXPECT_EQ(g.commentAfter[2].substr(0, 33), "between * d4-c5?! (!?) ) g7xe5 $3");
    EXPECT_TRUE(g.header.flags & 128);
    EXPECT_FALSE(games[0].report.whole);
    // Glyph 16 at the very end of the text.
    EXPECT_EQ(PositionMarkOf(games[1].game->nodes[1].annotation), 1);

    const auto nested =
        ReadAll("[GameType \"25\"]\n\n1. c3-d4 f6-e5(1... f6-g5 $2 {bad} (1... b6-a5 2.d4-c5 $1 "
                "{sharp} d6xb4)2. b2-c3)2. d4xf6 g7xe5 $14 {better} 1-0\n");
    ASSERT_EQ(nested.size(), 1u);
    const TGame& n = *nested[0].game;
    EXPECT_TRUE(nested[0].report.whole) << nested[0].report.reason;
    EXPECT_EQ(MainLine(n), "c3-d4 f6-e5 d4xf6 g7xe5");
    EXPECT_EQ(ListChildNodes(1, n).size(), 3u); // f6-e5, f6-g5, b6-a5
    EXPECT_EQ(n.header.result, grWhiteWins);
}

TEST(PdnImport, AVariationBeforeTheFirstMoveIsKeptAsACommentAndLogged) {
    const auto games = ReadAll("[GameType \"25\"]\n\n( c3-d4 ) c3-b4 *\n");
    ASSERT_EQ(games.size(), 1u);
    EXPECT_FALSE(games[0].report.whole);
    EXPECT_EQ(games[0].game->commentBefore[1], "( c3-d4 )");
    EXPECT_EQ(MainLine(*games[0].game), "c3-b4");
    EXPECT_FALSE(games[0].game->header.flags & 128);
}

TEST(PdnImport, ResultTokensEndGamesAndTagsRepeatStartOne) {
    const auto games = ReadAll("Some note 12.\n\n"
                               "[Event \"A\"]\n[Event \"B\"]\n[White \"x\"]\n\nc3-d4 1-0 c3-b4 *\n"
                               "e3-f4\n[Event \"C\"]\n[Event \"D\"] c3-d4\t f6-e5 1/2-1/2");
    ASSERT_EQ(games.size(), 6u);
    EXPECT_EQ(games[0].game->tournament, "A");
    EXPECT_EQ(games[0].game->header.nodeCount, 0);
    EXPECT_EQ(games[1].game->tournament, "B");
    EXPECT_EQ(MainLine(*games[1].game), "c3-d4");
    EXPECT_EQ(games[1].game->header.result, grWhiteWins);
    EXPECT_EQ(MainLine(*games[2].game), "c3-b4"); // after the result: a game of its own
    EXPECT_EQ(MainLine(*games[3].game), "e3-f4");
    EXPECT_EQ(games[4].game->tournament, "C");
    EXPECT_EQ(games[5].game->tournament, "D");
    EXPECT_EQ(MainLine(*games[5].game), "c3-d4 f6-e5");
    EXPECT_EQ(games[5].game->header.result, grDraw);
}

TEST(PdnImport, UnicodeAndDosNamesBecomeCp1251) {
    const std::string cp866Name = "\x8F\xA5\xE2\xE0\xAE\xA2"; // "Петров" in CP866
    const auto games = ReadAll("[White \"Très Éléonore\"]\n[Black \"" + cp866Name +
                               "\"]\n[Event \"Кубок\"]\n\nc3-d4 {très} *\n");
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].game->white, "Tres Eleonore");
    EXPECT_EQ(games[0].game->black, Utf8ToCp1251("Петров"));
    EXPECT_EQ(games[0].game->tournament, Utf8ToCp1251("Кубок"));
    EXPECT_EQ(games[0].game->commentAfter[1], "tres");

    // A CP866 name with a CP1251 part is converted byte by byte: "\xDF" (CP1251 "Я", box drawing in
    // CP866) stays.
    const auto mixed = ReadAll("[White \"\x80\xAB\xA5\xAA\xE1\xA0\xAD\xA4\xE0\xAE\xA2, \xDF\xED\"]\n\n*\n");
    ASSERT_EQ(mixed.size(), 1u);
    EXPECT_EQ(mixed[0].game->white, "\xC0\xEB\xE5\xEA\xF1\xE0\xED\xE4\xF0\xEE\xE2, \xDF\xFD");
}

TEST(PdnImport, AmbiguousKingCaptureTakesTheRouteTheGameGoesOnWith) {
    // The king on d8 reaches a5 over f6 and c3 or over g5 and d2: the next move decides.
    const std::string start = "[GameType \"25\"]\n[FEN \"W:WK2:B3,7,15,17,23,25.\"]\n\n";
    const auto games =
        ReadAll(start + "d8xa5 e5-d4 *\n" + start + "d8:a5 e3-d2 *\n" + start + "d8xa5 h8-g7 *\n");
    ASSERT_EQ(games.size(), 3u);
    EXPECT_EQ(MoveToFullText(games[0].game->nodes[1], gtRussian, true, "x"), "d8xg5xd2xa5");
    EXPECT_EQ(MoveToFullText(games[1].game->nodes[1], gtRussian, true, "x"), "d8xf6xc3xa5");
    EXPECT_TRUE(games[0].report.whole && games[1].report.whole);
    // Neither route lets the next move be played: the first, then the move is reported.
    EXPECT_EQ(MoveToFullText(games[2].game->nodes[1], gtRussian, true, "x"), "d8xf6xc3xa5");
    EXPECT_FALSE(games[2].report.whole);

    // The export writes the second route with every landing square; each token reads back as its move.
    TBoard b;
    int side = 0;
    ASSERT_TRUE(ParseFen("W:WK2:B3,7,15,17,23,25.", b, side, gtRussian));
    TMoveList moves;
    FindMoves(b, 0, moves, gtRussian);
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const std::string token = PdnMoveToken(moves[i], moves, gtRussian);
        EXPECT_EQ(MatchPdnMove(token, moves, gtRussian), static_cast<int>(i) + 1) << token;
    }
    EXPECT_EQ(PdnMoveToken(moves[5], moves, gtRussian), "d8xg5xd2xa5");
}

TEST(PdnFixtures, OtherProgramsFilesImportWhole) {
    const struct {
        const char* file;
        int games;
        std::vector<std::string> mainLines;
    } rows[] = {
        {"international.pdn", 2, {"32-28 19-23 28x19 14x23 37-32 10-14", "24-29 33x24 19x30 35x24"}},
        {"english.pdn", 2, {"11-15 23-19 08-11 22-17 04-08 17-13 15-18 24-20", "27-23 03-07 18-15 12-16"}},
        {"russian.pdn",
         2,
         {"c3-d4 f6-e5 d4xf6 g7xe5 b2-c3", "c3-d4 d6-c5 b2-c3 c7-d6 c3-b4 b6-a5 d4xb6 a7xc5"}},
        {"bom_note.pdn", 1, {"c3-d4 b6-a5 b2-c3"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file);
        const auto games = ReadAll(Fixture(r.file));
        ASSERT_EQ(games.size(), static_cast<std::size_t>(r.games));
        for (std::size_t i = 0; i < games.size(); ++i) {
            EXPECT_TRUE(games[i].report.whole) << games[i].report.reason;
            EXPECT_EQ(MainLine(*games[i].game), r.mainLines[i]);
            EXPECT_FALSE(games[i].game->header.flags & 128);
        }
    }
    const auto intl = ReadAll(Fixture("international.pdn"));
    EXPECT_EQ(intl[0].game->header.result, grWhiteWins); // "2-0"
    EXPECT_EQ(intl[1].game->header.result, grDraw);      // "1-1"
    EXPECT_EQ(intl[0].game->commentAfter[1], "[%clock w0:05:00 B0:05:00]");
    const auto english = ReadAll(Fixture("english.pdn"));
    EXPECT_EQ(english[0].game->white, "Tom Reid");                  // Black moves first: side 0
    EXPECT_EQ(MoveMarkOf(english[0].game->nodes[3].annotation), 2); // "8-11!"
    EXPECT_EQ(MoveMarkOf(english[0].game->nodes[4].annotation), 4); // "22-17 ?!"
    EXPECT_EQ(english[1].game->header.startSide, 1);
    const auto russian = ReadAll(Fixture("russian.pdn"));
    EXPECT_EQ(russian[0].game->white, Utf8ToCp1251("Иванов"));
    EXPECT_EQ(russian[0].game->black, Utf8ToCp1251("Петров"));         // CP866 in the file
    EXPECT_EQ(russian[1].game->black, Utf8ToCp1251("Ольга Смирнова")); // UTF-8 in the file
    EXPECT_EQ(russian[1].game->site, "Zurich");
    EXPECT_EQ(russian[0].game->commentAfter[russian[0].game->header.nodeCount], Utf8ToCp1251("конец"));
    EXPECT_EQ(ListChildNodes(1, *russian[0].game).size(), 3u);
}

TEST(PdnFixtures, TheLogFixtureGivesExactlyItsEntries) {
    const auto games = ReadAll(Fixture("log.pdn"));
    ASSERT_EQ(games.size(), 5u);
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < games.size(); ++i)
        if (!games[i].report.whole) entries.push_back(PdnLogEntry(games[i].report, static_cast<int>(i) + 1));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_NE(entries[0].find("Game 1 of the file (game 1 of the database), line 1"), std::string::npos);
    EXPECT_NE(entries[0].find("\"a1-b2\" is not legal here. Unread: a1-b2 f6-e5 *"), std::string::npos);
    EXPECT_NE(entries[1].find("\"h6-h5\" is not legal here. Unread: h6-h5) f6-e5 *"), std::string::npos);
    EXPECT_NE(entries[2].find("square 40 is not on the board"), std::string::npos);
    EXPECT_NE(entries[3].find("GameType \"24\""), std::string::npos);
    EXPECT_NE(entries[3].find("White \"Game\", Black \"Type\", Event \"Log 4\""), std::string::npos);
    for (int i : {0, 1, 2, 3})
        EXPECT_TRUE(games[static_cast<std::size_t>(i)].game->header.flags & 128);
}

namespace {

class TScriptedPrompt final : public IUserPrompt {
  public:
    bool answer = false;
    std::vector<std::string> messages, questions;
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool Confirm(const std::string& text) override {
        questions.push_back(text);
        return answer;
    }
};

class TCountingProgress final : public IProgress {
  public:
    int begins = 0, steps = 0, ends = 0;
    std::int64_t maximum = 0, last = 0;
    void BeginProgress(const std::string&, const std::string&, std::int64_t max, std::int64_t) override {
        ++begins;
        maximum = max;
    }
    void StepProgress(std::int64_t position, std::int64_t) override {
        ++steps;
        last = position;
    }
    void EndProgress() override { ++ends; }
};

std::string Slurp(const std::string& path) {
    std::string s;
    ReadWholeFile(path, s);
    return s;
}

} // namespace

TEST(PdnImportDriver, AsksBeforeReplacingAndCancelLeavesTheOldFilesAsTheyWere) {
    test_support::TTempDir dir;
    const std::string pdn = dir.File("games.pdn");
    ASSERT_TRUE(AtomicWriteFile(pdn, Fixture("log.pdn")));
    TScriptedPrompt prompt;
    TCountingProgress progress;
    TPdnImportResult r = ImportPdnDatabase(pdn, "", gtRussian, prompt, progress);
    ASSERT_EQ(r.status, TPdnImportStatus::Done);
    EXPECT_EQ(r.games, 5);
    EXPECT_EQ(r.whole, 1);
    EXPECT_EQ(r.logPath, dir.File("games.log"));
    EXPECT_TRUE(prompt.questions.empty());
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("5 games imported"), std::string::npos);
    EXPECT_NE(prompt.messages[0].find("1 read whole"), std::string::npos);
    EXPECT_EQ(progress.begins, 1);
    EXPECT_EQ(progress.ends, 1);
    EXPECT_EQ(Slurp(r.logPath).substr(0, 10), "Import of ");

    const std::string before =
        Slurp(dir.File("games.vqb")) + Slurp(dir.File("games.vqm")) + Slurp(dir.File("games.vqn"));
    ASSERT_TRUE(AtomicWriteFile(pdn, "[GameType \"25\"]\n\nc3-d4 *\n"));
    prompt.answer = false;
    r = ImportPdnDatabase(pdn, "", gtRussian, prompt, progress);
    EXPECT_EQ(r.status, TPdnImportStatus::Cancelled);
    EXPECT_EQ(prompt.questions.size(), 1u);
    EXPECT_EQ(Slurp(dir.File("games.vqb")) + Slurp(dir.File("games.vqm")) + Slurp(dir.File("games.vqn")),
              before);

    // Yes: replaced, and the old log goes since every game was read whole.
    prompt.answer = true;
    r = ImportPdnDatabase(pdn, "", gtRussian, prompt, progress);
    EXPECT_EQ(r.status, TPdnImportStatus::Done);
    EXPECT_EQ(r.games, 1);
    EXPECT_TRUE(r.logPath.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("games.log")));
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(e.path().filename().string().find_first_of("~"), std::string::npos) << e.path();
}

TEST(PdnImportDriver, RefusesTheOpenDatabase) {
    test_support::TTempDir dir;
    const std::string pdn = dir.File("open.pdn");
    ASSERT_TRUE(AtomicWriteFile(pdn, "[GameType \"25\"]\n\nc3-d4 *\n"));
    TGameDatabase open;
    ASSERT_TRUE(CreateDatabase(dir.File("open.vqb"), open));
    TScriptedPrompt prompt;
    prompt.answer = true;
    TCountingProgress progress;
    const TPdnImportResult r = ImportPdnDatabase(pdn, "", gtRussian, prompt, progress, &open);
    CloseDatabase(open);
    EXPECT_EQ(r.status, TPdnImportStatus::Refused);
    EXPECT_EQ(Slurp(dir.File("open.vqb")), "");
}

TEST(PdnExport, AppendsGamesThatImportBackAndReportsAFailedWrite) {
    test_support::TTempDir dir;
    std::vector<std::unique_ptr<TGame>> written;
    ASSERT_TRUE(test_support::WriteRandomDatabase(dir.File("src.vqb"), 150, 7, {}, &written));
    TGameDatabase db;
    OpenDatabase(dir.File("src.vqb"), db, TOpenMode::ReadOnly);
    ASSERT_TRUE(db.open);
    TCountingProgress progress;
    std::vector<std::int32_t> numbers;
    for (int n = 1; n <= 150; ++n)
        numbers.push_back(n);
    const std::string pdn = dir.File("out.pdn");
    ASSERT_TRUE(AtomicWriteFile(pdn, "[Event \"already there\"]\r\n\r\n*\r\n\r\n"));
    TPdnExportResult r = ExportPdnGames(db, numbers, pdn, progress);
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.written, 150);
    EXPECT_EQ(progress.steps, 1);
    const auto games = ReadAll(Slurp(pdn));
    ASSERT_EQ(games.size(), 151u);
    EXPECT_EQ(games[0].game->tournament, "already there");
    for (int i = 0; i < 150; ++i) {
        EXPECT_TRUE(games[i + 1].report.whole);
        EXPECT_EQ(games[i + 1].game->header.nodeCount, written[i]->header.nodeCount);
    }
    r = ExportPdnGames(db, numbers, "/dev/full", progress);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.empty());
    CloseDatabase(db);
}

TEST(PdnExport, TagsOfTheMendedForms) {
    auto g = std::make_unique<TGame>();
    InitGame(*g, gtEnglish);
    PositionToKey(StartPositionOf(gtEnglish), g->startKey);
    g->white = "Side \"0\" \\";
    g->black = "Side 1";
    g->header.year = 1999;
    g->header.month = 5;
    g->header.result = grBlackOnTime;
    g->header.startSide = 1; // the standard pieces, the other side to move
    const std::string text = PdnGameText(*g);
    EXPECT_EQ(text, "[Black \"Side \\\"0\\\" \\\\\"]\r\n[White \"Side 1\"]\r\n[Event \"\"]\r\n[Site \"\"]\r\n"
                    "[Round \"\"]\r\n[Date \"1999.05.??\"]\r\n[Termination \"time forfeit\"]\r\n"
                    "[Result \"0-1\"]\r\n[GameType \"21\"]\r\n"
                    "[FEN \"W:B1,2,3,4,5,6,7,8,9,10,11,12:W21,22,23,24,25,26,27,28,29,30,31,32.\"]\r\n\r\n"
                    "0-1\r\n\r\n");
    const auto back = ReadAll(text);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].game->white, g->white);
    EXPECT_EQ(back[0].game->header.result, grBlackOnTime);
    EXPECT_EQ(back[0].game->header.startSide, 1);
    EXPECT_EQ(back[0].game->header.year, 1999);
    EXPECT_EQ(back[0].game->header.month, 5);
}

// Layouts other programs write, each read whole.
TEST(PdnImport, ForeignLayoutsReadWhole) {
    const struct {
        const char* text;
        std::vector<std::string> mainLines; // one per game
    } rows[] = {
        // "%" escape lines are skipped, in the tags and in the move text.
        {"[GameType \"25\"]\n%escaped [Event \"no\"]\n\nc3-d4\n% more\nf6-e5 *\n", {"c3-d4 f6-e5"}},
        // A line inside an open comment is no tag.
        {"[GameType \"25\"]\n\nc3-d4 { see\n[Event later]\n} f6-e5 *\n", {"c3-d4 f6-e5"}},
        // Wrapped after the separator; numbers without the leading zero.
        {"[GameType \"21\"]\n\n11- 15 23-\n19 8x \t11 *\n", {"11-15 23-19 08-11"}},
        // A move number glued to Black's move; results "½-½" and "0-0" end their games (the text
        // after a result has no tags: the current variant).
        {"[GameType \"20\"]\n\n1. 32-28 1...19-23 \xC2\xBD-\xC2\xBD c3-d4 0-0\n", {"32-28 19-23", "c3-d4"}},
        // CR line ends, a tag and the move text on one line.
        {"[GameType \"25\"]\r[Event \"x\"] c3-d4\rf6-e5 *\r", {"c3-d4 f6-e5"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        const auto games = ReadAll(r.text);
        ASSERT_EQ(games.size(), r.mainLines.size());
        for (std::size_t i = 0; i < games.size(); ++i) {
            EXPECT_TRUE(games[i].report.whole) << games[i].report.reason;
            EXPECT_EQ(MainLine(*games[i].game), r.mainLines[i]);
        }
    }
    // ";" comments to the end of the line are comments of the move before, their braces mended.
    const auto semi = ReadAll("[GameType \"25\"]\n\nc3-d4 ; a {note}\nf6-e5 *\n");
    ASSERT_EQ(semi.size(), 1u);
    EXPECT_EQ(semi[0].game->commentAfter[1], "a (note)");
    EXPECT_EQ(MainLine(*semi[0].game), "c3-d4 f6-e5");
    const auto open = ReadAll("[GameType \"25\"]\n\nc3-d4 { see\n[Event later]\n} f6-e5 *\n");
    EXPECT_EQ(open[0].game->commentAfter[1], "see [Event later]");
}

// A game of more moves than a tree holds keeps its first 1,024 and the rest as a comment, without
// the deleted mark; variations nested thousands deep and runs of "(" end without exhausting the stack.
TEST(PdnImport, LongGamesAndDeepNestingStopAtTheTreeLimit) {
    std::string shuffle = "[GameType \"25\"]\n[FEN \"W:WKe1:BKa7\"]\n\n";
    for (int i = 0; i < 300; ++i)
        shuffle += "e1-d2 a7-b8 d2-e1 b8-a7 ";
    shuffle += "*\n";
    auto games = ReadAll(shuffle);
    ASSERT_EQ(games.size(), 1u);
    const TGame& g = *games[0].game;
    EXPECT_EQ(g.header.nodeCount, MaxNodes);
    EXPECT_FALSE(g.header.flags & 128);
    EXPECT_FALSE(games[0].report.whole);
    EXPECT_EQ(g.commentAfter[MaxNodes].substr(0, 8), "* e1-d2 ");
    EXPECT_NE(games[0].report.reason.find("1,024"), std::string::npos);

    std::string deep = "[GameType \"25\"]\n\nc3-d4 ";
    for (int i = 0; i < 5000; ++i)
        deep += i % 2 ? "(c3-d4 " : "(c3-b4 ";
    deep += std::string(5000, ')') + " *\n";
    games = ReadAll(deep);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].game->header.nodeCount, MaxNodes);
    EXPECT_FALSE(games[0].report.whole);
    // What was read writes out and reads back as the same number of moves.
    const auto back = ReadAll(PdnGameText(*games[0].game));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].game->header.nodeCount, MaxNodes);

    games = ReadAll("[GameType \"25\"]\n\nc3-d4 " + std::string(200000, '(') + " f6-e5 *\n");
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(MainLine(*games[0].game), "c3-d4");
}

// A full disk: the moves file cannot grow past its limit, so a game is refused. The import stops
// there and changes nothing, over an existing database as over none, and says so; no staged file
// stays behind. Progress steps by the bytes read, within the file.
TEST(PdnImportDriver, AFullDiskStopsTheImportAndChangesNothing) {
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += "[White \"W" + std::to_string(i) + "\"]\n[GameType \"25\"]\n\nc3-d4 f6-e5 d4xf6 g7xe5 *\n\n";
    for (const bool existing : {false, true}) {
        SCOPED_TRACE(existing);
        test_support::TTempDir dir;
        const std::string pdn = dir.File("big.pdn");
        TScriptedPrompt prompt;
        prompt.answer = true;
        TCountingProgress progress;
        if (existing) {
            ASSERT_TRUE(AtomicWriteFile(pdn, "[GameType \"25\"]\n\nc3-d4 *\n"));
            ASSERT_EQ(ImportPdnDatabase(pdn, "", gtRussian, prompt, progress).status, TPdnImportStatus::Done);
            prompt.messages.clear();
        }
        const std::string before =
            Slurp(dir.File("big.vqb")) + Slurp(dir.File("big.vqm")) + Slurp(dir.File("big.vqn"));
        ASSERT_TRUE(AtomicWriteFile(pdn, text));
        const std::vector<std::string> files = dir.List();
        TPdnImportResult r;
        {
            test_support::TFileSizeLimit full(20000);
            r = ImportPdnDatabase(pdn, "", gtRussian, prompt, progress);
        }
        EXPECT_EQ(r.status, TPdnImportStatus::CannotCreate);
        EXPECT_EQ(r.games, 0);
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_NE(prompt.messages[0].find("The import stopped"), std::string::npos) << prompt.messages[0];
        EXPECT_NE(prompt.messages[0].find("nothing imported"), std::string::npos) << prompt.messages[0];
        EXPECT_EQ(prompt.messages[0].find("is as it was") != std::string::npos, existing)
            << prompt.messages[0];
        EXPECT_GT(progress.last, 0);
        EXPECT_LE(progress.last, progress.maximum);
        EXPECT_EQ(progress.maximum, static_cast<std::int64_t>(text.size()));
        EXPECT_EQ(Slurp(dir.File("big.vqb")) + Slurp(dir.File("big.vqm")) + Slurp(dir.File("big.vqn")),
                  before);
        EXPECT_EQ(dir.List(), files);
    }
}
