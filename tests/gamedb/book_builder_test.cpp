// Building a book from the games of a database, against records worked out by hand, and what a
// build does with an existing book, a damaged game, a full disk and the main window's game.

#include "book_test_util.h"
#include "gamedb/book_builder.h"
#include "gamedb/book_file.h"
#include "gamedb/game_index_record.h"
#include "gamedb/opening_book.h"
#include "rules/variant_state.h"
#include "tests/support/random_games.h"

#include <algorithm>
#include <csignal>
#include <map>
#include <sys/resource.h>
#include <sys/wait.h>

using namespace gamedb_test;

namespace {

// Adds the move `text` below `parent` and returns its node.
int AddMove(TGame& g, int parent, const char* text, bool mainLine, int annotation = 0) {
    TBoard b;
    EXPECT_TRUE(PositionAtNode(parent, g, b));
    int side = g.header.startSide;
    for (int n = parent; n != 0; n = g.nodes[n].parent)
        side ^= 1;
    TMove m = MoveByText(b, side, g.header.variant, text);
    const int node = g.header.nodeCount + 1;
    m.parent = static_cast<std::uint16_t>(parent);
    m.mainLine = mainLine ? 1 : 0;
    m.free = 0;
    m.annotation = static_cast<std::uint16_t>(annotation);
    g.nodes[node] = m;
    g.header.nodeCount = static_cast<std::uint16_t>(node);
    return node;
}

std::unique_ptr<TGame> MainLine(TGameType variant, int result, std::initializer_list<const char*> moves) {
    auto g = NewGame(variant);
    g->header.result = static_cast<std::uint8_t>(result);
    int node = 0;
    for (const char* m : moves)
        node = AddMove(*g, node, m, true);
    return g;
}

TRec With(TRec r, int result1, int draws, int result3, int mark, int comment = 0) {
    r.result1 = result1;
    r.draws = draws;
    r.result3 = result3;
    r.mark = mark;
    r.comment = comment;
    return r;
}

class BookBuild : public TDbTest {
  protected:
    BookBuild() { db.prompt = &prompt; }
    TGameDatabase db;
    std::vector<std::int32_t> numbers;

    void TearDown() override {
        CloseDatabase(db);
        OpeningBook().Close();
        OpeningBook().SetSettings({});
        TDbTest::TearDown();
    }
    void Store(std::initializer_list<TGame*> games) {
        if (!db.open) {
            ASSERT_TRUE(CreateDatabase(Path("games.vqb"), db));
        }
        for (TGame* g : games) {
            ASSERT_EQ(WriteGame(*g, 0, db, false), TDbStatus::Ok);
            numbers.push_back(++db.gameCount);
        }
    }
};

} // namespace

// Four games: 1-0 with a "!!" variation, a draw with "!", an unfinished game with "??", and a win
// on time. Worked out by hand:
//   after c3-d4 (side 1):        1-0 from game 1, a draw from game 2 (marked "!": 2), nothing from game 4
//   after c3-d4 b6-a5 (side 0):  1-0 from game 1, a draw from game 2
//   after c3-d4 d6-c5 (side 0):  only in game 1's variation: no games, "!!" is 1
//   after c3-d4 b6-a5 d4-c5 (1): game 2's variation below a main-line move: no games, "?!" is 5
//   after a3-b4 (side 1):        game 3, unfinished: no games, "??" is 7
TEST_F(BookBuild, RecordsOfThreeSmallGames) {
    auto g1 = MainLine(gtRussian, grWhiteWins, {"c3-d4", "b6-a5"});
    AddMove(*g1, 1, "d6-c5", false, 0x21); // "!!" with a position mark that must not leak in
    auto g2 = MainLine(gtRussian, grDraw, {});
    const int d4 = AddMove(*g2, 0, "c3-d4", true, 2);
    const int a5 = AddMove(*g2, d4, "b6-a5", true);
    AddMove(*g2, a5, "d4-c5", false, 4);
    auto g3 = MainLine(gtRussian, grNone, {});
    AddMove(*g3, 0, "a3-b4", true, 6);
    auto g4 = MainLine(gtRussian, grWhiteOnTime, {"c3-d4"});
    Store({g1.get(), g2.get(), g3.get(), g4.get()});

    const TBookBuildReport report = BuildBookFile(Path("tree.cbk"), db, numbers, nullptr, prompt);
    ASSERT_TRUE(report.ok) << report.error;
    EXPECT_EQ(report.records, 5);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Total 5"});
    const Bytes want = SortedBook({With(At(gtRussian, {"c3-d4"}), 1, 1, 0, 2),
                                   With(At(gtRussian, {"c3-d4", "b6-a5"}), 1, 1, 0, 0),
                                   With(At(gtRussian, {"c3-d4", "d6-c5"}), 0, 0, 0, 1),
                                   With(At(gtRussian, {"c3-d4", "b6-a5", "d4-c5"}), 0, 0, 0, 5),
                                   With(At(gtRussian, {"a3-b4"}), 0, 0, 0, 7)});
    EXPECT_EQ(ReadBytes(Path("tree.cbk")), want);
}

