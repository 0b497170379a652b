// The database search: a table of hand-made games and criteria, the mended faults, progress, and the
// fast search against the plain reference over random databases of every variant.

#include "gamedb/game_block.h"
#include "gamedb/game_index_record.h"
#include "gamedb/game_search.h"
#include "gamedb/search_pattern.h"
#include "gamedb/search_tree.h"
#include "platform/codepage.h"
#include "rules/variant_state.h"
#include "tests/gamedb/gamedb_test_util.h"
#include "tests/support/positions.h"
#include "tests/support/reference_game_search.h"

#include <functional>
#include <utility>

namespace {

using namespace gamedb_test;
using TFound = std::vector<std::pair<int, int>>; // game number, node

TFound Found(const TGameList& list) {
    TFound found;
    for (const TGameListEntry& e : list.Entries()) {
        EXPECT_EQ(e.selected, 0);
        found.emplace_back(e.gameNumber, e.node);
    }
    return found;
}

// The fast search, checked against the reference on the way.
TFound Search(const TGameDatabase& db, const TSearchCriteria& c) {
    TGameList fast, reference;
    RunGameSearch(db, fast, c, Progress());
    test_support::ReferenceGameSearch(db, reference, c);
    EXPECT_EQ(Found(fast), Found(reference)) << "the fast search and the reference differ";
    return Found(fast);
}

int SideAt(const TGame& g, int node) {
    int side = g.header.startSide ? 1 : 0;
    for (int n = node; n != 0; n = g.nodes[n].parent)
        side = 1 - side;
    return side;
}

// Appends the move `choice` (index into the legal moves) below `parent`; the first child of a node
// becomes its main line. Returns the new node.
int AddMove(TGame& g, int parent, const TMove& move) {
    bool hasChild = false;
    for (int n = 1; n <= g.header.nodeCount; ++n)
        hasChild |= !g.nodes[n].free && g.nodes[n].parent == parent;
    const int node = ++g.header.nodeCount;
    g.nodes[node] = move;
    g.nodes[node].parent = static_cast<std::uint16_t>(parent);
    g.nodes[node].mainLine = hasChild ? 0 : 1;
    g.nodes[node].free = 0;
    return node;
}

TMoveList MovesAt(const TGame& g, int node) {
    TBoard b;
    EXPECT_TRUE(PositionAtNode(node, g, b));
    TMoveList list;
    FindMoves(b, SideAt(g, node), list, g.header.variant);
    return list;
}

// Plays the listed choices one after the other below `parent`; returns the last node.
int Play(TGame& g, int parent, const std::vector<int>& choices) {
    for (int c : choices) {
        const TMoveList list = MovesAt(g, parent);
        parent = AddMove(g, parent, list.at(std::size_t(c) % list.size()));
    }
    return parent;
}

TBoard BoardAt(const TGame& g, int node) {
    TBoard b;
    EXPECT_TRUE(PositionAtNode(node, g, b));
    return b;
}

TSearchPattern PatternOf(const TBoard& b, int squares) {
    TSearchPattern p = AnyPattern();
    for (int i = 1; i <= squares; ++i)
        p[i] = b[i];
    return p;
}

std::unique_ptr<TGame> HeaderedGame(TGameType variant, const char* white, const char* black,
                                    const char* tournament, int year, int result) {
    auto g = NewGame(variant);
    g->white = Utf8ToCp1251(white);
    g->black = Utf8ToCp1251(black);
    g->tournament = Utf8ToCp1251(tournament);
    g->header.year = static_cast<std::uint16_t>(year);
    g->header.result = static_cast<std::uint8_t>(result);
    return g;
}

class GameSearch : public TDbTest {
  protected:
    TGameDatabase db;

