// Opening, creating, saving and closing; where blocks go; what damaged or missing files do.

#include "gamedb/game_block.h"
#include "gamedb/game_index_record.h"
#include "gamedb_test_util.h"
#include "rules/variant_state.h"

#include <thread>

using namespace gamedb_test;

namespace {

std::unique_ptr<TGame> LineGame(int plies, const std::string& white = "W", const std::string& black = "B") {
    auto g = NewGame(gtRussian);
    g->white = white;
    g->black = black;
    TBoard b = StartPosition64;
    TMoveList list;
    for (int i = 1; i <= plies; ++i) {
        FindMoves(b, (i - 1) % 2, list, gtRussian);
        TMove m = list[0];
        m.parent = static_cast<std::uint16_t>(i - 1);
        m.mainLine = 1;
        g->nodes[i] = m;
        MakeMove(m, b, gtRussian);
    }
    g->header.nodeCount = static_cast<std::uint16_t>(plies);
    return g;
}

} // namespace

using Database = TDbTest;

TEST_F(Database, CreatedAndClosedAtOnce) {
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("new.vqb"), db));
    EXPECT_TRUE(db.open);
    EXPECT_EQ(db.gameCount, 0);
    // The name file exists from the start, so the database never looks incomplete.
    EXPECT_TRUE(std::filesystem::exists(Path("new.vqn")));
    CloseDatabase(db);
    EXPECT_FALSE(db.open);
    EXPECT_EQ(ReadBytes(Path("new.vqb")), Bytes{});
    EXPECT_EQ(ReadBytes(Path("new.vqm")), Bytes{20});
    EXPECT_EQ(ReadBytes(Path("new.vqn")), Bytes{});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 3); // no temporary files left
}

TEST_F(Database, MissingFilesAndCreateNew) {
    TGameDatabase db;
    db.prompt = &prompt;
    OpenDatabase(Path("none.vqb"), db);
    EXPECT_FALSE(db.open);
    EXPECT_TRUE(prompt.messages.empty());
    OpenOrCreateDatabase(Path("none.vqb"), db); // Cancel
    EXPECT_FALSE(db.open);
    // The question names the file it would make.
    EXPECT_EQ(prompt.questions,
              std::vector<std::string>{"The database " + Path("none.vqb") + " does not exist. Create new?"});
    prompt.answers = {true};
    OpenOrCreateDatabase(Path("none"), db); // the extension is optional
    ASSERT_TRUE(db.open);
    EXPECT_EQ(db.indexFileName, Path("none.vqb"));
    CloseDatabase(db);
}

TEST_F(Database, MissingNameFileKeepsTheGames) {
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("d.vqb"), db));
    auto g = LineGame(6, "Anna", "Boris");
    ASSERT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
    CloseDatabase(db);
    const Bytes index = ReadBytes(Path("d.vqb")), moves = ReadBytes(Path("d.vqm"));
    std::filesystem::remove(Path("d.vqn"));

    prompt.answers = {true, true}; // would agree to anything
    OpenOrCreateDatabase(Path("d.vqb"), db);
    ASSERT_TRUE(db.open);
    EXPECT_TRUE(prompt.questions.empty());
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].find("d.vqn"), std::string::npos);
    auto back = NewGame(gtRussian);
    ASSERT_EQ(ReadGame(db, 1, false, *back), TDbStatus::Ok);
    EXPECT_EQ(back->white, "ERROR!!!");
    EXPECT_EQ(back->header.nodeCount, 6);
    // New names would be numbered from 0 and rename game 1: nothing is written until the file is back.
    EXPECT_NE(prompt.messages[0].find("read-only"), std::string::npos);
    EXPECT_EQ(WriteGame(*LineGame(4, "Xavier", "Yuri"), 0, db, true), TDbStatus::ReadOnly);
    CloseDatabase(db);
    EXPECT_FALSE(std::filesystem::exists(Path("d.vqn")));
    EXPECT_EQ(ReadBytes(Path("d.vqb")), index);
    EXPECT_EQ(ReadBytes(Path("d.vqm")), moves);
}

