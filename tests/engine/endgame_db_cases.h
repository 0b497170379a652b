#pragma once
// The endgame databases through a scripted driver: identification and opening per library, the
// value with captures played out, the correction of a searched move and the listing with
// distances; shared by the two rule sets.

#include "commands.h"
#include "db_scores.h"
#include "endgame_db.h"
#include "host_board.h"
#include "requests.h"
#include "scripted_egdb.h"
#include "search_fixture.h"

#include <cstring>

namespace endgame_db_cases {
namespace {

namespace core = marrak;
using engine_test::diagram;
using engine_test::scripted_egdb;
using search_test::legal_moves;

// A context with a scripted driver: a value database in "db" and, when asked for, a
// distance-to-conversion one in "mtc".
struct db_fixture : search_test::fixture {
    scripted_egdb egdb;
    db_fixture() {
        egdb.install(*ctx);
        ctx->settings().db_megabytes = 32;
    }
    void database(int kind, int pieces) { egdb.folders["db"] = {kind, pieces, &egdb.values}; }
    void mtc_database(int kind, int pieces) {
        egdb.folders["mtc"] = {kind, pieces, &egdb.mtc};
        ctx->settings().mtc_path = "mtc";
    }
    void identify_and_open() {
        core::identify_endgame_db(*ctx);
        core::open_endgame_db(*ctx, status);
    }
    std::string command(const std::string& text) {
        char reply[ENGINE_STATUS_TEXT_SIZE];
        core::run_engine_command(*ctx, text.c_str(), reply);
        return reply;
    }
    std::string about() { return core::format_about_text(*ctx); }
    // An open database as the move choice sees it, both drivers scripted.
    void open_both(int usable) {
        ctx->db().handle = &egdb.values;
        ctx->db().mtc = &egdb.mtc;
        ctx->db().usable_pieces = usable;
    }
};

// What each library does with a value database of a kind: the opening message's label (null:
// the library uses none; "!": the kind cannot be opened) and the per-side limit at six pieces.
struct kind_row {
    int kind;
    const char* name;
    const char* italian;
    const char* english;
    int side_limit;
};

void kinds_per_library() {
    const char* const own = core::italian_rules ? "Marrak Italian" : "Marrak";
    const kind_row rows[] = {
        {0, own, nullptr, "Marrak", 5},
        {2, "Trevalo", nullptr, "Trevalo", 4},
        {3, "Sarnoth", "Sarnoth", "Sarnoth", 5},
        {4, own, nullptr, "Marrak", 5},
        {6, "Sarnoth Italian", "Sarnoth Italian", nullptr, 5},
        {7, own, "MarrakItalian", nullptr, 5},
        {9, "unknown", "!", "!", 0},
        {-2, "unknown", "!", "!", 0},
    };
    for (const kind_row& r : rows) {
        SCOPED_TRACE(testing::Message() << "kind " << r.kind);
        db_fixture f;
        f.database(r.kind, 6);
        std::strcpy(f.status, "before");
        core::identify_endgame_db(*f.ctx);
        EXPECT_EQ(f.ctx->db().usable_pieces, 6);
        EXPECT_EQ(f.ctx->db().kind_name, r.name);
        EXPECT_EQ(f.command("get dbpieces"), "6");
        core::open_endgame_db(*f.ctx, f.status);
        const char* label = core::italian_rules ? r.italian : r.english;
        const core::endgame_db& db = f.ctx->db();
        if (!label) {
            // Not this library's kind: no database, quietly.
            EXPECT_STREQ(f.status, "before");
            EXPECT_TRUE(f.egdb.opens.empty());
            EXPECT_EQ(db.usable_pieces, 0);
            EXPECT_TRUE(f.egdb.pauses.empty());
        } else if (std::string(label) == "!") {
            EXPECT_EQ(std::string(f.status), std::string("Cannot open endgame db driver.  See ") +
                                                 (core::italian_rules ? "marrak_italian" : "Marrak") +
                                                 ".log for details");
            EXPECT_TRUE(f.egdb.opens.empty());
            EXPECT_EQ(db.usable_pieces, 0);
            EXPECT_EQ(f.egdb.pauses, std::vector<int>{10});
        } else {
            EXPECT_EQ(std::string(f.status),
                      "Wait for db init; " + std::string(label) + " db, 6 pieces, 32 mb ...");
            ASSERT_EQ(f.egdb.opens.size(), 1u);
            const auto& o = f.egdb.opens[0];
            EXPECT_EQ(std::tie(o.options, o.pieces, o.megabytes, o.folder), std::tuple(0, 6, 32, "db"));
            EXPECT_EQ(db.handle, &f.egdb.values);
            EXPECT_EQ(db.usable_pieces, 6);
            EXPECT_EQ(db.side_limit, r.side_limit);
            EXPECT_TRUE(f.egdb.pauses.empty());
        }
        // Once decided, later requests do nothing more.
        core::open_endgame_db(*f.ctx, f.status);
        EXPECT_LE(f.egdb.opens.size(), 1u);
        EXPECT_LE(f.egdb.pauses.size(), 1u);
    }
}

// Sarnoth tables of more than six pieces: five against two is asked for with colour 1 to move.
void sarnoth_side_limit_probe() {
    const engine_position probe{{0x3u, 0xF1000000u}, 0};
    struct row {
        int found, dbpieces, answer, limit;
        bool probed;
    } const rows[] = {
        {8, 0, EGDB_WIN, 7, true}, {8, 0, EGDB_DRAW, 4, true}, {8, 0, 0, 4, true},
        {7, 0, EGDB_WIN, 7, true}, {8, 6, EGDB_WIN, 5, false}, {6, 0, EGDB_WIN, 5, false},
        {8, 9, EGDB_WIN, 7, true}, // a limit above what was found is no limit
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.found << " pieces, limit " << r.dbpieces);
        db_fixture f;
        f.database(3, r.found);
        f.ctx->settings().db_pieces = r.dbpieces;
        f.egdb.values.set(probe, 1, r.answer);
        f.identify_and_open();
        EXPECT_EQ(f.ctx->db().side_limit, r.limit);
        ASSERT_EQ(f.egdb.values.queries.size(), r.probed ? 1u : 0u);
        if (r.probed) {
            EXPECT_TRUE(engine_test::same(f.egdb.values.queries[0].position, probe));
            EXPECT_EQ(f.egdb.values.queries[0].side, 1);
        }
    }
    // Sarnoth Italian: one fewer than the usable count.
    if (core::italian_rules) {
        db_fixture f;
        f.database(6, 8);
        f.identify_and_open();
        EXPECT_EQ(f.ctx->db().side_limit, 7);
    }
}

void identification() {
    struct row {
        bool present;
        int found, dbpieces, usable;
    } const rows[] = {
        {true, 6, 0, 6},  {true, 6, 4, 4},  {true, 6, 6, 6},   {true, 6, 8, 6},
        {true, 6, -3, 6}, {true, -2, 0, 0}, {true, -2, -3, 0}, // a negative limit or count: none
        {false, 0, 0, 0}, {false, 0, 4, 0}, // nothing found: nothing usable, whatever the limit
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.present << " " << r.found << " " << r.dbpieces);
        db_fixture f;
        if (r.present) f.database(3, r.found);
        f.ctx->settings().db_pieces = r.dbpieces;
        f.ctx->settings().db_path = "db";
        f.log.clear();
        core::identify_endgame_db(*f.ctx);
        EXPECT_EQ(f.ctx->db().usable_pieces, r.usable);
        EXPECT_EQ(f.ctx->db().found, r.present);
        // Below the folder of the set-up, wherever the host has gone since.
        EXPECT_EQ(f.egdb.directories, std::vector<std::string>{f.ctx->base_directory() + "/db"});
        EXPECT_EQ(f.log,
                  std::string(core::engine_name) + " 1.15v\ndbmbytes 32\ndbpath \"db\"\nmtcpath \"\"\n");
        // Nothing found: a request neither waits nor reports.
        core::open_endgame_db(*f.ctx, f.status);
        if (!r.present) {
            EXPECT_TRUE(f.egdb.pauses.empty());
            EXPECT_STREQ(f.status, "");
        }
    }
    // Usable pieces without a database found (set by hand): reported, and given up after a pause.
    db_fixture f;
    f.ctx->db().usable_pieces = 6;
    core::open_endgame_db(*f.ctx, f.status);
    EXPECT_STREQ(f.status, "Cannot find endgame database files.");
    EXPECT_EQ(f.egdb.pauses, std::vector<int>{10});
    EXPECT_EQ(f.ctx->db().usable_pieces, 0);
}