TEST_F(BookBuild, MoveMarksWithoutABookMarkAreWrittenAsNone) {
    // Move marks 7..15 have no book mark ("4..6 plus 1" would give 8..16): written as 0.
    auto g = MainLine(gtRussian, grDraw, {});
    AddMove(*g, 0, "a3-b4", true, 7);
    AddMove(*g, 0, "c3-b4", false, 15);
    AddMove(*g, 0, "c3-d4", false, 0xF3); // position mark 15, move mark 3
    Store({g.get()});
    ASSERT_TRUE(BuildBook(Path("marks.cbk"), db, numbers, nullptr).ok);
    EXPECT_EQ(ReadBytes(Path("marks.cbk")), SortedBook({With(At(gtRussian, {"a3-b4"}), 0, 1, 0, 0),
                                                        With(At(gtRussian, {"c3-b4"}), 0, 0, 0, 0),
                                                        With(At(gtRussian, {"c3-d4"}), 0, 0, 0, 3)}));
}

TEST_F(BookBuild, MovesAreMadeInEachGamesOwnVariant) {
    // The main window plays International; the games are Russian and English, in one book. English
    // 11-15 moves the same man as Russian c3-d4, so the two games meet in one record.
    const TGameType saved = CurrentVariant;
    CurrentVariant = gtInternational;
    auto ru = MainLine(gtRussian, grBlackWins, {"c3-d4", "f6-e5", "d4:f6"});
    auto en = MainLine(gtEnglish, grWhiteWins, {"11-15", "24-19"});
    Store({ru.get(), en.get()});
    const TBookBuildReport report = BuildBook(Path("mixed.cbk"), db, numbers, nullptr);
    CurrentVariant = saved;
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(At(gtEnglish, {"11-15"}).key, At(gtRussian, {"c3-d4"}).key);
    EXPECT_EQ(ReadBytes(Path("mixed.cbk")),
              SortedBook({With(At(gtRussian, {"c3-d4"}), 1, 0, 1, 0),
                          With(At(gtRussian, {"c3-d4", "f6-e5"}), 0, 0, 1, 0),
                          With(At(gtRussian, {"c3-d4", "f6-e5", "d4:f6"}), 0, 0, 1, 0),
                          With(At(gtEnglish, {"11-15", "24-19"}), 1, 0, 0, 0)}));
}

TEST_F(BookBuild, ARebuildKeepsCommentsAndTheLargerMark) {
    // The book has the position after c3-d4 d6-c5 with comment 5 and "??"; the game's "!!" loses.
    // A pair only the file has keeps everything, unread bytes included.
    TRec kept = With(At(gtRussian, {"g3-h4"}), 3, 2, 1, 0, 9);
    kept.low = 17;
    kept.high = -5;
    kept.reserved = 0xEE;
    WriteBytes(Path("tree.cbk"), SortedBook({With(At(gtRussian, {"c3-d4", "d6-c5"}), 0, 0, 0, 7, 5), kept}));
    auto g = MainLine(gtRussian, grWhiteWins, {"c3-d4"});
    AddMove(*g, 1, "d6-c5", true, 1);
    Store({g.get()});
    ASSERT_TRUE(BuildBook(Path("tree.cbk"), db, numbers, nullptr).ok);
    EXPECT_EQ(ReadBytes(Path("tree.cbk")),
              SortedBook({With(At(gtRussian, {"c3-d4"}), 1, 0, 0, 0),
                          With(At(gtRussian, {"c3-d4", "d6-c5"}), 1, 0, 0, 7, 5), kept}));
}