TEST_F(Database, OneFileMissingIsNeverOverwritten) {
    for (const char* present : {"p.vqb", "p.vqm"}) {
        SCOPED_TRACE(present);
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        WriteBytes(Path(present), Bytes{20, 1, 2, 3});
        prompt = {};
        prompt.answers = {true};
        TGameDatabase db;
        db.prompt = &prompt;
        OpenOrCreateDatabase(Path("p.vqb"), db);
        EXPECT_FALSE(db.open);
        EXPECT_TRUE(prompt.questions.empty());
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_TRUE(prompt.messages[0].starts_with("Error Opening database")) << prompt.messages[0];
        const std::string missing = std::string(present) == "p.vqb" ? "p.vqm" : "p.vqb";
        EXPECT_NE(prompt.messages[0].find(Path(missing) + " is missing"), std::string::npos)
            << prompt.messages[0];
        EXPECT_EQ(ReadBytes(Path(present)), (Bytes{20, 1, 2, 3}));
    }
}

TEST_F(Database, DatabaseTypeByte) {
    struct TCase {
        Bytes moveFile;
        bool opens;
    };
    const TCase cases[] = {{{20}, true}, {{29}, true}, {{19}, false}, {{30}, false}, {{}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.moveFile.empty() ? -1 : c.moveFile[0]);
        WriteBytes(Path("t.vqb"), {});
        WriteBytes(Path("t.vqm"), c.moveFile);
        WriteText(Path("t.vqn"), "");
        prompt.messages.clear();
        TGameDatabase db;
        db.prompt = &prompt;
        OpenDatabase(Path("t.vqb"), db);
        EXPECT_EQ(db.open, c.opens);
        EXPECT_EQ(prompt.messages.empty(), c.opens);
        if (!c.opens) {
            EXPECT_EQ(prompt.messages, std::vector<std::string>{"Wrong database type"});
            EXPECT_FALSE(db.indexFile.IsOpen());
            EXPECT_FALSE(db.moveFile.IsOpen());
        }
        CloseDatabase(db);
    }
}

TEST_F(Database, WhereBlocksGo) {
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("b.vqb"), db));
    auto g = LineGame(10);
    ASSERT_EQ(WriteGame(*g, 0, db, false), TDbStatus::Ok);
    TGameIndexRecord r;
    ASSERT_EQ(ReadIndexRecord(db, 1, r), TDbStatus::Ok);
    EXPECT_EQ(r.offset, 1u); // right after the type byte
    const std::uint32_t len10 = r.length;
    EXPECT_EQ(r.fullMoves, 5);

    auto shorter = LineGame(8);
    ASSERT_EQ(WriteGame(*shorter, 1, db, false), TDbStatus::Ok);
    ASSERT_EQ(ReadIndexRecord(db, 1, r), TDbStatus::Ok);
    EXPECT_EQ(r.offset, 1u);
    EXPECT_LT(r.length, len10);
    EXPECT_EQ(r.fullMoves, 4);

    auto same = LineGame(8); // as long as the stored block
    ASSERT_EQ(WriteGame(*same, 1, db, false), TDbStatus::Ok);
    ASSERT_EQ(ReadIndexRecord(db, 1, r), TDbStatus::Ok);
    EXPECT_EQ(r.offset, 1u);

    auto longer = LineGame(12);
    ASSERT_EQ(WriteGame(*longer, 1, db, false), TDbStatus::Ok);
    ASSERT_EQ(ReadIndexRecord(db, 1, r), TDbStatus::Ok);
    EXPECT_EQ(r.offset, 1u + len10); // at the end; the old bytes stay unused
    EXPECT_EQ(IndexRecordCount(db), 1);
    EXPECT_EQ(db.moveFile.Size(), 1 + len10 + r.length);
    EXPECT_EQ(WriteGame(*g, 3, db, false), TDbStatus::NoSuchGame);
    CloseDatabase(db);
}