void open_failure_and_mtc() {
    const char* const kind = core::italian_rules ? "Sarnoth" : "Marrak";
    const int value_kind = core::italian_rules ? 3 : 0;
    {
        // The driver refuses: reported once, then the engine plays without.
        db_fixture f;
        f.egdb.folders["db"] = {value_kind, 6, nullptr};
        f.identify_and_open();
        EXPECT_EQ(std::string(f.status), std::string("Cannot open endgame db driver.  See ") +
                                             (core::italian_rules ? "marrak_italian" : "Marrak") +
                                             ".log for details");
        EXPECT_EQ(f.egdb.pauses, std::vector<int>{10});
        EXPECT_EQ(f.command("get dbpieces"), "0");
        core::open_endgame_db(*f.ctx, f.status);
        EXPECT_EQ(f.egdb.opens.size(), 1u);
    }
    struct row {
        int mtc_kind, mtc_pieces;
        bool opened;
        int pieces; // asked of the open
    } const rows[] = {{1, 8, true, 6},  {5, 4, true, 4},  {8, 6, true, 6},  {0, 6, false, 0},
                      {3, 6, false, 0}, {2, 6, false, 0}, {-1, 0, false, 0}};
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << "mtc kind " << r.mtc_kind);
        db_fixture f;
        f.database(value_kind, 6);
        if (r.mtc_kind >= 0)
            f.mtc_database(r.mtc_kind, r.mtc_pieces);
        else
            f.ctx->settings().mtc_path = "mtc";
        f.identify_and_open();
        EXPECT_STREQ(f.status, "Checking mtc db; mtc");
        EXPECT_EQ(f.ctx->db().mtc, r.opened ? &f.egdb.mtc : nullptr);
        ASSERT_EQ(f.egdb.opens.size(), r.opened ? 2u : 1u);
        if (r.opened) {
            const auto& o = f.egdb.opens[1];
            EXPECT_EQ(std::tie(o.options, o.pieces, o.megabytes, o.folder),
                      std::tuple(0, r.pieces, 1, "mtc"));
        }
        EXPECT_EQ(f.ctx->db().handle, &f.egdb.values);
    }
    // No mtc folder: the status keeps the opening message.
    db_fixture f;
    f.database(value_kind, 5);
    f.identify_and_open();
    EXPECT_EQ(std::string(f.status), "Wait for db init; " + std::string(kind) + " db, 5 pieces, 32 mb ...");
    EXPECT_EQ(f.egdb.identified.size(), 1u);
}

