// Duplicate matching: which games are listed and which get the deleted mark, with and without Fast,
// over hand-made main lines and over random legal games with planted copies.

#include "gamedb/duplicate_match.h"
#include "gamedb/game_block.h"
#include "gamedb/game_index_record.h"
#include "gamedb/progress.h"
#include "gamedb_test_util.h"
#include "rules/notation.h"
#include "tests/support/deleted_marks.h"
#include "tests/support/real_copies.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

using namespace gamedb_test;

namespace {

TMove Plain(int from, int to) {
    TMove m;
    m.from = static_cast<std::uint8_t>(from);
    m.squares[0] = static_cast<std::uint8_t>(to);
    return m;
}
TMove Jump(int from, int over, int to) {
    TMove m;
    m.from = static_cast<std::uint8_t>(from);
    m.captures = 1;
    m.squares[0] = static_cast<std::uint8_t>(over);
    m.squares[1] = static_cast<std::uint8_t>(to);
    return m;
}

// The square shown as `number` in a numbering variant.
int Shown(int number, TGameType variant) {
    for (int s = 1; s <= SquaresOf(variant); ++s)
        if (DisplayedSquareNumber(s, variant) == number) return s;
    ADD_FAILURE() << "no square " << number;
    return 1;
}
TMove ShownJump(int from, int to, TGameType v) {
    return Jump(Shown(from, v), Shown(from, v) == 1 ? 2 : 1, Shown(to, v));
}

TMove ShownPlain(int from, int to, TGameType v) {
    return Plain(Shown(from, v), Shown(to, v));
}

struct TSpec {
    std::vector<TMove> moves;
    std::string white = "White", black = "Black", tournament = "Cup";
    int round = 1, subround = 0, year = 1999;
    TGameType variant = gtRussian;
    std::optional<TPositionKey> start; // the variant's standard start when not given
};

// A game whose main line is `s.moves` (the store checks squares, not legality).
std::unique_ptr<TGame> MakeGame(const TSpec& s) {
    auto g = NewGame(s.variant);
    if (s.start) g->startKey = *s.start;
    for (std::size_t i = 0; i < s.moves.size(); ++i) {
        const int n = int(i) + 1;
        g->nodes[n] = s.moves[i];
        g->nodes[n].parent = static_cast<std::uint16_t>(n - 1);
        g->nodes[n].mainLine = 1;
        g->nodes[n].free = 0;
    }
    g->header.nodeCount = static_cast<std::uint16_t>(s.moves.size());
    g->white = s.white;
    g->black = s.black;
    g->tournament = s.tournament;
    g->header.round = static_cast<std::uint8_t>(s.round);
    g->header.subround = static_cast<std::uint8_t>(s.subround);
    g->header.year = static_cast<std::uint16_t>(s.year);
    return g;
}

const std::vector<TMove> A = {Plain(9, 13), Plain(22, 18), Plain(13, 17), Plain(21, 14)};
const std::vector<TMove> B = {Plain(10, 14), Plain(23, 19), Plain(14, 18)};
const std::vector<TMove> AB = {Plain(9, 13), Plain(22, 18)};

std::vector<TMove> With(std::vector<TMove> moves, const TMove& m) {
    moves.push_back(m);
    return moves;
}

struct TOutcome {
    std::vector<int> listed, deleted;
    bool operator==(const TOutcome&) const = default;
};
std::ostream& operator<<(std::ostream& os, const TOutcome& o) {
    os << "listed";
    for (int n : o.listed)
        os << ' ' << n;
    os << ", deleted";
    for (int n : o.deleted)
        os << ' ' << n;
    return os;
}

class DuplicateMatch : public TDbTest {
  protected:
    TGameDatabase db;
    TGameList list;