TEST_F(Database, BlockIsWrittenBeforeItsRecord) {
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("o.vqb"), db));
    auto g = LineGame(4);
    ASSERT_EQ(WriteGame(*g, 0, db, false), TDbStatus::Ok);
    const Bytes index = ReadBytes(Path("o.vqb"));
    // Let the move file grow no further: the longer game's block cannot be written.
    auto longer = LineGame(20);
    TDbStatus s;
    {
        test_support::TFileSizeLimit limit(static_cast<std::uint64_t>(db.moveFile.Size()));
        s = WriteGame(*longer, 1, db, false);
    }
    EXPECT_EQ(s, TDbStatus::IoError);
    EXPECT_EQ(ReadBytes(Path("o.vqb")), index);
    auto back = NewGame(gtRussian);
    ASSERT_EQ(ReadGame(db, 1, false, *back), TDbStatus::Ok);
    EXPECT_EQ(back->header.nodeCount, 4);
    CloseDatabase(db);
}

TEST_F(Database, CloseSavesOnlyWhatChanged) {
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("c.vqb"), db));
    CloseDatabase(db);
    // A line of no list survives as long as the name file is not rewritten.
    WriteText(Path("c.vqn"), "#note\r\n^Anna\r\n");
    OpenDatabase(Path("c.vqb"), db);
    auto g = LineGame(2, "anna", "ANNA");
    g->annotator = "Anna";
    ASSERT_EQ(WriteGame(*g, 0, db, false), TDbStatus::Ok); // adds only "" to tournaments and sites
    CloseDatabase(db);
    EXPECT_EQ(ReadBytes(Path("c.vqn")),
              (Bytes{'^', 'A', 'n', 'n', 'a', '\r', '\n', '*', '\r', '\n', '@', '\r', '\n'}));

    WriteText(Path("c.vqn"), "#note\r\n^Anna\r\n*\r\n@\r\n");
    OpenDatabase(Path("c.vqb"), db);
    auto back = NewGame(gtRussian);
    ASSERT_EQ(ReadGame(db, 1, false, *back), TDbStatus::Ok);
    ASSERT_EQ(WriteGame(*back, 1, db, true), TDbStatus::Ok); // no new name
    CloseDatabase(db);
    EXPECT_EQ(ReadBytes(Path("c.vqn")), (Bytes{'#', 'n', 'o',  't',  'e', '\r', '\n', '^', 'A',  'n',
                                               'n', 'a', '\r', '\n', '*', '\r', '\n', '@', '\r', '\n'}));
}

TEST_F(Database, NameFileIsReplacedNotTruncated) {
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("r.vqb"), db));
    auto g = LineGame(2, "Old");
    ASSERT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
    // A reader that holds the old file keeps seeing it whole while the new one is written.
    std::ifstream held(Path("r.vqn"), std::ios::binary);
    g->white = "New";
    ASSERT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
    const std::string before(std::istreambuf_iterator<char>(held), {});
    EXPECT_EQ(before, "^Old\r\n^B\r\n^\r\n*\r\n@\r\n");
    const Bytes after = ReadBytes(Path("r.vqn"));
    EXPECT_EQ(std::string(after.begin(), after.end()), "^Old\r\n^B\r\n^\r\n^New\r\n*\r\n@\r\n");
    CloseDatabase(db);
}