// Each setting that re-identifies closes both databases; every open is closed once; the mtc
// folder's change reopens only that one.
void settings_close_and_reopen() {
    const int value_kind = core::italian_rules ? 3 : 0;
    db_fixture f;
    f.database(value_kind, 6);
    f.mtc_database(1, 6);
    f.egdb.folders["db2"] = {value_kind, 5, &f.egdb.values};
    f.egdb.folders["mtc2"] = {8, 5, &f.egdb.mtc};
    f.identify_and_open();
    ASSERT_EQ(f.egdb.opens.size(), 2u);
    const char* const commands[] = {"set dbpieces 5", "set dbmbytes 64", "set dbpath db2"};
    for (const char* c : commands) {
        SCOPED_TRACE(c);
        const std::size_t identified = f.egdb.identified.size();
        f.command(c);
        EXPECT_EQ(f.ctx->db().handle, nullptr);
        EXPECT_EQ(f.ctx->db().mtc, nullptr);
        EXPECT_EQ(static_cast<std::size_t>(f.egdb.closes()), f.egdb.opens.size());
        EXPECT_EQ(f.egdb.identified.size(), identified + 1);
        core::open_endgame_db(*f.ctx, f.status);
        EXPECT_NE(f.ctx->db().mtc, nullptr);
    }
    EXPECT_EQ(f.egdb.opens.back().megabytes, 1);
    EXPECT_EQ(f.egdb.opens[f.egdb.opens.size() - 2].megabytes, 64);
    EXPECT_EQ(f.egdb.opens[f.egdb.opens.size() - 2].folder, "db2");
    // The same values again change nothing.
    const std::size_t opens = f.egdb.opens.size();
    for (const char* c : commands)
        f.command(c);
    EXPECT_EQ(f.egdb.opens.size(), opens);
    EXPECT_EQ(f.egdb.closes(), static_cast<int>(opens) - 2);

    // A new mtc folder: the mtc database alone, at once, with the usable count and 1 MB.
    EXPECT_EQ(f.command("set mtcpath mtc2"), "mtcpath set to mtc2");
    EXPECT_EQ(f.ctx->db().handle, &f.egdb.values);
    ASSERT_EQ(f.egdb.opens.size(), opens + 1);
    const auto& o = f.egdb.opens.back();
    EXPECT_EQ(std::tie(o.pieces, o.megabytes, o.folder), std::tuple(5, 1, "mtc2"));
    EXPECT_EQ(f.egdb.mtc.closes, static_cast<int>(opens) / 2);
    core::close_endgame_db(f.ctx->db());
    EXPECT_EQ(f.egdb.closes(), static_cast<int>(f.egdb.opens.size()));
    // Closed, a new folder is only stored.
    EXPECT_EQ(f.command("set mtcpath mtc"), "mtcpath set to mtc");
    EXPECT_EQ(f.egdb.opens.size(), opens + 1);
}