    void TearDown() override {
        CloseDatabase(db);
        TDbTest::TearDown();
    }
    void Store(const std::vector<TSpec>& specs) {
        ASSERT_TRUE(CreateDatabase(Path("m.vqb"), db));
        for (const TSpec& s : specs) {
            auto g = MakeGame(s);
            ASSERT_EQ(WriteGame(*g, 0, db, false), TDbStatus::Ok);
            ++db.gameCount;
        }
    }
    TOutcome Run(const TDuplicateOptions& o, TDuplicateResult* result = nullptr) {
        EXPECT_TRUE(test_support::SetDeletedMarks(db, {}));
        const TDuplicateResult r = MatchDuplicateGames(db, list, o, SilentProgress());
        EXPECT_EQ(r.status, TDbStatus::Ok);
        EXPECT_EQ(r.listed, list.Count());
        if (result) *result = r;
        TOutcome out;
        for (const TGameListEntry& e : list.Entries())
            out.listed.push_back(e.gameNumber);
        out.deleted = test_support::DeletedMarks(db);
        return out;
    }
};

TDuplicateOptions Only(bool moves, bool names, bool year, bool tournament) {
    TDuplicateOptions o;
    o.moves = moves;
    o.names = names;
    o.year = year;
    o.tournament = tournament;
    return o;
}

struct TCase {
    const char* name;
    std::vector<TSpec> games;
    TDuplicateOptions options; // Fast is tried both ways
    TOutcome expected;
};

TSpec Moves(std::vector<TMove> m) {
    TSpec s;
    s.moves = std::move(m);
    return s;
}
TSpec Named(std::vector<TMove> m, std::string white, std::string black) {
    TSpec s = Moves(std::move(m));
    s.white = std::move(white);
    s.black = std::move(black);
    return s;
}
TSpec Round(int round, int subround) {
    TSpec s = Moves(A);
    s.round = round;
    s.subround = subround;
    return s;
}
TSpec International(std::vector<TMove> m) {
    TSpec s = Moves(std::move(m));
    s.variant = gtInternational;
    return s;
}
TSpec InVariant(TGameType variant, std::vector<TMove> m) {
    TSpec s = Moves(std::move(m));
    s.variant = variant;
    return s;
}
// The 8x8 start with the man on square 1 taken off: a position set up from a FEN.
TPositionKey SetUpKey() {
    TBoard b = StartPosition64;
    b[1] = 0;
    TPositionKey k;
    PositionToKey(b, k);
    return k;
}
TSpec SetUp(TSpec s) {
    s.start = SetUpKey();
    return s;
}
TDuplicateOptions Partial(TDuplicateOptions o) {
    o.partialLength = true;
    return o;
}
TDuplicateOptions NoCaptures(TDuplicateOptions o) {
    o.withoutCaptures = true;
    return o;
}

std::vector<TCase> Cases() {
    const TDuplicateOptions all = Only(true, true, true, true);
    const TDuplicateOptions moves = Only(true, false, false, false);
    constexpr TGameType I = gtInternational;
    TSpec otherYear = Moves(A);
    otherYear.year = 2001;
    return {
        {"three copies with every criterion: the first kept, the later two marked",
         {Moves(A), Moves(B), Moves(A), otherYear, Moves(A)},
         all,
         {{1, 3, 5}, {3, 5}}},
        {"a copy from another year is a copy only when the year is not compared",
         {Moves(A), otherYear},
         moves,
         {{1, 2}, {2}}},
        {"a prefix game under complete length: no match", {Moves(A), Moves(B), Moves(AB)}, moves, {{}, {}}},
        {"a prefix game under partial length matches; the earlier, longer game is kept",
         {Moves(A), Moves(B), Moves(AB)},
         Partial(moves),
         {{1, 3}, {3}}},
        {"a partial match is by whole moves: 9-1 does not begin 9-13",
         {International({ShownPlain(9, 1, I)}), International({ShownPlain(9, 13, I), ShownPlain(40, 35, I)}),
          International({ShownPlain(9, 13, I)})},
         Partial(moves),
         {{2, 3}, {3}}},
        {"games without moves never match by moves, under complete length",
         {Moves({}), Moves(B), Moves({}), Moves({})},
         moves,
         {{}, {}}},
        {"games without moves never match by moves, whatever else agrees",
         {Moves({}), Moves({})},
         all,
         {{}, {}}},
        {"games without moves never match under partial length",
         {Moves({}), Moves(B), Moves({})},
         Partial(moves),
         {{}, {}}},
        {"the same moves in another variant are another game",
         {Moves(A), InVariant(gtBrazilian, A), InVariant(gtCzech, A), Moves(A)},
         moves,
         {{1, 4}, {4}}},
        {"the same moves from a set-up start are another game; set-up copies still match",
         {SetUp(Moves(A)), Moves(A), SetUp(Moves(A)), Moves(B)},
         moves,
         {{1, 3}, {3}}},
        {"a beginning from another start does not begin a game",
         {Moves(A), SetUp(Moves(AB)), InVariant(gtBrazilian, AB)},
         Partial(moves),
         {{}, {}}},
        {"an English game set up and played 21-17 is no copy of Italian games",
         {InVariant(gtItalian, {ShownPlain(21, 17, gtItalian)}),
          SetUp(InVariant(gtEnglish, {ShownPlain(21, 17, gtEnglish)})),
          InVariant(gtItalian, {ShownPlain(21, 17, gtItalian)})},
         moves,
         {{1, 3}, {3}}},
        {"without captures, a main line of captures only leaves nothing to compare",
         {Moves({Jump(9, 13, 18)}), Moves({Jump(10, 14, 19)}), Moves({Jump(9, 13, 18)})},
         NoCaptures(moves),
         {{}, {}}},
        {"games differing only in a capture: exact match keeps them apart",
         {Moves(With(AB, Jump(13, 17, 22))), Moves(With(AB, Jump(13, 18, 23)))},
         moves,
         {{}, {}}},
        {"games differing only in a capture match without captures",
         {Moves(With(AB, Jump(13, 17, 22))), Moves(With(AB, Jump(13, 18, 23)))},
         NoCaptures(moves),
         {{1, 2}, {2}}},
        {"round 1.12 and round 11.2 are different rounds", {Round(1, 12), Round(11, 2)}, all, {{}, {}}},
        {"the same round matches", {Round(1, 12), Round(1, 12)}, all, {{1, 2}, {2}}},
        {"Ann against aSmith is not Anna against Smith",
         {Named(A, "Ann", "aSmith"), Named(A, "Anna", "Smith")},
         all,
         {{}, {}}},
        {"numeric captures 1x21 and 12x1 differ",
         {International({ShownJump(1, 21, I)}), International({ShownJump(12, 1, I)})},
         moves,
         {{}, {}}},
        {"numeric captures do not run into the next move",
         {International({ShownJump(1, 2, I), ShownJump(3, 45, I)}),
          International({ShownJump(12, 3, I), ShownJump(4, 5, I)})},
         moves,
         {{}, {}}},
        {"a game matching a copy listed before is not listed again",
         // Game 3 begins games 1 and 2, which do not begin each other: 3 goes with 1 only.
         {Moves(A), Moves(With(AB, Plain(12, 16))), Moves(AB)},
         Partial(moves),
         {{1, 3}, {3}}},
        {"only names compared: games with other moves match",
         {Named(A, "Kim", "Lee"), Named(B, "Kim", "Lee"), Named(A, "Lee", "Kim")},
         Only(false, true, false, false),
         {{1, 2}, {2}}},
    };
}

TEST_F(DuplicateMatch, CasesAgreeWithAndWithoutFast) {
    for (const TCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        CloseDatabase(db);
        Store(c.games);
        for (const bool fast : {false, true}) {
            SCOPED_TRACE(fast ? "Fast" : "not Fast");
            TDuplicateOptions o = c.options;
            o.fast = fast;
            EXPECT_EQ(Run(o), c.expected);
        }
    }
}

TEST(DuplicateKeys, TheVariantsCasesShareTheirMoveTexts) {
    // The cases of other variants and starts mean something only when the move texts agree.
    EXPECT_EQ(MoveToText(ShownPlain(21, 17, gtEnglish), gtEnglish, false, "x"),
              MoveToText(ShownPlain(21, 17, gtItalian), gtItalian, false, "x"));
    for (const TGameType v : {gtBrazilian, gtCzech})
        EXPECT_EQ(MoveToText(A[0], v, false, "x"), MoveToText(A[0], gtRussian, false, "x")) << int(v);
}

TEST_F(DuplicateMatch, MovesOffUnderPartialLengthFindsNothingWithFast) {
    // With "Moves" off every moves key is empty: no two agree under "Partial length", so Fast has
    // only runs of one game; without Fast the names alone decide.
    Store({Named(A, "Kim", "Lee"), Named(B, "Kim", "Lee")});
    TDuplicateOptions o = Partial(Only(false, true, false, false));
    o.fast = true;
    EXPECT_EQ(Run(o), (TOutcome{{}, {}}));
    o.fast = false;
    EXPECT_EQ(Run(o), (TOutcome{{1, 2}, {2}}));
}

TEST(DuplicateFastRuns, EveryRecordInOneRunAndTheWalkEnds) {
    // Empty keys under "Partial length" match nothing, not even themselves: a walk that did not
    // start each run where the last one ended would go round for ever on them.
    auto rec = [](std::string key) {
        TDoubRec r;
        r.movesKey = std::move(key);
        return r;
    };
    const std::vector<TDoubRec> records = {rec(""),
                                           rec(""),
                                           rec("a\x01"),
                                           rec("a\x01"),
                                           rec("a\x01"
                                               "b\x01"),
                                           rec("c\x01")};
    for (const bool partial : {false, true}) {
        SCOPED_TRACE(partial ? "partial" : "complete");
        std::vector<std::pair<std::size_t, std::size_t>> runs;
        TDuplicateOptions o;
        o.partialLength = partial;
        ForEachFastRun(records, o, [&](std::size_t lo, std::size_t hi) {
            runs.emplace_back(lo, hi);
            return runs.size() <= records.size(); // bound: a run per record at most
        });
        ASSERT_LE(runs.size(), records.size());
        std::size_t next = 0;
        for (const auto& [lo, hi] : runs) {
            EXPECT_EQ(lo, next);
            EXPECT_GE(hi, lo);
            next = hi + 1;
        }
        EXPECT_EQ(next, records.size());
        // Empty keys hold no move: runs of their own under either length.
        const auto expected =
            partial
                ? std::vector<std::pair<std::size_t, std::size_t>>{{0, 0}, {1, 1}, {2, 4}, {5, 5}}
                : std::vector<std::pair<std::size_t, std::size_t>>{{0, 0}, {1, 1}, {2, 3}, {4, 4}, {5, 5}};
        EXPECT_EQ(runs, expected);
    }
    // Without "Moves" the keys are not compared: one run under complete length, none longer
    // than a record under partial length.
    for (const bool partial : {false, true}) {
        TDuplicateOptions o;
        o.moves = false;
        o.partialLength = partial;
        std::vector<std::pair<std::size_t, std::size_t>> runs;
        ForEachFastRun(records, o, [&](std::size_t lo, std::size_t hi) {
            runs.emplace_back(lo, hi);
            return true;
        });
        EXPECT_EQ(runs.size(), partial ? records.size() : 1u);
        EXPECT_EQ(runs.back().second, records.size() - 1);
    }
}

TEST(DuplicateKeys, SortKeepsGameOrderAmongEqualKeys) {
    // Many equal keys: an unstable order could put a later copy first and mark the original.
    std::vector<TDoubRec> records;
    for (std::uint32_t n = 1; n <= 200; ++n) {
        TDoubRec r;
        r.gameNumber = n;
        r.movesKey = n % 3 == 0 ? "b\x01" : n % 3 == 1 ? "a\x01" : "\xE0\x01";
        records.push_back(r);
    }
    SortDoubRecs(records);
    for (std::size_t i = 1; i < records.size(); ++i) {
        const auto& p = records[i - 1];
        const auto& q = records[i];
        ASSERT_TRUE(p.movesKey < q.movesKey || (p.movesKey == q.movesKey && p.gameNumber < q.gameNumber));
    }
    EXPECT_EQ(records.back().movesKey, "\xE0\x01"); // bytes compare unsigned: 0xE0 after "b"
}

TEST(DuplicateKeys, MovesKeyFollowsTheMainLineOfEveryTree) {
    // The key against a walk written from the definition: at each node the first child in list
    // order that carries the main-line flag; none, and the walk ends.
    TRandom rng(23);
    for (int i = 0; i < 300; ++i) {
        const TGameType v = static_cast<TGameType>(1 + i % 7);
        TRandomTree t = MakeRandomTree(rng, v, 1 + rng.Below(60));
        TGame& g = *t.game;
        if (i % 5 == 0 && g.header.nodeCount > 2) g.nodes[1 + rng.Below(g.header.nodeCount)].mainLine = 0;
        for (const int mode : {0, 1}) {
            std::string expected;
            int node = 0;
            for (;;) {
                const TNodeList children = ListChildNodes(node, g);
                const auto it = std::find_if(children.begin(), children.end(),
                                             [&](std::uint16_t c) { return g.nodes[c].mainLine != 0; });
                if (it == children.end()) break;
                node = *it;
                if (mode == 1 && g.nodes[node].captures) continue;
                expected += MoveToText(g.nodes[node], v, false, "x") + KeySeparator;
            }
            ASSERT_EQ(DuplicateMovesKey(g, mode), expected) << "game " << i << " mode " << mode;
        }
    }
}

TEST_F(DuplicateMatch, RandomGamesWithPlantedCopiesAgreeWithAndWithoutFast) {
    // Random legal games of every variant, some set up, some without moves; some stored again
    // later: exact copies, copies under other names, and the same moves in another 8x8 variant or
    // from another start, which are not copies.
    ASSERT_TRUE(CreateDatabase(Path("r.vqb"), db));
    TRandom rng(7);
    std::vector<std::unique_ptr<TGame>> games;
    for (int n = 1; n <= 120; ++n) {
        if (n > 10 && rng.Percent(40)) {
            TGame copy = *games[std::size_t(rng.Below(int(games.size())))];
            const TGameType v = copy.header.variant;
            switch (rng.Below(4)) {
            case 1:
                copy.white = "Someone Else";
                break;
            case 2:
                if (v != gtInternational) copy.header.variant = static_cast<TGameType>(v % 5 + 1);
                break;
            case 3:
                if (copy.startKey != StandardKeyOf(v)) {
                    copy.startKey = StandardKeyOf(v);
                } else {
                    TBoard b;
                    KeyToPosition(copy.startKey, b);
                    b[1] = 0;
                    PositionToKey(b, copy.startKey);
                }
                break;
            default:
                break;
            }
            games.push_back(std::make_unique<TGame>(copy));
        } else {
            test_support::TRandomGameOptions o;
            o.moves = rng.Between(0, 12);
            games.push_back(std::move(RandomGame(rng, o).game));
        }
        ASSERT_EQ(WriteGame(*games.back(), 0, db, false), TDbStatus::Ok);
        ++db.gameCount;
    }
    // The copies as an independent rule sees them: same variant, start and main line, move for move.
    const std::vector<int> earliest = test_support::EarliestRealCopies(db);
    std::vector<int> realCopies;
    for (int n = 1; n < int(earliest.size()); ++n)
        if (earliest[std::size_t(n)] > 0) realCopies.push_back(n);
    ASSERT_GE(realCopies.size(), 10u);

    for (const TDuplicateOptions& base :
         {Only(true, false, false, false), Only(true, true, true, true),
          NoCaptures(Only(true, true, false, false)), Partial(Only(true, false, false, false)),
          Only(false, true, false, true)}) {
        TDuplicateOptions o = base;
        o.fast = false;
        const TOutcome slow = Run(o);
        o.fast = true;
        const TOutcome fast = Run(o);
        EXPECT_EQ(slow.deleted, fast.deleted);
        // The same groups, each first game before its copies; Fast lists them in key order.
        auto groups = [&](const TOutcome& out) {
            std::set<std::vector<int>> g;
            std::vector<int> cur;
            for (int n : out.listed) {
                if (!std::binary_search(out.deleted.begin(), out.deleted.end(), n) && !cur.empty()) {
                    g.insert(cur);
                    cur.clear();
                }
                cur.push_back(n);
            }
            if (!cur.empty()) g.insert(cur);
            return g;
        };
        EXPECT_EQ(groups(slow), groups(fast));
        std::set<int> once(slow.listed.begin(), slow.listed.end());
        EXPECT_EQ(once.size(), slow.listed.size()) << "a game listed twice";
        if (base.moves && !base.partialLength && !base.withoutCaptures) {
            // Exact moves over the complete length: only real copies are marked, and with the
            // moves alone every one of them.
            for (int n : slow.deleted)
                EXPECT_GT(earliest[std::size_t(n)], 0) << "game " << n << " is no copy";
            if (!base.names && !base.year && !base.tournament) {
                EXPECT_EQ(slow.deleted, realCopies);
            }
        }
    }
}

TEST_F(DuplicateMatch, DamagedGamesAreLeftOutAndNeverMarked) {
    Store({Moves({}), Moves({}), Moves({}), Moves(A)});
    // Game 2's block lies past the end of the move file; game 3's claims more nodes than it holds.
    TGameIndexRecord r;
    ASSERT_EQ(ReadIndexRecord(db, 2, r), TDbStatus::Ok);
    r.offset = 1u << 30;
    ASSERT_EQ(WriteIndexRecord(db, 2, r), TDbStatus::Ok);
    ASSERT_EQ(ReadIndexRecord(db, 3, r), TDbStatus::Ok);
    r.nodeCount = 40;
    ASSERT_EQ(WriteIndexRecord(db, 3, r), TDbStatus::Ok);
    TDuplicateResult result;
    EXPECT_EQ(Run(Only(true, false, false, false), &result), (TOutcome{{}, {}}));
    EXPECT_EQ(result.unreadable, 2);
}

TEST_F(DuplicateMatch, ReadOnlyDatabaseIsNotTouched) {
    Store({Moves(A), Moves(A)});
    list.Reset(2);
    CloseDatabase(db);
    OpenDatabase(Path("m.vqb"), db, TOpenMode::ReadOnly);
    ASSERT_TRUE(db.open);
    const TDuplicateResult r = MatchDuplicateGames(db, list, TDuplicateOptions{}, SilentProgress());
    EXPECT_EQ(r.status, TDbStatus::ReadOnly);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(test_support::DeletedMarks(db), std::vector<int>{});
}

// The progress texts in order.
class TTextProgress final : public IProgress {
  public:
    void BeginProgress(const std::string& caption, const std::string& text, std::int64_t maximum,
                       std::int64_t) override {
        begun.push_back(caption + "|" + text + "|" + std::to_string(maximum));
    }
    void StepProgress(std::int64_t position, std::int64_t) override { last = position; }
    void EndProgress() override { ++ended; }
    std::vector<std::string> begun;
    std::int64_t last = 0;
    int ended = 0;
};

TEST_F(DuplicateMatch, ProgressShowsEachStage) {
    std::vector<TSpec> specs(2500, Moves(B));
    Store(specs);
    TTextProgress p;
    TDuplicateOptions o;
    const TDuplicateResult r = MatchDuplicateGames(db, list, o, p);
    EXPECT_EQ(r.marked, 2499);
    const std::vector<std::string> expected = {"Match Games|Loading...|2500",
                                               "Match Games|Preparing, please wait...|2500",
                                               "Match Games|Matching...|2500"};
    EXPECT_EQ(p.begun, expected);
    EXPECT_EQ(p.ended, 1);
    o.fast = false;
    p.begun.clear();
    MatchDuplicateGames(db, list, o, p);
    ASSERT_EQ(p.begun.size(), 2u); // nothing to prepare without Fast
    EXPECT_EQ(p.begun.back(), "Match Games|Matching...|2500");
}

TEST_F(DuplicateMatch, ClosedDatabaseChangesNothing) {
    list.Reset(3);
    EXPECT_EQ(MatchDuplicateGames(db, list, TDuplicateOptions{}, SilentProgress()).status,
              TDbStatus::NotOpen);
    EXPECT_EQ(list.Count(), 3);
}

} // namespace