TEST_F(BookBuild, CountersStopAt65535) {
    TRec d4 = With(At(gtRussian, {"c3-d4"}), 65534, 65535, 0, 0);
    TRec b4 = With(At(gtRussian, {"a3-b4"}), 40000, 0, 0, 0);
    // The file itself holds the a3-b4 pair twice: its sum passes the limit too.
    Bytes file = SortedBook({d4, b4});
    const Bytes again = RecordBytes(b4);
    file.insert(file.end(), again.begin(), again.end());
    WriteBytes(Path("tree.cbk"), file);
    auto w1 = MainLine(gtRussian, grWhiteWins, {"c3-d4"});
    auto w2 = MainLine(gtRussian, grWhiteWins, {"c3-d4"});
    auto dr = MainLine(gtRussian, grDraw, {"c3-d4"});
    Store({w1.get(), w2.get(), dr.get()});
    ASSERT_TRUE(BuildBook(Path("tree.cbk"), db, numbers, nullptr).ok);
    EXPECT_EQ(ReadBytes(Path("tree.cbk")),
              SortedBook({With(d4, 65535, 65535, 0, 0), With(b4, 65535, 0, 0, 0)}));
}

TEST_F(BookBuild, AnEmptyListRewritesTheBookSortedAndMerged) {
    TRec a = With(At(gtRussian, {"a3-b4"}), 1, 2, 3, 2, 4);
    a.low = 11;
    a.high = 12;
    a.reserved = 13;
    TRec a2 = With(a, 10, 20, 30, 9, 6); // a mark above 7 counts as none
    a2.low = 21;
    a2.high = 22;
    a2.reserved = 23;
    const TRec c = With(At(gtRussian, {"c3-d4"}), 0, 0, 1, 0);
    TRec cOther = c;
    cOther.side = 0; // the same key with the other side stays apart
    Bytes file;
    for (const TRec& r : {c, a, cOther, a2}) {
        const Bytes b = RecordBytes(r);
        file.insert(file.end(), b.begin(), b.end());
    }
    file.insert(file.end(), {1, 2, 3}); // a partial record at the end is dropped
    WriteBytes(Path("tree.cbk"), file);
    TRec merged = With(a, 11, 22, 33, 2, 6); // the earlier record's bytes 24, 26 and 29
    const TBookBuildReport report = BuildBookFile(Path("tree.cbk"), db, {}, nullptr, prompt);
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.records, 3);
    EXPECT_EQ(ReadBytes(Path("tree.cbk")), SortedBook({merged, c, cOther}));
}

TEST_F(BookBuild, AMissingFileAndGamesWithoutMovesGiveAnEmptyBook) {
    auto g = MainLine(gtRussian, grWhiteWins, {});
    Store({g.get()});
    const TBookBuildReport report = BuildBookFile(Path("new.cbk"), db, numbers, nullptr, prompt);
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Total 0"});
    EXPECT_TRUE(std::filesystem::exists(Path("new.cbk")));
    EXPECT_EQ(ReadBytes(Path("new.cbk")), Bytes{});
}