void about_text_in_each_state() {
    const std::string head =
        std::string(core::engine_name) + " 1.15v -- March 14, 2006\nby Fenwold <marrak@fenwold.example>\n\n";
    const std::string tail = "Not using an opening book database\nUsing 8mb for hashtable.\n";
    const std::string none = head + "Not using an endgame database.\n" + tail;
    const int value_kind = core::italian_rules ? 6 : 2;
    const std::string name = core::italian_rules ? "Sarnoth Italian" : "Trevalo";
    db_fixture f;
    EXPECT_EQ(f.about(), none);
    f.database(value_kind, 6);
    f.mtc_database(5, 6);
    core::identify_endgame_db(*f.ctx);
    const std::string using6 =
        head + "Using the " + name + " 6-piece endgame database and 32mb for database buffers.\n";
    EXPECT_EQ(f.about(), using6 + tail);
    core::open_endgame_db(*f.ctx, f.status);
    EXPECT_EQ(f.about(), using6 + tail + "Using the mtc database\n");
    f.command("set dbpieces 4");
    EXPECT_EQ(f.about(), head + "Using the " + name +
                             " 4-piece endgame database and 32mb for database buffers.\n" + tail);
    // A refused open leaves none.
    f.egdb.folders["db"].driver = nullptr;
    core::open_endgame_db(*f.ctx, f.status);
    EXPECT_EQ(f.about(), none);
    // A kind the library does not use: none either, once asked.
    f.egdb.folders["db"] = {core::italian_rules ? 0 : 7, 6, &f.egdb.values};
    f.command("set dbpieces 0");
    core::open_endgame_db(*f.ctx, f.status);
    EXPECT_EQ(f.about(), none);
}

// A man of colour 2 on c3 that can take either of two men; each capture leaves a quiet position.
const engine_position two_captures =
    diagram({"........", "........", "........", "........", ".w.w....", "..b.....", "........", "........"});

// The value of the position above when the first capture leaves the opponent `first` and the
// second `second`.
int value_after(int first, int second) {
    const auto children = legal_moves(two_captures, 0);
    EXPECT_EQ(children.size(), 2u);
    engine_test::scripted_driver d;
    d.set(children[0], 1, first);
    d.set(children[1], 1, second);
    return core::db_value(&d, two_captures, 0);
}

void combine_table() {
    // Rows: the value so far; columns: what a move leaves the opponent (0, 2, 3, 4, 5); -1: the
    // value stays. A move that leaves the opponent a win changes nothing; values beyond 0..5 count
    // as 0.
    const int table[][6] = {
        {2, 0, 1, 3, 5, 4},  {0, -1, 1, 5, 5, -1},   {3, 5, 1, -1, 5, -1},
        {4, 0, 1, 3, 5, -1}, {5, -1, 1, -1, -1, -1}, {1, -1, -1, -1, -1, -1},
    };
    const auto combined = [&](int current, int child) {
        if (child < 0 || child > 5) child = 0;
        if (child == 1) return current;
        const int column = child == 0 ? 1 : child;
        for (const auto& row : table)
            if (row[0] == current) return row[column] < 0 ? current : row[column];
        ADD_FAILURE() << current;
        return -1;
    };
    const int values[] = {0, 1, 2, 3, 4, 5, 6, 7, -1, 100};
    for (int a : values)
        for (int b : values)
            EXPECT_EQ(value_after(a, b), combined(combined(2, a), b)) << a << ", " << b;
}

