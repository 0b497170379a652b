// The book list beside the board and the built-in engine's book move, on a real book file.

#include "app/core/book_list.h"
#include "app/core/builtin_engine.h"
#include "app/core/builtin_search.h"
#include "app/core/engine_requests.h"
#include "app/core/game_session.h"
#include "gamedb/book_builder.h"
#include "platform/steady_clock.h"
#include "rules/movegen.h"
#include "rules/notation.h"
#include "rules/variant_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

TBookMoveList Rows(std::initializer_list<const char*> texts, const std::string& comment) {
    TBookMoveList list;
    for (const char* t : texts) {
        TBookMoveRow r;
        r.text = t;
        list.rows.push_back(r);
    }
    list.positionComment = comment;
    return list;
}

} // namespace

TEST(BookList, Texts) {
    TBoard later = StartPosition64;
    later[10] = 0;
    later[14] = 1;
    struct Case {
        const char* name;
        TBookMoveList list;
        TBoard board;
        bool play, tournament;
        std::optional<std::string> info, tree;
    };
    const Case cases[] = {
        {"rows joined by CR", Rows({"c3-d4! +5-2=3", "a3-b4#"}, "Centre"), later, false, false, "Centre",
         "c3-d4! +5-2=3\ra3-b4#\r"},
        {"no comment: the panel keeps its text", Rows({"c3-d4#"}, ""), later, false, false, std::nullopt,
         "c3-d4#\r"},
        {"the start position clears the panel", Rows({}, ""), StartPosition64, false, false, "", ""},
        {"the 10x10 start too", Rows({}, ""), StartPosition100, true, false, "", ""},
        {"play mode with tournament mode: the list is left alone", Rows({"c3-d4#"}, "x"), later, true, true,
         "x", std::nullopt},
        {"tournament mode alone does not hide it", Rows({"c3-d4#"}, ""), later, false, true, std::nullopt,
         "c3-d4#\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TBookListTexts t = ComposeBookList(c.list, c.board, c.play, c.tournament);
        EXPECT_EQ(t.info, c.info);
        EXPECT_EQ(t.tree, c.tree);
    }
    TBookMoveList many;
    for (int i = 0; i < 20; ++i) {
        TBookMoveRow r;
        r.text = "c3-d4# +1000-1000=1000"; // 22 bytes and CR
        many.rows.push_back(r);
    }
    const TBookListTexts t = ComposeBookList(many, later, false, false);
    ASSERT_TRUE(t.tree);
    EXPECT_EQ(t.tree->size(), 255u);
    EXPECT_EQ(t.tree->substr(0, 23), "c3-d4# +1000-1000=1000\r");
}

TEST(BookList, SettingsComeFromTheEngineOptions) {
    TEngineOptionSettings o;
    o.book[3] = "Books/Russian.cbk";
    o.useBook[6] = false;
    const TBookSettings s = BookSettingsOf(o);
    EXPECT_EQ(s.book, o.book);
    EXPECT_EQ(s.useBook, o.useBook);
}

// A book where white's c3-d4 is marked "!" and g3-h4 "??" and a3-b4 has good games.
class EngineBookMove : public testing::Test {
  protected:
    std::string dir =
        (std::filesystem::temp_directory_path() / ("vq_book_list_" + std::to_string(getpid()))).string();
    void SetUp() override {
        std::filesystem::create_directories(dir);
        TBookBuilder b;
        auto g = std::make_unique<TGame>();
        auto add = [&](const char* text, int annotation, int result) {
            InitGame(*g, gtRussian);
            PositionToKey(StartPosition64, g->startKey);
            g->header.result = static_cast<std::uint8_t>(result);
            TMoveList list;
            FindMoves(StartPosition64, 0, list, gtRussian);
            for (TMove m : list)
                if (MoveToText(m, gtRussian, true, ":") == text) {
                    m.parent = 0;
                    m.mainLine = 1;
                    m.free = 0;
                    m.annotation = static_cast<std::uint16_t>(annotation);
                    g->nodes[1] = m;
                    g->header.nodeCount = 1;
                }
            b.AddGameToBook(*g);
        };
        add("c3-d4", 2, 2);
        add("g3-h4", 6, 1);
        add("a3-b4", 0, 1);
        add("a3-b4", 0, 1);
        const std::vector<std::uint8_t> bytes = b.Finish();
        std::ofstream(dir + "/ru.cbk", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        TBookSettings s;
        s.book[0] = dir + "/ru.cbk";
        OpeningBook().SetSettings(s);
        OpeningBook().Open(gtRussian, SilentPrompt());
    }
    void TearDown() override {
        OpeningBook().Close();
        OpeningBook().SetSettings({});
        std::filesystem::remove_all(dir);
    }
};

TEST_F(EngineBookMove, TheLeadingRecommendedMoves) {
    TOpeningBookMoves book;
    std::vector<std::string> texts;
    for (const TMove& m : book.PlayableBookMoves(StartPosition64, 0, gtRussian))
        texts.push_back(MoveToText(m, gtRussian, true, ":"));
    // c3-d4 "!" first, then a3-b4 by its games; g3-h4 "??" is never played.
    EXPECT_EQ(texts, (std::vector<std::string>{"c3-d4", "a3-b4"}));
    // Not in use, or closed: no book moves.
    TBookSettings s = OpeningBook().Settings();
    s.useBook[0] = false;
    OpeningBook().SetSettings(s);
    OpeningBook().Open(gtRussian, SilentPrompt());
    EXPECT_TRUE(book.PlayableBookMoves(StartPosition64, 0, gtRussian).empty());
    OpeningBook().Close();
    EXPECT_TRUE(book.PlayableBookMoves(StartPosition64, 0, gtRussian).empty());
}

TEST_F(EngineBookMove, TheMasterLevelPlaysOneOfThem) {
    BuiltinEngine().HashTable().Allocate(1 << 12);
    TOpeningBookMoves book;
    std::atomic<bool> stop{false};
    // The book move's pause runs on a clock that moves 50 ms at each reading.
    std::int64_t now = 0;
    SetSteadyClockSource([&] { return std::chrono::nanoseconds(now += 50'000'000); });
    for (unsigned seed = 1; seed <= 6; ++seed) {
        TEngineRandom rng(seed);
        TRootSearchSetup setup = BuiltinEngine().SearchSetup();
        setup.random = &rng;
        setup.edb = {};
        const TBuiltinSearchOutcome out = RunBuiltinSearch({StartPosition64, 0, gtRussian, true, false},
                                                           AnalysisDepth, 0, 100, stop, book, setup);
        ASSERT_TRUE(out.fromBook);
        const std::string text = MoveToText(out.move, gtRussian, true, ":");
        EXPECT_TRUE(text == "c3-d4" || text == "a3-b4") << text;
    }
    SetSteadyClockSource({});
}

TEST(BookBuildAndSession, TheMainWindowsGameSurvivesABuild) {
    const std::string dir =
        (std::filesystem::temp_directory_path() / ("vq_book_session_" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(dir);
    GameSession().SetVariant(gtRussian);
    GameSession().NewGame(StartPosition64, 0);
    for (int i = 0; i < 3; ++i) {
        TMoveList legal;
        FindMoves(GameSession().CurrentBoard(), GameSession().SideToMove(), legal, gtRussian);
        GameSession().PlayMove(legal.back(), true);
    }
    auto before = std::make_unique<TGame>();
    {
        TGameLock lock = GameSession().Lock();
        *before = GameSession().CurrentGame(lock);
        GameSession().EditGame(lock).white = "Me";
        before->white = "Me";
    }
    const TSessionSnapshot shown = GameSession().Snapshot();

    // Two other games, of another variant, go through the builder's scratch record.
    TGameDatabase db;
    ASSERT_TRUE(CreateDatabase(dir + "/g.vqb", db));
    auto g = std::make_unique<TGame>();
    InitGame(*g, gtEnglish);
    PositionToKey(StartPosition64, g->startKey);
    g->white = "Someone";
    TMoveList legal;
    FindMoves(StartPosition64, 0, legal, gtEnglish);
    g->nodes[1] = legal[0];
    g->nodes[1].parent = 0;
    g->nodes[1].mainLine = 1;
    g->header.nodeCount = 1;
    ASSERT_EQ(WriteGame(*g, 0, db, false), TDbStatus::Ok);
    ASSERT_EQ(WriteGame(*g, 0, db, false), TDbStatus::Ok);
    ASSERT_TRUE(BuildBookFile(dir + "/t.cbk", db, {1, 2}, nullptr, SilentPrompt()).ok);
    CloseDatabase(db);

    TGameLock lock = GameSession().Lock();
    const TGame& after = GameSession().CurrentGame(lock);
    EXPECT_EQ(after.header, before->header);
    EXPECT_EQ(after.white, "Me");
    EXPECT_EQ(after.startKey, before->startKey);
    for (int n = 0; n < NodeSlots; ++n) {
        EXPECT_TRUE(after.nodes[n].SameMove(before->nodes[n])) << n;
        EXPECT_EQ(after.nodes[n].parent, before->nodes[n].parent) << n;
        EXPECT_EQ(after.nodes[n].free, before->nodes[n].free) << n;
    }
    EXPECT_EQ(GameSession().CurrentNode(), shown.node);
    EXPECT_EQ(GameSession().CurrentBoard(), shown.board);
    EXPECT_EQ(CurrentVariant.load(), gtRussian);
    std::filesystem::remove_all(dir);
}