TEST_F(BookBuild, DamagedGamesAreLeftOutAndCounted) {
    auto g1 = MainLine(gtRussian, grWhiteWins, {"c3-d4"});
    auto g2 = MainLine(gtRussian, grWhiteWins, {"a3-b4"});
    auto g3 = MainLine(gtRussian, grDraw, {"g3-h4"});
    Store({g1.get(), g2.get(), g3.get()});
    // Game 2's first node claims a parent past the node count.
    TGameIndexRecord r;
    ASSERT_EQ(ReadIndexRecord(db, 2, r), TDbStatus::Ok);
    const std::uint8_t bad[2] = {128 + 16 + 8, 9};
    ASSERT_TRUE(db.moveFile.WriteAt(r.offset + 1, bad, 2));
    numbers.push_back(99); // no such game
    std::vector<int> progress;
    std::vector<std::int32_t> many;
    for (int i = 0; i < 250; ++i)
        many.push_back(numbers[i % numbers.size()]);
    const TBookBuildReport report = BuildBookFile(
        Path("tree.cbk"), db, many, [&](int n) { progress.push_back(n); }, prompt);
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.skippedGames, 125);
    EXPECT_EQ(progress, (std::vector<int>{100, 200}));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].rfind("Total 2\n", 0), 0u) << prompt.messages[0];
    EXPECT_NE(prompt.messages[0].find("125"), std::string::npos);
    EXPECT_EQ(ReadBytes(Path("tree.cbk")), SortedBook({With(At(gtRussian, {"c3-d4"}), 63, 0, 0, 0),
                                                       With(At(gtRussian, {"g3-h4"}), 0, 62, 0, 0)}));
}

TEST_F(BookBuild, AnUnreadableTargetIsReportedAndNothingIsWritten) {
    std::filesystem::create_directory(Path("folder.cbk"));
    auto g = MainLine(gtRussian, grWhiteWins, {"c3-d4"});
    Store({g.get()});
    const TBookBuildReport report = BuildBookFile(Path("folder.cbk"), db, numbers, nullptr, prompt);
    EXPECT_FALSE(report.ok);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("Is a directory"), std::string::npos) << prompt.messages[0];
    EXPECT_TRUE(std::filesystem::is_directory(Path("folder.cbk")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("folder.cbk")), {}), 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 4); // the folder and the database
}