void value_search_paths() {
    engine_test::scripted_driver d;
    // One side without pieces: decided without a lookup.
    const engine_position only_black{{0x10u, 0}, 0}, only_white{{0, 0x10u}, 0};
    EXPECT_EQ(core::db_value(&d, only_black, 0), EGDB_WIN);
    EXPECT_EQ(core::db_value(&d, only_black, 1), EGDB_LOSS);
    EXPECT_EQ(core::db_value(&d, only_white, 1), EGDB_WIN);
    EXPECT_EQ(core::db_value(&d, only_white, 0), EGDB_LOSS);
    EXPECT_TRUE(d.queries.empty());
    EXPECT_EQ(core::db_value(nullptr, two_captures, 0), 0);

    // Quiet: the driver's value, unknown values as 0.
    const engine_position quiet = diagram(
        {".......w", "........", "........", "........", "........", "..b.....", "........", "........"});
    for (int answer : {0, 1, 2, 3, 4, 5, 6, -3}) {
        d.set(quiet, 0, answer);
        EXPECT_EQ(core::db_value(&d, quiet, 0), answer >= 0 && answer <= 5 ? answer : 0);
    }

    // Only the opponent could take: the side's plain moves are searched, the position itself is
    // never asked about.
    const engine_position threatened = diagram(
        {"........", "........", "........", "....w...", "...w....", "..b.....", "........", "........"});
    const auto children = legal_moves(threatened, 0);
    ASSERT_EQ(children.size(), 1u);
    engine_test::scripted_driver e;
    e.set(children[0], 1, EGDB_LOSS);
    e.set(threatened, 0, EGDB_LOSS);
    EXPECT_EQ(core::db_value(&e, threatened, 0), EGDB_WIN);
    ASSERT_EQ(e.queries.size(), 1u);
    EXPECT_TRUE(engine_test::same(e.queries[0].position, children[0]));
    EXPECT_EQ(e.queries[0].side, 1);
}

std::string move_text(const engine_position& before, const engine_position& after) {
    return core::text::move_to_text(before, after);
}

// Colour 2's man on c3 with two moves; colour 1's man far away.
const engine_position two_moves =
    diagram({".......w", "........", "........", "........", "........", "..b.....", "........", "........"});

void move_check() {
    const auto children = legal_moves(two_moves, 0);
    ASSERT_EQ(children.size(), 2u);
    move_list moves;
    moves.count = 2;
    moves.moves[0] = children[0];
    moves.moves[1] = children[1];
    struct row {
        int v, c0, c1, chosen, result, index;
    } const rows[] = {
        {EGDB_WIN, 3, 2, 0, 1, 1},   {EGDB_WIN, 0, 2, 0, 1, 1},   {EGDB_WIN, 2, 2, 0, 0, -1},
        {EGDB_WIN, 3, 5, 0, 0, -1},  {EGDB_WIN, 2, 3, 1, 1, 0},   {EGDB_DRAW, 1, 3, 0, 1, 1},
        {EGDB_DRAW, 3, 1, 1, 1, 0},  {EGDB_DRAW, 3, 3, 1, 0, -1}, {EGDB_DRAW, 5, 4, 0, 0, -1},
        {EGDB_LOSS, 1, 2, 0, 0, -1}, {0, 2, 2, 0, 0, -1},         {4, 1, 3, 0, 0, -1},
        {5, 1, 3, 0, 0, -1},         {9, 1, 3, 0, 0, -1},         {EGDB_WIN, 3, 2, 2, 0, -1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.v << " " << r.c0 << " " << r.c1 << " chosen " << r.chosen);
        scripted_egdb egdb;
        egdb.values.set(two_moves, 0, r.v);
        egdb.values.set(children[0], 1, r.c0);
        egdb.values.set(children[1], 1, r.c1);
        core::endgame_db db;
        db.handle = &egdb.values;
        db.usable_pieces = 2;
        int index = -1;
        EXPECT_EQ(core::db_move_check(db, 0, two_moves, moves, r.chosen, index), r.result);
        EXPECT_EQ(index, r.index);
        // More pieces than usable, or no database: never.
        db.usable_pieces = 1;
        index = -1;
        EXPECT_EQ(core::db_move_check(db, 0, two_moves, moves, r.chosen, index), 0);
        db.usable_pieces = 2;
        db.handle = nullptr;
        EXPECT_EQ(core::db_move_check(db, 0, two_moves, moves, r.chosen, index), 0);
        EXPECT_EQ(index, -1);
    }
}

// The searched move gives way to the first that keeps the database's win, and the log says so.
void search_move_corrected() {
    const auto children = legal_moves(two_moves, 0);
    ASSERT_EQ(children.size(), 2u);
    engine_position searched;
    {
        db_fixture f;
        core::search::driver_result r;
        f.choose(two_moves, 0, 5, searched, r);
    }
    const int other = engine_test::same(searched, children[0]) ? 1 : 0;
    db_fixture f;
    // The search's own probes are kept off (no side may have a piece), the check still asks.
    f.ctx->db().handle = &f.egdb.values;
    f.ctx->db().usable_pieces = 2;
    f.ctx->db().side_limit = 0;
    f.egdb.values.set(two_moves, 0, EGDB_WIN);
    f.egdb.values.set(children[other], 1, EGDB_LOSS);
    f.egdb.values.set(children[1 - other], 1, EGDB_DRAW);
    engine_position chosen;
    core::search::driver_result r;
    f.choose(two_moves, 0, 5, chosen, r);
    EXPECT_TRUE(engine_test::same(chosen, children[other]));
    EXPECT_EQ(f.log_lines("egdb move changed from ").size(), 1u);
    EXPECT_EQ(f.log_lines("egdb move changed from " + move_text(two_moves, searched) + " to " +
                          move_text(two_moves, children[other]))
                  .size(),
              1u);
}