TEST_F(Database, NamesThatCannotBeStoredAsGiven) {
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("n.vqb"), db));
    auto g = LineGame(2, std::string("two\r\nlines\0x", 12), std::string(300, 'L'));
    g->site = "Kyiv";
    ASSERT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
    CloseDatabase(db);
    OpenDatabase(Path("n.vqb"), db);
    auto back = NewGame(gtRussian);
    ASSERT_EQ(ReadGame(db, 1, false, *back), TDbStatus::Ok);
    EXPECT_EQ(back->white, "two  lines x");
    EXPECT_EQ(back->black, std::string(254, 'L'));
    EXPECT_EQ(back->site, "Kyiv");
    EXPECT_EQ(db.players.Size(), 3u);
    CloseDatabase(db);

    // A name file from elsewhere with a NUL in a name: the name reads as it would be stored, so
    // rewriting the game keeps its index and adds no name (found by the fuzz entry).
    WriteText(Path("n.vqn"),
              std::string("^two  lines x\r\n^") + std::string(254, 'L') + "\r\n^\r\n@Ky" + '\0' + "iv\r\n");
    OpenDatabase(Path("n.vqb"), db);
    ASSERT_EQ(ReadGame(db, 1, false, *back), TDbStatus::Ok);
    EXPECT_EQ(back->site, "Ky iv");
    ASSERT_EQ(WriteGame(*back, 1, db, false), TDbStatus::Ok);
    EXPECT_EQ(back->header.site, 0);
    EXPECT_EQ(db.sites.Size(), 1u);
    CloseDatabase(db);
}

TEST_F(Database, FullNameListRefusesTheGame) {
    std::string names;
    for (int i = 0; i < 65535; ++i)
        names += "^p" + std::to_string(i) + "\r\n";
    WriteBytes(Path("f.vqb"), {});
    WriteBytes(Path("f.vqm"), {20});
    WriteText(Path("f.vqn"), names);
    TGameDatabase db;
    db.prompt = &prompt;
    OpenDatabase(Path("f.vqb"), db);
    ASSERT_TRUE(db.open);
    // One slot left; the empty annotator takes it, so two more new names do not fit.
    auto g = LineGame(2, "p1", "p2");
    ASSERT_EQ(WriteGame(*g, 0, db, false), TDbStatus::Ok);
    EXPECT_EQ(g->header.annotator, 65535);
    auto h = LineGame(2, "new one", "NEW ONE"); // one name, but no room
    EXPECT_EQ(WriteGame(*h, 0, db, false), TDbStatus::TooManyNames);
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(IndexRecordCount(db), 1);
    EXPECT_EQ(db.players.Size(), 65536u);
    auto k = LineGame(2, "P7", "p65534"); // known names still store
    EXPECT_EQ(WriteGame(*k, 0, db, false), TDbStatus::Ok);
    CloseDatabase(db);
}

TEST_F(Database, QuickHeadersAndNames) {
    TGameDatabase quick;
    quick.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("q.vqb"), quick));
    auto g = LineGame(3);
    g->header.flags = gfDeleted;
    ASSERT_EQ(WriteGame(*g, 0, quick, true), TDbStatus::Ok);
    TQuickGameHeader h;
    ASSERT_EQ(ReadQuickHeader(quick, 1, h), TDbStatus::Ok);
    EXPECT_EQ(h.white, "W");
    EXPECT_EQ(h.header.nodeCount, 3);
    h.white = "Zoe";
    h.site = "Riga";
    h.header.year = 2001;
    ASSERT_EQ(WriteQuickHeader(quick, 1, h), TDbStatus::Ok);
    // The name file already holds the new names.
    const Bytes names = ReadBytes(Path("q.vqn"));
    EXPECT_NE(std::string(names.begin(), names.end()).find("^Zoe\r\n"), std::string::npos);
    TQuickGameHeader back;
    ASSERT_EQ(ReadQuickHeader(quick, 1, back), TDbStatus::Ok);
    EXPECT_EQ(back.white, "Zoe");
    EXPECT_EQ(back.site, "Riga");
    EXPECT_EQ(back.header.year, 2001);
    EXPECT_EQ(back.header.flags, gfDeleted);
    EXPECT_EQ(back.header.offset, g->header.offset);
    EXPECT_EQ(ReadQuickHeader(quick, 2, back), TDbStatus::NoSuchGame);
    EXPECT_EQ(PlayerName(99, quick), "ERROR!!!");
    EXPECT_EQ(TournamentName(1, quick), "ERROR!!!");
    EXPECT_EQ(SiteName(1, quick), "Riga");
    CloseDatabase(quick);
    EXPECT_EQ(ReadQuickHeader(quick, 1, back), TDbStatus::NotOpen);
}