TEST_F(BookBuild, AFailedWriteLeavesTheOldBookByteIdentical) {
    const Bytes old = SortedBook({With(At(gtRussian, {"c3-d4"}), 1, 2, 3, 2, 1)});
    WriteBytes(Path("tree.cbk"), old);
    std::vector<std::unique_ptr<TGame>> games;
    for (int i = 0; i < 40; ++i) {
        games.push_back(MainLine(gtRussian, grDraw, {"c3-d4", "b6-a5", "d4-c5", "d6:b4", "a3:c5"}));
        Store({games.back().get()});
    }
    const std::string target = Path("tree.cbk");
    int pipeFd[2];
    ASSERT_EQ(pipe(pipeFd), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The new book (6 records, 192 bytes) does not fit under a 100-byte limit.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit cap{100, 100};
        setrlimit(RLIMIT_FSIZE, &cap);
        TScriptedPrompt childPrompt;
        const TBookBuildReport report = BuildBookFile(target, db, numbers, nullptr, childPrompt);
        const std::string text = childPrompt.messages.empty() ? "" : childPrompt.messages[0];
        (void)!write(pipeFd[1], text.data(), text.size());
        _exit(report.ok ? 1 : 0);
    }
    close(pipeFd[1]);
    std::string message;
    char buf[256];
    for (ssize_t n; (n = read(pipeFd[0], buf, sizeof buf)) > 0;)
        message.append(buf, static_cast<std::size_t>(n));
    close(pipeFd[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the build reported success";
    EXPECT_NE(message.find("File too large"), std::string::npos) << message;
    EXPECT_NE(message.find("tree.cbk"), std::string::npos) << message;
    EXPECT_EQ(ReadBytes(target), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 4); // the book and the database
}

TEST_F(BookBuild, TheCurrentVariantsBookIsReopened) {
    // The English book is built while Russian is played: the Russian book is open afterwards.
    const TGameType saved = CurrentVariant;
    CurrentVariant = gtRussian;
    WriteBytes(Path("ru.cbk"), SortedBook({At(gtRussian, {"c3-d4"})}));
    WriteText(Path("ru.cbn"), "header\r\nCentre\r\n");
    TBookSettings s;
    s.book[0] = Path("ru.cbk");
    s.book[1] = Path("en.cbk");
    s.useBook[0] = false;
    OpeningBook().SetSettings(s);
    OpenBook(prompt);
    ASSERT_TRUE(OpeningBook().IsOpen());
    auto g = MainLine(gtEnglish, grWhiteWins, {"11-15"});
    Store({g.get()});
    ASSERT_TRUE(BuildBookFile(Path("en.cbk"), db, numbers, nullptr, prompt).ok);
    EXPECT_TRUE(OpeningBook().IsOpen());
    EXPECT_EQ(OpeningBook().FileName(), Path("ru.cbk"));
    EXPECT_FALSE(OpeningBook().InUse());
    EXPECT_EQ(OpeningBook().RecordCount(), 1);
    EXPECT_EQ(OpeningBook().Comments(), (std::vector<std::string>{"header", "Centre"}));
    // Switching to English opens the book just built.
    OpeningBook().Open(gtEnglish, prompt);
    EXPECT_EQ(OpeningBook().FileName(), Path("en.cbk"));
    EXPECT_TRUE(OpeningBook().InUse());
    EXPECT_EQ(OpeningBook().RecordCount(), 1);
    EXPECT_TRUE(OpeningBook().Comments().empty());
    // A variant whose book is missing leaves the book closed, silently.
    OpeningBook().Open(gtBrazilian, prompt);
    EXPECT_FALSE(OpeningBook().IsOpen());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Total 1"});
    CurrentVariant = saved;
}

// Random games of every variant, with set-up starts, variations, marks and reused slots: the book
// holds what a walk of each game by its stored positions gives.
TEST_F(BookBuild, RandomGamesOfEveryVariant) {
    std::vector<std::unique_ptr<TGame>> games;
    test_support::TRandomGameOptions options;
    options.moves = 60;
    options.freeSlots = true;
    std::string error;
    ASSERT_TRUE(test_support::WriteRandomDatabase(Path("random.vqb"), 80, 2024, options, &games, &error))
        << error;
    OpenDatabase(Path("random.vqb"), db, TOpenMode::ReadOnly);
    ASSERT_TRUE(db.open);
    for (int n = 1; n <= 80; ++n)
        numbers.push_back(n);

    struct TWant {
        int result1 = 0, draws = 0, result3 = 0, mark = 0;
    };
    std::map<std::pair<TPositionKey, int>, TWant> want;
    for (const auto& g : games) {
        for (int n = 1; n <= g->header.nodeCount; ++n) {
            if (g->nodes[n].free) continue;
            TBoard b;
            ASSERT_TRUE(PositionAtNode(n, *g, b));
            int side = g->header.startSide;
            bool mainLine = true;
            for (int k = n; k != 0; k = g->nodes[k].parent) {
                side ^= 1;
                mainLine = mainLine && g->nodes[k].mainLine;
            }
            TWant& w = want[{KeyOf(b), side}];
            const int result = g->header.result;
            if (mainLine && result == grWhiteWins) ++w.result1;
            if (mainLine && result == grDraw) ++w.draws;
            if (mainLine && result == grBlackWins) ++w.result3;
            const int moveMark = g->nodes[n].annotation & 15;
            const int mark = moveMark <= 3 ? moveMark : moveMark <= 6 ? moveMark + 1 : 0;
            w.mark = std::max(w.mark, mark);
        }
    }
    std::vector<TRec> recs;
    for (const auto& [at, w] : want) {
        TRec r;
        r.key = at.first;
        r.side = at.second;
        recs.push_back(With(r, w.result1, w.draws, w.result3, w.mark));
    }
    const TBookBuildReport report = BuildBook(Path("random.cbk"), db, numbers, nullptr);
    ASSERT_TRUE(report.ok) << report.error;
    EXPECT_EQ(report.skippedGames, 0);
    EXPECT_EQ(report.records, static_cast<std::int64_t>(recs.size()));
    EXPECT_EQ(ReadBytes(Path("random.cbk")), SortedBook(recs));
}