// Colour 2: a king on d4 (four moves) and a man on a1 (one); colour 1: a man on h8.
const engine_position king_and_man =
    diagram({".......w", "........", "........", "........", "...B....", "........", "........", "b......."});

// How the distance correction is decided: the current position's distance, and the value and
// distance the replies to the chosen move leave; `a` the correction expected.
struct correction_row {
    int here, reply_value, reply_mtc, a;
};

// A fixture with both databases open over the king-and-man position, valued `value` for colour 2
// to move at distance `here`.
void prepare(db_fixture& f, const engine_position& p, int value, int here) {
    f.open_both(3);
    f.egdb.values.set(p, 0, value);
    f.egdb.mtc.set(p, 0, here);
}

struct listing {
    int result = 0, index = -1, value = 0, distance = 0;
    std::string text;
};

listing list(db_fixture& f, const engine_position& p, int side) {
    listing l;
    move_list moves;
    const auto children = legal_moves(p, side);
    moves.count = static_cast<std::uint32_t>(children.size());
    std::copy(children.begin(), children.end(), moves.moves);
    l.result = core::list_db_moves(f.ctx->db(), p, side, moves, l.index, l.value, l.text, &l.distance);
    return l;
}

// The index of the man's move among the moves of the position above.
int man_move_of(const std::vector<engine_position>& m) {
    for (int i = 0; i < static_cast<int>(m.size()); ++i)
        if (!(m[i].kings & m[i].pieces[0] & ~king_and_man.pieces[0])) return i;
    return -1;
}

// One move of a listing: its text, its distance and "*" for the chosen distance.
std::string listed(const engine_position& before, const engine_position& after, int distance, bool star) {
    return move_text(before, after) + "(" + std::to_string(distance) + ")" + (star ? "*" : "") + "  ";
}

int decided(const engine_position& p, bool side0_wins) {
    core::eval::eval_record r;
    core::eval::fill_record(p, r);
    return side0_wins ? core::search::score_db_decided(r) : core::search::score_db_decided_mirror(r);
}

void listing_won() {
    const auto m = legal_moves(king_and_man, 0);
    ASSERT_EQ(m.size(), 5u);
    // The opponent's value and distance after each move; 0 distance: none set.
    struct child {
        int value, mtc;
    } const children[] = {{EGDB_LOSS, 20}, {EGDB_DRAW, 0}, {EGDB_LOSS, 14}, {EGDB_LOSS, 14}, {0, 0}};
    const auto t = [&](int i, int d, bool star) { return listed(king_and_man, m[i], d, star); };
    // The current position's distance decides the correction; where it reads 1, the replies that
    // keep the win do (colour 1 has one reply, h8-g7).
    const correction_row rows[] = {
        {15, 0, 0, 2}, {14, 0, 0, 1}, {1, EGDB_WIN, 14, 2}, {1, EGDB_WIN, 13, 1}, {1, EGDB_DRAW, 14, 1},
    };
    for (const correction_row& r : rows) {
        SCOPED_TRACE(testing::Message() << "here " << r.here << " reply " << r.reply_mtc);
        db_fixture f;
        prepare(f, king_and_man, EGDB_WIN, r.here);
        for (int i = 0; i < 5; ++i) {
            f.egdb.values.set(m[i], 1, children[i].value);
            if (children[i].mtc) f.egdb.mtc.set(m[i], 1, children[i].mtc);
        }
        const auto replies = legal_moves(m[2], 1);
        ASSERT_EQ(replies.size(), 1u);
        f.egdb.values.set(replies[0], 0, r.reply_value);
        f.egdb.mtc.set(replies[0], 0, r.reply_mtc);
        const listing l = list(f, king_and_man, 0);
        EXPECT_EQ(l.result, 1);
        EXPECT_EQ(l.index, 2);
        EXPECT_EQ(l.distance, 14 + r.a);
        EXPECT_EQ(l.text, t(2, 14 + r.a, true) + t(3, 14 + r.a, true) + t(0, 20 + r.a, false));
        EXPECT_EQ(l.value, decided(m[2], true));
        EXPECT_GT(l.value, 2000);
    }
    // A winning move at distance 1: the listing gives way to the search.
    {
        db_fixture f;
        f.open_both(3);
        f.egdb.values.set(king_and_man, 0, EGDB_WIN);
        f.egdb.values.set(m[4], 1, EGDB_LOSS);
        f.egdb.mtc.set(m[4], 1, 1);
        f.egdb.values.set(m[0], 1, EGDB_LOSS);
        f.egdb.mtc.set(m[0], 1, 9);
        EXPECT_EQ(list(f, king_and_man, 0).result, 0);
    }
    // Won, yet no move leaves the opponent lost: nothing to list.
    {
        db_fixture f;
        f.open_both(3);
        f.egdb.values.set(king_and_man, 0, EGDB_WIN);
        const listing l = list(f, king_and_man, 0);
        EXPECT_EQ(l.result, 0);
        EXPECT_EQ(l.text, "");
    }
}