TEST_F(Database, DamagedFilesAreReportedNotRead) {
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("x.vqb"), db));
    for (int i = 0; i < 3; ++i) {
        auto g = LineGame(6 + i);
        ASSERT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
    }
    CloseDatabase(db);
    const Bytes moves = ReadBytes(Path("x.vqm"));
    const Bytes index = ReadBytes(Path("x.vqb"));
    // Cut the move file inside game 2: game 1 still reads, 2 and 3 are damaged.
    TGameIndexRecord r2;
    DecodeIndexRecord(index.data() + IndexRecordSize, r2);
    WriteBytes(Path("x.vqm"), Bytes(moves.begin(), moves.begin() + r2.offset + 3));
    // And the index file in the middle of record 3: two games are left.
    WriteBytes(Path("x.vqb"), Bytes(index.begin(), index.begin() + 2 * IndexRecordSize + 30));
    OpenDatabase(Path("x.vqb"), db, TOpenMode::ReadOnly);
    ASSERT_TRUE(db.open);
    EXPECT_EQ(db.gameCount, 2);
    auto g = NewGame(gtRussian);
    EXPECT_EQ(ReadGame(db, 1, false, *g), TDbStatus::Ok);
    EXPECT_EQ(ReadGame(db, 2, false, *g), TDbStatus::Damaged);
    EXPECT_EQ(g->header.nodeCount, 0);
    EXPECT_EQ(g->white, "W"); // the header is still shown
    EXPECT_EQ(ReadGame(db, 3, false, *g), TDbStatus::NoSuchGame);
    EXPECT_EQ(WriteGame(*g, 0, db, false), TDbStatus::ReadOnly);
    CloseDatabase(db);

    // Offsets that point outside the move file.
    struct TCase {
        const char* name;
        std::uint32_t offset, length;
    };
    for (const TCase& c : {TCase{"at the type byte", 0, 5}, TCase{"past the end", 5000, 5},
                           TCase{"length past the end", 1, 0xFFFFFFF0u}, TCase{"empty", 1, 0}}) {
        SCOPED_TRACE(c.name);
        TGameIndexRecord r;
        DecodeIndexRecord(index.data(), r);
        r.offset = c.offset;
        r.length = c.length;
        Bytes rec(IndexRecordSize);
        EncodeIndexRecord(r, rec.data());
        WriteBytes(Path("x.vqb"), rec);
        WriteBytes(Path("x.vqm"), moves);
        OpenDatabase(Path("x.vqb"), db);
        EXPECT_EQ(ReadGame(db, 1, false, *g), TDbStatus::Damaged);
        CloseDatabase(db);
    }
}

TEST_F(Database, TruncatedMoveFilesNeverCrash) {
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("z.vqb"), db));
    TRandom rng(11);
    for (int i = 0; i < 6; ++i) {
        TRandomTree t = MakeRandomTree(rng, static_cast<TGameType>(1 + i), 25);
        ASSERT_EQ(WriteGame(*t.game, 0, db, true), TDbStatus::Ok);
    }
    CloseDatabase(db);
    const Bytes moves = ReadBytes(Path("z.vqm"));
    auto g = NewGame(gtRussian);
    for (std::size_t cut = 0; cut < moves.size(); cut += 1 + moves.size() / 50) {
        WriteBytes(Path("z.vqm"), Bytes(moves.begin(), moves.begin() + static_cast<std::ptrdiff_t>(cut)));
        OpenDatabase(Path("z.vqb"), db, TOpenMode::ReadOnly);
        for (int n = 1; n <= db.gameCount; ++n) {
            const TDbStatus s = ReadGame(db, n, n % 2 == 0, *g);
            EXPECT_TRUE(s == TDbStatus::Ok || s == TDbStatus::Damaged);
        }
        CloseDatabase(db);
    }
}