    void SetUp() override {
        TDbTest::SetUp();
        ASSERT_TRUE(CreateDatabase(Path("search.vqb"), db));
    }
    void TearDown() override {
        CloseDatabase(db);
        TDbTest::TearDown();
    }
    int Add(TGame& g) {
        EXPECT_EQ(WriteGame(g, 0, db, true), TDbStatus::Ok);
        return ++db.gameCount;
    }
    void Patch(int n, const std::function<void(TGameIndexRecord&)>& change) {
        TGameIndexRecord r;
        ASSERT_EQ(ReadIndexRecord(db, n, r), TDbStatus::Ok);
        change(r);
        ASSERT_EQ(WriteIndexRecord(db, n, r), TDbStatus::Ok);
    }
};

// Five games: g1 and g4 share their moves, g2 has a variation, a comment and the deleted mark, g3 is
// International, gT reaches one position by two move orders (main line node 3, variation node 6).
class SearchCases : public GameSearch {
  protected:
    std::unique_ptr<TGame> g1, g2, g3, g4, gT;

    void SetUp() override {
        GameSearch::SetUp();
        g1 = HeaderedGame(gtRussian, "Иванов Пётр", "Smith, John", "Moscow Open", 1990, grWhiteWins);
        Play(*g1, 0, {0, 0, 0, 0, 0, 0});
        g2 = HeaderedGame(gtRussian, "Петрова Анна", "Smithson", "Riga Cup", 2000, grBlackWins);
        Play(*g2, 0, {1, 1, 1, 1, 1, 1});
        Play(*g2, 2, {2, 2});
        g2->commentAfter[3] = "a comment";
        g2->header.flags = gfDeleted;
        g3 = HeaderedGame(gtInternational, "Jones", "Brown", "Moscow Blitz", 2001, grDraw);
        Play(*g3, 0, {0, 0, 0, 0});
        g4 = HeaderedGame(gtRussian, "Kuznetsov", "Lee", "Kiev", 2005, grNone);
        Play(*g4, 0, {0, 0, 0, 0, 0, 0});
        gT = HeaderedGame(gtRussian, "Lee", "Kuznetsov", "Kiev Open", 2010, grWhiteOnTime);
        MakeTransposition(*gT);
        for (TGame* g : {g1.get(), g2.get(), g3.get(), g4.get(), gT.get()})
            Add(*g);
        // 300 full moves, and a tournament past the end of its list.
        Patch(4, [](TGameIndexRecord& r) {
            r.fullMoves = 300;
            r.tournament = 65000;
        });
    }