void listing_lost() {
    const auto m = legal_moves(king_and_man, 0);
    ASSERT_EQ(m.size(), 5u);
    const int man_move = man_move_of(m);
    ASSERT_GE(man_move, 0);
    // King moves 0..3 in generator order, skipping the man's; their opponent's distances.
    std::vector<int> kings;
    for (int i = 0; i < 5; ++i)
        if (i != man_move) kings.push_back(i);
    const auto t = [&](int i, int d, bool star) { return listed(king_and_man, m[i], d, star); };
    const auto unknown = [&](int i) { return move_text(king_and_man, m[i]) + "(?)  "; };
    const correction_row rows[] = {
        {39, 0, 0, 2},        {40, 0, 0, 1},         {1, EGDB_LOSS, 40, 2}, {1, EGDB_LOSS, 38, 1},
        {1, EGDB_LOSS, 1, 1}, {1, EGDB_DRAW, 40, 1}, // no reply keeps the loss: the smallest stays above
                                                     // every distance
    };
    for (const correction_row& r : rows) {
        SCOPED_TRACE(testing::Message() << "here " << r.here << " reply " << r.reply_mtc);
        db_fixture f;
        prepare(f, king_and_man, EGDB_LOSS, r.here);
        // The man's move converts (listed last whatever its distance); of the king's, the longest
        // first, one with a distance below 10 and one that is not a loss shown as "?".
        const int king_mtc[] = {30, 40, 5, 0};
        for (int k = 0; k < 4; ++k) {
            if (king_mtc[k]) {
                f.egdb.values.set(m[kings[k]], 1, EGDB_WIN);
                f.egdb.mtc.set(m[kings[k]], 1, king_mtc[k]);
            } else {
                f.egdb.values.set(m[kings[k]], 1, EGDB_DRAW);
                f.egdb.mtc.set(m[kings[k]], 1, 90);
            }
        }
        f.egdb.values.set(m[man_move], 1, EGDB_WIN);
        f.egdb.mtc.set(m[man_move], 1, 50);
        for (const auto& reply : legal_moves(m[kings[1]], 1)) {
            f.egdb.values.set(reply, 0, r.reply_value);
            f.egdb.mtc.set(reply, 0, r.reply_mtc);
        }
        const listing l = list(f, king_and_man, 0);
        EXPECT_EQ(l.result, 1);
        EXPECT_EQ(l.index, kings[1]);
        EXPECT_EQ(l.distance, 40 + r.a);
        EXPECT_EQ(l.text, t(kings[1], 40 + r.a, true) + t(kings[0], 30 + r.a, false) + unknown(kings[2]) +
                              unknown(kings[3]) + t(man_move, 50 + r.a, false));
        EXPECT_EQ(l.value, decided(m[kings[1]], false));
        EXPECT_LT(l.value, -2000);
    }
    // The longest non-converting distance below 10: the search decides.
    db_fixture f;
    f.open_both(3);
    f.egdb.values.set(king_and_man, 0, EGDB_LOSS);
    for (int i = 0; i < 5; ++i) {
        f.egdb.values.set(m[i], 1, EGDB_WIN);
        f.egdb.mtc.set(m[i], 1, i == man_move ? 60 : 9);
    }
    EXPECT_EQ(list(f, king_and_man, 0).result, 0);
}

