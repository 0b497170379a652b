#pragma once
// A small database of games with chosen headers and random legal moves, for the list tools (sort,
// tournaments list, header set).

#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "gamedb_test_util.h"

#include <string>
#include <vector>

namespace gamedb_test {

struct THead {
    std::string white, black, tournament, site;
    int year = 0, round = 0, subround = 0;
};

class TListToolsTest : public TDbTest {
  protected:
    TGameDatabase db;
    TGameList list;

    void TearDown() override {
        if (db.open) CloseDatabase(db);
        TDbTest::TearDown();
    }
    // Creates "db.vqb" with one game per head (game n from heads[n - 1]), opens it and lists every game.
    void Make(const std::vector<THead>& heads) {
        ASSERT_TRUE(CreateDatabase(Path("db.vqb"), db));
        TRandom random(7);
        test_support::TRandomGameOptions o;
        o.moves = 8;
        o.header = false;
        for (const THead& h : heads) {
            auto g = test_support::RandomGame(random, o).game;
            g->white = h.white;
            g->black = h.black;
            g->tournament = h.tournament;
            g->site = h.site;
            g->header.year = static_cast<std::uint16_t>(h.year);
            g->header.round = static_cast<std::uint8_t>(h.round);
            g->header.subround = static_cast<std::uint8_t>(h.subround);
            ASSERT_EQ(WriteGame(*g, 0, db, true), TDbStatus::Ok);
        }
        db.gameCount = IndexRecordCount(db);
        list.Reset(db.gameCount);
    }
    // Opens "db.vqb" again, read-only, and lists every game.
    void ReopenReadOnly() {
        CloseDatabase(db);
        OpenDatabase(Path("db.vqb"), db, TOpenMode::ReadOnly);
        ASSERT_TRUE(db.open);
        list.Reset(db.gameCount);
    }
    // The listed game numbers in list order.
    std::vector<int> Listed() const {
        std::vector<int> out;
        for (const TGameListEntry& e : list.Entries())
            out.push_back(e.gameNumber);
        return out;
    }
    void List(const std::vector<int>& games) {
        list.Clear();
        for (const int g : games)
            list.Append(g);
    }
};

} // namespace gamedb_test