    // Side 0 plays a and b (two different pieces, the moves of neither disturbing the other), side 1
    // plays c between them: a c b in the main line, b c a in a variation from the start. Neither a nor
    // b is among the first two moves of the start, so no other game of the set reaches these
    // positions.
    static void MakeTransposition(TGame& g) {
        const TMoveList first = MovesAt(g, 0);
        for (std::size_t i = 2; i < first.size(); ++i) {
            for (std::size_t j = 2; j < first.size(); ++j) {
                if (i == j || first[i].from == first[j].from || first[i].To() == first[j].To()) continue;
                TGame trial = g;
                const int a = AddMove(trial, 0, first[i]);
                const TMoveList replies = MovesAt(trial, a);
                const int c = AddMove(trial, a, replies[0]);
                const TMoveList afterC = MovesAt(trial, c);
                const auto b = std::find_if(afterC.begin(), afterC.end(),
                                            [&](const TMove& m) { return m.SameMove(first[j]); });
                if (b == afterC.end()) continue;
                const int main3 = AddMove(trial, c, *b);
                const int v1 = AddMove(trial, 0, first[j]);
                const TMoveList repliesV = MovesAt(trial, v1);
                const auto cv = std::find_if(repliesV.begin(), repliesV.end(),
                                             [&](const TMove& m) { return m.SameMove(replies[0]); });
                if (cv == repliesV.end()) continue;
                const int v2 = AddMove(trial, v1, *cv);
                const TMoveList afterCv = MovesAt(trial, v2);
                const auto av = std::find_if(afterCv.begin(), afterCv.end(),
                                             [&](const TMove& m) { return m.SameMove(first[i]); });
                if (av == afterCv.end()) continue;
                const int v3 = AddMove(trial, v2, *av);
                if (BoardAt(trial, main3) != BoardAt(trial, v3) || main3 != 3 || v3 != 6) continue;
                g = trial;
                return;
            }
        }
        FAIL() << "no transposition found";
    }
};

TEST_F(SearchCases, HeaderCriteria) {
    const std::string upperOv = Utf8ToCp1251("ОВ");
    struct Row {
        const char* what;
        std::function<void(TSearchCriteria&)> set;
        TFound expected;
    } rows[] = {
        {"no condition", [](TSearchCriteria&) {}, {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}},
        {"Cyrillic substring of two names, other letter case",
         [&](TSearchCriteria& c) { c.whiteText = upperOv; },
         {{1, 0}, {2, 0}}},
        {"Latin substring, other letter case",
         [](TSearchCriteria& c) { c.blackText = "SMITH"; },
         {{1, 0}, {2, 0}}},
        {"White and Black as stored",
         [](TSearchCriteria& c) {
             c.whiteText = "smith";
             c.blackText = Utf8ToCp1251("иванов");
             c.results = {0, 0, 0, 1, 0, 0};
         },
         {}},
        {"ignore colours: 1-0 found as 0-1 with the names swapped",
         [](TSearchCriteria& c) {
             c.whiteText = "smith";
             c.blackText = Utf8ToCp1251("иванов");
             c.results = {0, 0, 0, 1, 0, 0};
             c.ignoreColours = true;
         },
         {{1, 0}}},
        {"ignore colours keeps draws and unknown results",
         [](TSearchCriteria& c) {
             c.whiteText = "brown";
             c.results = {0, 0, 1, 0, 0, 0};
             c.ignoreColours = true;
         },
         {{3, 0}}},
        {"300 full moves compared as 44", [](TSearchCriteria& c) { c.movesFrom = c.movesTo = 44; }, {{4, 0}}},
        {"fewer moves than 44 leave it out",
         [](TSearchCriteria& c) { c.movesTo = 43; },
         {{1, 0}, {2, 0}, {3, 0}, {5, 0}}},
        {"deleted only", [](TSearchCriteria& c) { c.deleted = true; }, {{2, 0}}},
        {"years inclusive",
         [](TSearchCriteria& c) {
             c.yearFrom = 1990;
             c.yearTo = 2000;
         },
         {{1, 0}, {2, 0}}},
        {"one year", [](TSearchCriteria& c) { c.yearFrom = c.yearTo = 2001; }, {{3, 0}}},
        {"with comments", [](TSearchCriteria& c) { c.comments = true; }, {{2, 0}}},
        {"with variations", [](TSearchCriteria& c) { c.variations = true; }, {{2, 0}, {5, 0}}},
        {"tournament substring", [](TSearchCriteria& c) { c.tournamentText = "MOSCOW"; }, {{1, 0}, {3, 0}}},
        {"a name past its list reads ERROR!!!",
         [](TSearchCriteria& c) { c.tournamentText = "error"; },
         {{4, 0}}},
        {"result 1-0t only", [](TSearchCriteria& c) { c.results = {0, 0, 0, 0, 1, 0}; }, {{5, 0}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TSearchCriteria c;
        row.set(c);
        EXPECT_EQ(Search(db, c), row.expected);
        // The one-game header test agrees.
        for (int n = 1; n <= db.gameCount; ++n) {
            TQuickGameHeader h;
            ASSERT_EQ(ReadQuickHeader(db, n, h), TDbStatus::Ok);
            const bool listed =
                std::find(row.expected.begin(), row.expected.end(), std::pair{n, 0}) != row.expected.end();
            EXPECT_EQ(MatchSearchHeader(c, h.header, h.white, h.black, h.tournament), listed) << n;
        }
    }
}

TEST_F(SearchCases, PositionCriteria) {
    const TSearchPattern afterG1Ply1 = PatternOf(BoardAt(*g1, 1), 32);
    TBoard flipped = BoardAt(*g1, 2);
    FlipBoard(flipped, 32);
    struct Row {
        const char* what;
        std::function<void(TSearchCriteria&)> set;
        TFound expected;
    } rows[] = {
        {"all any, both sides: every 8x8 game at its start",
         [](TSearchCriteria&) {},
         {{1, 0}, {2, 0}, {4, 0}, {5, 0}}},
        {"all any on 10x10", [](TSearchCriteria& c) { c.board = TSearchBoard::b100; }, {{3, 0}}},
        {"an 8x8 game is not found by a 10x10 pattern empty past square 32",
         [](TSearchCriteria& c) {
             c.board = TSearchBoard::b100;
             for (int i = 33; i <= 50; ++i)
                 c.pattern[i] = 0;
         },
         {}},
        {"the drawing kinds of 8x8 compare alike",
         [](TSearchCriteria& c) { c.board = TSearchBoard::b64e; },
         {{1, 0}, {2, 0}, {4, 0}, {5, 0}}},
        {"Black moves alone",
         [&](TSearchCriteria& c) {
             c.pattern = afterG1Ply1;
             c.whiteMoves = false;
         },
         {{1, 1}, {4, 1}}},
        {"White moves alone misses a position with side 1 to move",
         [&](TSearchCriteria& c) {
             c.pattern = afterG1Ply1;
             c.blackMoves = false;
         },
         {}},
        {"no side box finds nothing", [](TSearchCriteria& c) { c.whiteMoves = c.blackMoves = false; }, {}},
        {"reversed pattern with side 0 to move",
         [&](TSearchCriteria& c) {
             c.pattern = PatternOf(flipped, 32);
             c.whiteMoves = false;
             c.reversed = true;
         },
         {{1, 2}, {4, 2}}},
        {"the same without Reversed",
         [&](TSearchCriteria& c) {
             c.pattern = PatternOf(flipped, 32);
             c.whiteMoves = false;
         },
         {}},
        {"a match only in a variation",
         [&](TSearchCriteria& c) { c.pattern = PatternOf(BoardAt(*gT, 4), 32); },
         {{5, 4}}},
        {"two matches: the later in walk order",
         [&](TSearchCriteria& c) { c.pattern = PatternOf(BoardAt(*gT, 3), 32); },
         {{5, 6}}},
        {"header tests still apply",
         [&](TSearchCriteria& c) {
             c.pattern = afterG1Ply1;
             c.whiteText = "kuz";
         },
         {{4, 1}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TSearchCriteria c;
        c.position = true;
        row.set(c);
        EXPECT_EQ(Search(db, c), row.expected);
    }
}

TEST(SearchPattern, ReversedOverTheChosenSquares) {
    TSearchPattern p = AnyPattern();
    p[1] = 1;
    p[2] = -2;
    p[5] = 0;
    const TSearchPattern r32 = ReversedPattern(p, 32), r50 = ReversedPattern(p, 50);
    EXPECT_EQ(r32[32], -1);
    EXPECT_EQ(r32[31], 2);
    EXPECT_EQ(r32[28], 0);
    EXPECT_EQ(r32[1], sqAny);
    EXPECT_EQ(r50[50], -1);
    EXPECT_EQ(r50[49], 2);
    EXPECT_EQ(r50[32], sqAny);
    EXPECT_EQ(ReversedPattern(r32, 32), p);

    const TBoard b = test_support::BoardFromSquares("w1 B2");
    EXPECT_TRUE(MatchSearchPattern(p, test_support::BoardFromSquares("w1 B2 w9"), 32));
    EXPECT_FALSE(MatchSearchPattern(p, test_support::BoardFromSquares("w1 B2 w5"), 32));
    EXPECT_FALSE(MatchSearchPattern(p, test_support::BoardFromSquares("W1 B2"), 32));
    EXPECT_TRUE(MatchReversedPattern(p, test_support::BoardFromSquares("b32 W31"), 32));
    EXPECT_FALSE(MatchReversedPattern(p, b, 32));
}

// Games are walked under their own variant, whatever the main window plays: a Russian man reaching
// square 29 is crowned, which International rules (crowning past 45) would not do.
TEST_F(GameSearch, WalksEachGameUnderItsOwnVariant) {
    auto g = NewGame(gtRussian);
    PositionToKey(test_support::BoardFromSquares("w25 b8"), g->startKey);
    const TMoveList moves = MovesAt(*g, 0);
    const auto crowning =
        std::find_if(moves.begin(), moves.end(), [](const TMove& m) { return m.To() > 28; });
    ASSERT_NE(crowning, moves.end());
    AddMove(*g, 0, *crowning);
    Add(*g);
    TSearchCriteria c;
    c.position = true;
    c.pattern[crowning->To()] = sqKing0;
    const TGameType saved = CurrentVariant;
    for (TGameType current : {gtInternational, gtItalian, gtRussian}) {
        CurrentVariant = current;
        EXPECT_EQ(Search(db, c), (TFound{{1, 1}})) << int(current);
    }
    CurrentVariant = saved;
}

TEST_F(GameSearch, DamagedGamesAreNotFoundAndTheRestAre) {
    for (int i = 0; i < 5; ++i) {
        auto g = NewGame(gtRussian);
        Play(*g, 0, {i, 0, 1});
        Add(*g);
    }
    TGameIndexRecord r2, r3;
    ASSERT_EQ(ReadIndexRecord(db, 2, r2), TDbStatus::Ok);
    ASSERT_EQ(ReadIndexRecord(db, 3, r3), TDbStatus::Ok);
    // Game 2: a start key that no board has.
    const std::uint8_t bad[2] = {1, 200};
    ASSERT_TRUE(db.moveFile.WriteAt(r2.offset, bad, 2));
    // Game 3 claims a node more than its block holds: the next game's bytes are not read as its own.
    Patch(3, [](TGameIndexRecord& r) { ++r.nodeCount; });
    // Game 4's block lies past the end of the move file.
    Patch(4, [&](TGameIndexRecord& r) { r.offset = static_cast<std::uint32_t>(db.moveFile.Size()); });

    TSearchCriteria c;
    EXPECT_EQ(Search(db, c).size(), 5u); // header tests read no moves
    c.position = true;
    EXPECT_EQ(Search(db, c), (TFound{{1, 0}, {5, 0}}));
    // Game 5 as game 3's block with a wrong variant byte: damaged as well.
    Patch(5, [](TGameIndexRecord& r) { r.variant = 9; });
    EXPECT_EQ(Search(db, c), (TFound{{1, 0}}));
}

TEST_F(GameSearch, ReplacesTheListWhateverItHeld) {
    for (int i = 0; i < 3; ++i) {
        auto g = NewGame(gtEnglish);
        Add(*g);
    }
    TGameList list;
    list.Append(7, 9);
    list.Entries()[0].selected = 1;
    RunGameSearch(db, list, TSearchCriteria{}, Progress());
    EXPECT_EQ(Found(list), (TFound{{1, 0}, {2, 0}, {3, 0}}));

    TGameDatabase closed;
    RunGameSearch(closed, list, TSearchCriteria{}, Progress());
    EXPECT_EQ(list.Count(), 0);
}

// A result byte outside the six codes is listed as "*", and only the "*" box finds it; it never
// indexes past the six flags.
TEST_F(GameSearch, ResultOutsideTheCodesCountsAsUnknown) {
    auto g = NewGame(gtRussian);
    Add(*g);
    Patch(1, [](TGameIndexRecord& r) { r.result = 200; });
    TSearchCriteria c;
    c.results = {1, 0, 0, 0, 0, 0};
    EXPECT_EQ(Search(db, c), (TFound{{1, 0}}));
    c.results = {0, 1, 1, 1, 1, 1};
    c.ignoreColours = true;
    EXPECT_EQ(Search(db, c), TFound{});
}

class TRecordingProgress final : public IProgress {
  public:
    std::vector<std::string> events;
    void BeginProgress(const std::string& caption, const std::string& text, std::int64_t maximum,
                       std::int64_t) override {
        events.push_back("begin " + caption + " / " + text + " / " + std::to_string(maximum));
    }
    void StepProgress(std::int64_t position, std::int64_t) override {
        events.push_back("step " + std::to_string(position));
    }
    void SetProgressText(const std::string& text) override { events.push_back(text); }
    void EndProgress() override { events.push_back("end"); }
};

TEST_F(GameSearch, ProgressEveryThousandGamesWithTheCountFound) {
    // Header tests read only the index: 2,500 records of every result.
    std::vector<TGameIndexRecord> records(2500);
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i].result = static_cast<std::uint8_t>(i * 7 % 6);
    ASSERT_EQ(ReplaceIndexFile(db, records), TDbStatus::Ok);
    ASSERT_EQ(db.gameCount, 2500);
    TSearchCriteria c;
    c.results = {0, 0, 0, 0, 0, 0};
    c.ignoreColours = true;
    c.results[grDraw] = 1;
    TGameList list;
    TRecordingProgress progress;
    RunGameSearch(db, list, c, progress);
    ASSERT_GT(list.Count(), 0);
    // The counts found before games 1001 and 2001.
    int before1001 = 0, before2001 = 0;
    for (const TGameListEntry& e : list.Entries()) {
        before1001 += e.gameNumber < 1001;
        before2001 += e.gameNumber < 2001;
    }
    EXPECT_EQ(progress.events,
              (std::vector<std::string>{"begin Search / Searching... / 2500", "Searching, found 0...",
                                        "step 1", "Searching, found " + std::to_string(before1001) + "...",
                                        "step 1001", "Searching, found " + std::to_string(before2001) + "...",
                                        "step 2001", "end"}));
}

// ---- The fast search against the reference ----

std::string RandomPart(TRandom& rng, const std::string& name) {
    if (name.empty()) return {};
    const int start = rng.Below(int(name.size()));
    std::string part = name.substr(std::size_t(start), std::size_t(rng.Between(1, 4)));
    for (char& ch : part)
        if (rng.Percent(50)) ch = static_cast<char>(Cp1251Upper(static_cast<unsigned char>(ch)));
    return part;
}

TSearchCriteria RandomCriteria(TRandom& rng, const TGameDatabase& db, TGame& scratch) {
    TSearchCriteria c;
    auto name = [&](const TNameList& list) {
        if (list.Empty() || !rng.Percent(25)) return std::string();
        return RandomPart(rng, list[std::size_t(rng.Below(int(list.Size())))]);
    };
    c.whiteText = name(db.players);
    c.blackText = name(db.players);
    c.tournamentText = name(db.tournaments);
    if (rng.Percent(30)) {
        c.yearFrom = static_cast<std::uint16_t>(rng.Between(1850, 2100));
        c.yearTo = static_cast<std::uint16_t>(rng.Between(c.yearFrom, 2150));
    }
    if (rng.Percent(20)) {
        c.movesFrom = static_cast<std::uint16_t>(rng.Between(0, 40));
        c.movesTo = static_cast<std::uint16_t>(rng.Between(c.movesFrom, 300));
    }
    for (auto& r : c.results)
        r = rng.Percent(85) ? 1 : 0;
    c.ignoreColours = rng.Percent(30);
    c.deleted = rng.Percent(10);
    c.comments = rng.Percent(15);
    c.variations = rng.Percent(15);
    c.position = rng.Percent(75);
    c.whiteMoves = rng.Percent(75);
    c.blackMoves = rng.Percent(75);
    c.reversed = rng.Percent(35);
    static constexpr TSearchBoard boards8[] = {TSearchBoard::b64, TSearchBoard::b64i, TSearchBoard::b64e};
    c.board = rng.Percent(30) ? TSearchBoard::b100 : boards8[rng.Below(3)];
    const int kind = rng.Below(10);
    if (kind < 6 && db.gameCount > 0) {
        // A position of a random node of a random game, partly "any", perhaps colour-reversed.
        const int n = rng.Between(1, db.gameCount);
        if (ReadGame(db, n, false, scratch) == TDbStatus::Ok) {
            std::vector<int> nodes{0};
            for (int i = 1; i <= scratch.header.nodeCount; ++i)
                if (scratch.InUse(i)) nodes.push_back(i);
            TBoard b;
            PositionAtNode(nodes[std::size_t(rng.Below(int(nodes.size())))], scratch, b);
            const int squares = SquaresOf(scratch.header.variant);
            c.board = squares == 50 ? TSearchBoard::b100 : boards8[rng.Below(3)];
            if (c.reversed && rng.Percent(50)) FlipBoard(b, squares);
            c.pattern = PatternOf(b, squares);
            const int anyPercent = rng.Percent(40) ? 0 : rng.Below(90);
            for (int i = 1; i <= squares; ++i)
                if (rng.Percent(anyPercent)) c.pattern[i] = sqAny;
        }
    } else if (kind < 9) {
        // A few fixed squares.
        const int fixed = rng.Between(1, 4);
        for (int i = 0; i < fixed; ++i)
            c.pattern[rng.Between(1, 50)] = static_cast<std::int8_t>(rng.Between(-2, 2));
    }
    return c;
}

TEST_F(GameSearch, FastSearchEqualsTheReferenceOnRandomDatabases) {
    CloseDatabase(db);
    auto scratch = std::make_unique<TGame>();
    int positionHits = 0, laterNodeHits = 0;
    for (std::uint32_t seed : {11u, 12u, 13u}) {
        SCOPED_TRACE(seed);
        test_support::TRandomGameOptions o;
        o.moves = 70;
        o.variationPercent = 15;
        o.freeSlots = seed == 12;
        o.setUpPercent = 30;
        const std::string name = Path("random" + std::to_string(seed) + ".vqb");
        ASSERT_TRUE(test_support::WriteRandomDatabase(name, 250, seed, o));
        OpenDatabase(name, db);
        ASSERT_EQ(db.gameCount, 250);
        // Some damaged blocks: a byte changed at random.
        TRandom rng(seed);
        for (int i = 0; i < 12; ++i) {
            TGameIndexRecord r;
            ASSERT_EQ(ReadIndexRecord(db, rng.Between(1, 250), r), TDbStatus::Ok);
            const std::uint8_t byte = static_cast<std::uint8_t>(rng.Below(256));
            ASSERT_TRUE(db.moveFile.WriteAt(r.offset + std::uint32_t(rng.Below(int(r.length))), &byte, 1));
        }
        for (int i = 0; i < 100; ++i) {
            const TSearchCriteria c = RandomCriteria(rng, db, *scratch);
            SCOPED_TRACE(i);
            const TFound found = Search(db, c);
            if (c.position) {
                positionHits += int(found.size());
                for (const auto& f : found)
                    laterNodeHits += f.second > 0;
            }
        }
        CloseDatabase(db);
    }
    // The random patterns do find games, and not only at their starts.
    EXPECT_GT(positionHits, 0);
    EXPECT_GT(laterNodeHits, 0);
}

// The compact decoder accepts exactly the blocks the store's reader accepts, and reads the same tree.
TEST(SearchTree, DecodesWhatTheStoreDecodes) {
    TRandom rng(77);
    auto g = std::make_unique<TGame>();
    auto back = std::make_unique<TGame>();
    auto tree = std::make_unique<TSearchTree>();
    int accepted = 0, rejected = 0;
    for (int i = 0; i < 400; ++i) {
        TRandomTree t = MakeRandomTree(rng, TGameType(1 + i % 7), rng.Between(0, 60));
        TMoveBytes mb;
        EncodeGameMoves(*t.game, mb);
        // Every third block damaged: a byte changed, cut short, or a node count too large.
        const int damage = i % 3 == 0 ? rng.Below(3) : -1;
        if (damage == 0)
            mb.bytes[std::size_t(rng.Below(int(mb.bytes.size())))] = std::uint8_t(rng.Below(256));
        if (damage == 1) mb.bytes.resize(std::size_t(rng.Below(int(mb.bytes.size()))));
        *back = TGame{};
        back->header.variant = t.game->header.variant;
        back->header.nodeCount = static_cast<std::uint16_t>(t.game->header.nodeCount + (damage == 2 ? 1 : 0));
        // First: a damaged block leaves the store's game with no nodes.
        const bool fast =
            !mb.bytes.empty() && DecodeSearchTree(mb.bytes.data(), mb.bytes.size(), back->header.variant,
                                                  back->header.nodeCount, *tree);
        const bool store = DecodeGameMoves(mb, *back) == TDecodeResult::Ok;
        ASSERT_EQ(fast, store) << i;
        (store ? accepted : rejected)++;
        if (!store) continue;
        TBoard start;
        KeyToPosition(back->startKey, start);
        EXPECT_EQ(tree->start, start);
        for (int n = 0; n <= back->header.nodeCount; ++n) {
            if (!back->InUse(n)) continue;
            const TNodeList children = ListChildNodes(n, *back);
            const TNodeList fastChildren(tree->children.begin() + tree->childStart[n],
                                         tree->children.begin() + tree->childStart[n + 1]);
            EXPECT_EQ(fastChildren, children) << i << " node " << n;
        }
    }
    EXPECT_GT(accepted, 0);
    EXPECT_GT(rejected, 0);
}

} // namespace