void listing_needs_both_and_never_ten() {
    // Ten pieces, every lookup a win: never listed, nothing asked.
    const engine_position ten = diagram(
        {".b.b.b..", "b.b.....", "........", "........", "........", "........", ".w.w....", "w.w.w..."});
    ASSERT_EQ(core::history::piece_count(ten), 10);
    {
        db_fixture f;
        f.open_both(12);
        for (int side : {0, 1}) {
            f.egdb.values.set(ten, side, EGDB_WIN);
            EXPECT_EQ(list(f, ten, side).result, 0);
        }
        EXPECT_TRUE(f.egdb.values.queries.empty());
        EXPECT_TRUE(f.egdb.mtc.queries.empty());
    }
    // Without the mtc database, or with more pieces than usable: nothing either.
    const auto m = legal_moves(king_and_man, 0);
    for (int variant = 0; variant < 3; ++variant) {
        db_fixture f;
        f.open_both(variant == 1 ? 2 : 3);
        if (variant == 0) f.ctx->db().mtc = nullptr;
        f.egdb.values.set(king_and_man, 0, variant == 2 ? EGDB_DRAW : EGDB_WIN);
        for (const auto& c : m) {
            f.egdb.values.set(c, 1, EGDB_LOSS);
            f.egdb.mtc.set(c, 1, 12);
        }
        EXPECT_EQ(list(f, king_and_man, 0).result, 0) << variant;
    }
}

// A database move reaches the game's judgement as a won or lost score: the engine's result code
// names the winner, whichever side it plays and however long the distance is.
void database_move_result_code() {
    // Colour 1 (side 1) to move on h8 with one move, h8-g7, which leaves colour 2 lost at 200.
    {
        db_fixture f;
        f.open_both(3);
        const auto m = legal_moves(king_and_man, 1);
        ASSERT_EQ(m.size(), 1u);
        f.egdb.values.set(king_and_man, 1, EGDB_WIN);
        f.egdb.mtc.set(king_and_man, 1, 5);
        f.egdb.values.set(m[0], 0, EGDB_LOSS);
        f.egdb.mtc.set(m[0], 0, 200);
        engine_position chosen;
        core::search::driver_result r;
        EXPECT_EQ(f.choose(king_and_man, 1, 5, chosen, r), ENGINE_WIN);
        EXPECT_TRUE(engine_test::same(chosen, m[0]));
        EXPECT_EQ(std::string(f.status), listed(king_and_man, m[0], 202, true));
    }
    // Colour 2 (side 0) lost at 180: a loss, not a win.
    {
        db_fixture f;
        f.open_both(3);
        const auto m = legal_moves(king_and_man, 0);
        f.egdb.values.set(king_and_man, 0, EGDB_LOSS);
        f.egdb.mtc.set(king_and_man, 0, 7);
        for (const auto& c : m) {
            f.egdb.values.set(c, 1, EGDB_WIN);
            f.egdb.mtc.set(c, 1, 180);
        }
        engine_position chosen;
        core::search::driver_result r;
        EXPECT_EQ(f.choose(king_and_man, 0, 5, chosen, r), ENGINE_LOSS);
        // The first king move: the man's converts and comes last.
        const int first_king = man_move_of(m) == 0 ? 1 : 0;
        EXPECT_TRUE(engine_test::same(chosen, m[first_king]));
        EXPECT_EQ(f.log_lines(move_text(king_and_man, m[first_king]) + "(182)*").size(), 1u);
    }
}

// A move request as the host makes it: the database is opened at the request and its move played.
void request_plays_the_database_move() {
    db_fixture f;
    f.database(core::italian_rules ? 7 : 0, 6);
    f.mtc_database(1, 6);
    core::identify_endgame_db(*f.ctx);
    const auto m = legal_moves(king_and_man, 0);
    f.egdb.values.set(king_and_man, 0, EGDB_WIN);
    f.egdb.mtc.set(king_and_man, 0, 30);
    f.egdb.values.set(m[3], 1, EGDB_LOSS);
    f.egdb.mtc.set(m[3], 1, 25);
    host_board board{};
    core::host::position_to_board(king_and_man, board);
    char status[ENGINE_STATUS_TEXT_SIZE] = {};
    int playnow = 0;
    EXPECT_EQ(core::play_move_request(*f.ctx, &board, 2, 1.0, status, &playnow, 1, nullptr), ENGINE_WIN);
    EXPECT_EQ(std::string(status), listed(king_and_man, m[3], 27, true));
    EXPECT_TRUE(engine_test::same(core::host::board_to_position(board), m[3]));
    EXPECT_EQ(f.egdb.opens.size(), 2u);
    EXPECT_TRUE(f.egdb.pauses.empty());
}

} // namespace
} // namespace endgame_db_cases