TEST_F(Database, RandomIndexRecordsNeverCrash) {
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("y.vqb"), db));
    auto g = LineGame(8);
    ASSERT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
    CloseDatabase(db);
    const Bytes index = ReadBytes(Path("y.vqb"));
    std::mt19937 rng(5);
    for (int iter = 0; iter < 300; ++iter) {
        Bytes rec = index;
        // Random variant, node count, offset and length, sometimes everything.
        const int fields[] = {33, 36, 37, 40, 41, 43, 44, 47};
        for (int k = 0, n = 1 + static_cast<int>(rng() % 4); k < n; ++k)
            rec[iter % 10 == 0 ? rng() % rec.size() : fields[rng() % 8]] = static_cast<std::uint8_t>(rng());
        WriteBytes(Path("y.vqb"), rec);
        OpenDatabase(Path("y.vqb"), db, TOpenMode::ReadOnly);
        const TDbStatus s = ReadGame(db, 1, false, *g);
        EXPECT_TRUE(s == TDbStatus::Ok || s == TDbStatus::Damaged);
        TBoard b;
        for (int n = 0; n <= g->header.nodeCount && s == TDbStatus::Ok; ++n)
            PositionAtNode(n, *g, b);
        CloseDatabase(db);
    }
}

TEST_F(Database, ReplaceIndexFileFollowsTheRecords) {
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("s.vqb"), db));
    for (int i = 1; i <= 3; ++i) {
        auto g = LineGame(i, "P" + std::to_string(i));
        ASSERT_EQ(WriteGame(*g, 0, db, false), TDbStatus::Ok);
    }
    std::vector<TGameIndexRecord> records(2);
    ASSERT_EQ(ReadIndexRecord(db, 3, records[0]), TDbStatus::Ok);
    ASSERT_EQ(ReadIndexRecord(db, 1, records[1]), TDbStatus::Ok);
    ASSERT_EQ(ReplaceIndexFile(db, records), TDbStatus::Ok);
    EXPECT_EQ(db.gameCount, 2);
    auto g = NewGame(gtRussian);
    ASSERT_EQ(ReadGame(db, 1, false, *g), TDbStatus::Ok);
    EXPECT_EQ(g->white, "P3");
    auto extra = LineGame(1, "P4"); // the handle is on the new file
    ASSERT_EQ(WriteGame(*extra, 0, db, false), TDbStatus::Ok);
    CloseDatabase(db);
    EXPECT_EQ(ReadBytes(Path("s.vqb")).size(), 3u * IndexRecordSize);
}

TEST_F(Database, TwoThreadsEachWithTheirOwnDatabase) {
    auto work = [&](const std::string& name, unsigned seed, int* failures) {
        TGameDatabase db;
        db.prompt = &prompt;
        if (!CreateDatabase(Path(name), db)) {
            ++*failures;
            return;
        }
        TRandom rng(seed);
        for (int i = 0; i < 20; ++i) {
            TRandomTree t = MakeRandomTree(rng, gtInternational, 40);
            auto back = NewGame(gtRussian);
            if (WriteGame(*t.game, 0, db, false) != TDbStatus::Ok ||
                ReadGame(db, i + 1, false, *back) != TDbStatus::Ok ||
                back->header.nodeCount != t.game->header.nodeCount)
                ++*failures;
        }
        CloseDatabase(db);
    };
    int f1 = 0, f2 = 0;
    std::thread a(work, "t1.vqb", 1u, &f1), b(work, "t2.vqb", 2u, &f2);
    a.join();
    b.join();
    EXPECT_EQ(f1 + f2, 0);
}

