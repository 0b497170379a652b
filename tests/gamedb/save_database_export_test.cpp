// SaveDatabase as exported with C linkage.

#include "gamedb/export/save_database_export.h"
#include "gamedb_test_util.h"

using namespace gamedb_test;

using SaveDatabaseExport = TDbTest;

TEST_F(SaveDatabaseExport, WritesTheNameListsOfTheGivenRecord) {
    TGameDatabase db;
    EXPECT_EQ(::SaveDatabase(nullptr), 0);
    EXPECT_EQ(::SaveDatabase(&db), 0); // closed
    ASSERT_TRUE(CreateDatabase(Path("e.vqb"), db));
    auto g = NewGame(gtRussian);
    g->white = "Anna";
    ASSERT_EQ(WriteGame(*g, 0, db, false), TDbStatus::Ok);
    EXPECT_EQ(ReadBytes(Path("e.vqn")), Bytes{});
    EXPECT_EQ(::SaveDatabase(&db), 1);
    const Bytes names = ReadBytes(Path("e.vqn"));
    EXPECT_EQ(std::string(names.begin(), names.end()), "^Anna\r\n^\r\n*\r\n@\r\n");
    CloseDatabase(db);
}