// A game that ReadGame would call damaged is refused before anything is written, so a write
// never reports success for a game that cannot be read back.
TEST_F(Database, GamesThatWouldReadBackDamagedAreNotStored) {
    struct TCase {
        const char* name;
        std::function<void(TGame&)> spoil;
    };
    const TCase cases[] = {
        {"start key never set", [](TGame& g) { g.startKey = {}; }},
        {"10x10 start key in an 8x8 game", [](TGame& g) { PositionToKey(StartPosition100, g.startKey); }},
        {"key byte above 124", [](TGame& g) { g.startKey[3] = 125; }},
        {"from square 0", [](TGame& g) { g.nodes[2].from = 0; }},
        {"target square 33 on 8x8", [](TGame& g) { g.nodes[3].squares[0] = 33; }},
        {"parent past the node count", [](TGame& g) { g.nodes[4].parent = 9; }},
        {"parent cycle", [](TGame& g) { g.nodes[1].parent = 4; }},
        {"a move in use below a free slot", [](TGame& g) { g.nodes[2].free = 1; }},
    };
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("c.vqb"), db));
    ASSERT_EQ(WriteGame(*LineGame(4), 0, db, true), TDbStatus::Ok);
    const Bytes index = ReadBytes(Path("c.vqb")), moves = ReadBytes(Path("c.vqm"));
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (int n : {0, 1}) {
            auto g = LineGame(4, "new name");
            c.spoil(*g);
            EXPECT_EQ(WriteGame(*g, n, db, true), TDbStatus::BadGame);
            EXPECT_EQ(ReadBytes(Path("c.vqb")), index);
            EXPECT_EQ(ReadBytes(Path("c.vqm")), moves);
        }
    }
    EXPECT_EQ(db.players.Find("new name"), NoName); // nothing half-stored
    // A free slot may keep stale contents: it is stored, and reads back.
    auto g = LineGame(4);
    g->nodes[4].free = 1;
    g->nodes[4].from = 0;
    g->nodes[4].parent = 77;
    ASSERT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
    auto back = NewGame(gtRussian);
    EXPECT_EQ(ReadGame(db, 2, false, *back), TDbStatus::Ok);
    CloseDatabase(db);
}

// A game is read in the variant its record names, whatever the main window plays: imports,
// searches and books read games of every variant.
TEST_F(Database, ReadGameTakesTheVariantOfItsRecord) {
    TGameDatabase db;
    db.prompt = &prompt;
    ASSERT_TRUE(CreateDatabase(Path("variants.vqb"), db));
    TRandom rng(3);
    std::vector<TRandomTree> stored;
    for (TGameType v : {gtInternational, gtEnglish, gtItalian}) {
        stored.push_back(MakeRandomTree(rng, v, 30));
        ASSERT_EQ(WriteGame(*stored.back().game, 0, db, false), TDbStatus::Ok);
    }
    CurrentVariant = gtRussian;
    for (int keep : {0, 1}) {
        auto back = NewGame(gtCzech);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            ASSERT_EQ(ReadGame(db, i + 1, keep, *back), TDbStatus::Ok);
            EXPECT_EQ(back->header.variant, stored[i].game->header.variant);
            TBoard board;
            for (int n = 1; n <= back->header.nodeCount; ++n)
                if (!back->nodes[n].free) {
                    ASSERT_TRUE(PositionAtNode(n, *back, board));
                    EXPECT_EQ(board, stored[i].boards[n]) << n;
                }
        }
        // A record that cannot be read leaves the game in the variant it had.
        EXPECT_EQ(ReadGame(db, 9, keep, *back), TDbStatus::NoSuchGame);
        EXPECT_EQ(back->header.variant, gtItalian);
    }
    CloseDatabase(db);
}
