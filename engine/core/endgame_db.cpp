#include "endgame_db.h"

#include "commands.h"
#include "context.h"
#include "db_scores.h"
#include "evaluation.h"
#include "history.h"
#include "movegen.h"
#include "search_text.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <deque>
#include <vector>

namespace marrak::inline MARRAK_RULES_NS {

namespace {

// The driver's messages go to the library's log.
void driver_message(const char* text) {
    if (text) context().log(text);
}

std::string printf_text(const char* pattern, auto... args) {
    char line[512];
    std::snprintf(line, sizeof line, pattern, args...);
    return line;
}

// What this library does with a value database of a kind: the label of its opening message, or
// null when the library uses no database of that kind.
struct kind_use {
    bool known;        // false: the kind cannot be opened at all
    const char* label; // null: no database
};

kind_use use_of_kind(int kind) {
    switch (kind) {
    case 0:
    case 4:
        return {true, italian_rules ? nullptr : "Marrak"};
    case 2:
        return {true, italian_rules ? nullptr : "Trevalo"};
    case 3:
        return {true, "Sarnoth"};
    case 6:
        return {true, italian_rules ? "Sarnoth Italian" : nullptr};
    case 7:
        return {true, italian_rules ? "MarrakItalian" : nullptr};
    default:
        return {false, nullptr};
    }
}

// The most pieces a side may have for the search to ask the database. A Sarnoth database of more
// than six pieces answers five against two only when it holds the seven-piece tables.
int side_limit_of(const endgame_db& db) {
    switch (db.kind) {
    case 2:
        return 4;
    case 3: {
        if (db.usable_pieces <= 6) return 5;
        const engine_position probe{{0x00000003u, (1u << 24) | 0xF0000000u}, 0};
        return db.lookup(probe, 1, 0) == EGDB_WIN ? 7 : 4;
    }
    case 6:
        return db.usable_pieces - 1;
    default:
        return 5;
    }
}

bool is_mtc_kind(int kind) {
    return kind == 1 || kind == 5 || kind == 8;
}

int mtc_value(const endgame_db& db, const engine_position& position, int side) {
    engine_position p = position;
    return db.mtc->lookup(db.mtc, &p, side, 0);
}

int pieces_of(const engine_position& p) {
    return history::piece_count(p);
}

// Driver values outside the known ones say nothing.
int known_value(int value) {
    return value >= 0 && value <= 5 ? value : 0;
}

// The value of the side to move after combining its value so far with one more move's (the value
// that move leaves the opponent): a move the opponent loses wins, one it at best draws gives at
// least a draw, and so on.
int combine(int current, int child) {
    static constexpr signed char table[6][6] = {
        // child: 0  1  2  3  4  5
        {0, 0, 1, 5, 5, 0}, // current 0
        {1, 1, 1, 1, 1, 1}, // current 1
        {0, 2, 1, 3, 5, 4}, // current 2
        {5, 3, 1, 3, 5, 3}, // current 3
        {0, 4, 1, 3, 5, 4}, // current 4
        {5, 5, 1, 5, 5, 5}, // current 5
    };
    return table[current][known_value(child)];
}

// The Italian databases hold no position of ten or more pieces where a side has two kings: the
// engine never asks about one.
bool held(const engine_position& p) {
    if (!italian_rules || history::piece_count(p) < 10) return true;
    return std::popcount(p.pieces[0] & p.kings) <= 1 && std::popcount(p.pieces[1] & p.kings) <= 1;
}

// The database value with captures played out. The positions of the line are kept by ply to see
// repetitions (a king chase while the other side waits to capture).
class value_search {
  public:
    explicit value_search(egdb_driver* handle) : m_handle(handle) {}

    int run(const engine_position& p, int side, int ply) {
        if (p.pieces[0] == 0) return side == 1 ? EGDB_WIN : EGDB_LOSS;
        if (p.pieces[1] == 0) return side == 0 ? EGDB_WIN : EGDB_LOSS;
        for (int j = ply - 4; j >= 0; j -= 4)
            if (history::same_position(m_line[j], p)) return EGDB_DRAW;
        if (!gen::has_capture(p, side) && !gen::has_capture(p, 1 - side)) {
            if (!held(p)) return 0;
            engine_position q = p;
            return known_value(m_handle->lookup(m_handle, &q, side, 0));
        }
        // A line of plain moves between captures can be long; past this depth it is not known.
        if (ply >= max_ply) return 0;
        if (static_cast<int>(m_lists.size()) <= ply) m_lists.resize(ply + 1);
        move_list& list = m_lists[ply];
        int n = gen::generate_captures(p, list, side);
        if (n == 0) n = gen::generate_moves(p, list, side);
        if (n == 0) return EGDB_LOSS;
        if (static_cast<int>(m_line.size()) <= ply) m_line.resize(ply + 1);
        m_line[ply] = p;
        int value = EGDB_LOSS;
        for (int i = 0; i < n && value != EGDB_WIN; ++i)
            value = combine(value, run(list.moves[i], 1 - side, ply + 1));
        return value;
    }

  private:
    static constexpr int max_ply = 128;
    egdb_driver* m_handle;
    std::vector<engine_position> m_line;
    std::deque<move_list> m_lists; // stable addresses while the deeper plies grow it
};

// Whether a move converts: it captures, or a man moved.
bool converts(const engine_position& before, const engine_position& after, int side) {
    if (before.pieces[1 - side] & ~after.pieces[1 - side]) return true;
    return (before.pieces[side] & ~after.pieces[side] & ~before.kings) != 0;
}

// The score that judges the game after a database move: a won value for the winner.
int decided_score(const engine_position& after, bool side0_wins) {
    eval::eval_record record;
    eval::fill_record(after, record);
    return side0_wins ? search::score_db_decided(record) : search::score_db_decided_mirror(record);
}

struct listed_move {
    int index = 0;
    int value = 0; // the opponent's after the move
    int mtc = 0;   // 0 where the move has none
    bool converts = false;
};

// The correction that the distance of the chosen move gets: the current position's distance
// against the chosen move's, or, where the current one reads 1, against the best (win) or worst
// (loss) of the replies that keep the value.
int distance_correction(const endgame_db& db, const engine_position& position, int side,
                        const engine_position& after, int chosen_mtc, bool won) {
    const int here = mtc_value(db, position, side);
    if (here != 1) return here != chosen_mtc ? 2 : 1;
    move_list replies;
    const int n = gen::generate_legal(after, replies, 1 - side);
    int extreme = won ? 1 : 332;
    for (int i = 0; i < n; ++i) {
        if (db_value(db.handle, replies.moves[i], side) != (won ? EGDB_WIN : EGDB_LOSS)) continue;
        const int m = mtc_value(db, replies.moves[i], side);
        if (won) {
            extreme = std::max(extreme, m);
        } else {
            if (m == 1) return 1;
            extreme = std::min(extreme, m);
        }
    }
    return extreme == chosen_mtc ? 2 : 1;
}

} // namespace

egdb_entry_points default_egdb_entry_points() {
    return {
        [](const char* directory, int* kind, int* pieces) { return egdb_identify(directory, kind, pieces); },
        [](int options, int pieces, int megabytes, const char* directory) {
            return egdb_open(options, pieces, megabytes, directory, driver_message);
        },
    };
}

const char* db_kind_name(int kind) {
    switch (kind) {
    case 0:
    case 4:
    case 7:
        return engine_name;
    case 2:
        return "Trevalo";
    case 3:
        return "Sarnoth";
    case 6:
        return "Sarnoth Italian";
    default:
        return "unknown";
    }
}

void identify_endgame_db(engine_context& ctx) {
    const engine_settings& s = ctx.settings();
    endgame_db& db = ctx.db();
    ctx.log(printf_text("%s %s\n", engine_name, engine_version).c_str());
    ctx.log(printf_text("dbmbytes %d\ndbpath \"%s\"\nmtcpath \"%s\"\n", s.db_megabytes, s.db_path.c_str(),
                        s.mtc_path.c_str())
                .c_str());
    int kind = -1, pieces = 0;
    const std::string directory = ctx.resolve_path(s.db_path);
    db.found = ctx.egdb().identify && ctx.egdb().identify(directory.c_str(), &kind, &pieces) == 0;
    db.kind = db.found ? kind : -1;
    db.found_pieces = db.found ? std::max(pieces, 0) : 0;
    db.kind_name = db.found ? db_kind_name(kind) : "";
    // A limit below 1 is none.
    db.usable_pieces = s.db_pieces > 0 && s.db_pieces <= db.found_pieces ? s.db_pieces : db.found_pieces;
}

void open_endgame_db(engine_context& ctx, char* status_text) {
    endgame_db& db = ctx.db();
    const engine_settings& s = ctx.settings();
    if (db.handle || db.usable_pieces == 0) return;
    if (!db.found) {
        text::write_status(status_text, "Cannot find endgame database files.");
        db.usable_pieces = 0;
        ctx.pause_seconds(10);
        return;
    }
    const kind_use use = use_of_kind(db.kind);
    if (use.known && !use.label) {
        db.usable_pieces = 0;
        return;
    }
    if (use.known && ctx.egdb().open) {
        text::write_status(status_text, printf_text("Wait for db init; %s db, %d pieces, %d mb ...",
                                                    use.label, db.usable_pieces, s.db_megabytes));
        const std::string directory = ctx.resolve_path(s.db_path);
        db.handle = ctx.egdb().open(0, db.usable_pieces, s.db_megabytes, directory.c_str());
    }
    if (!db.handle) {
        db.usable_pieces = 0;
        const std::string log_name =
            ctx.log_path().empty() ? (italian_rules ? "marrak_italian.log" : "Marrak.log") : ctx.log_path();
        text::write_status(
            status_text, printf_text("Cannot open endgame db driver.  See %s for details", log_name.c_str()));
        ctx.pause_seconds(10);
        return;
    }
    db.side_limit = side_limit_of(db);
    if (s.mtc_path.empty()) return;
    text::write_status(status_text, printf_text("Checking mtc db; %s", s.mtc_path.c_str()));
    const std::string path = ctx.resolve_path(s.mtc_path);
    int kind = -1, pieces = 0;
    if (ctx.egdb().identify && ctx.egdb().open && ctx.egdb().identify(path.c_str(), &kind, &pieces) == 0 &&
        is_mtc_kind(kind))
        db.mtc = ctx.egdb().open(0, std::min(pieces, db.usable_pieces), 1, path.c_str());
}

void close_endgame_db(endgame_db& db) {
    for (egdb_driver** h : {&db.handle, &db.mtc}) {
        if (*h && (*h)->close) (*h)->close(*h);
        *h = nullptr;
    }
}

void reopen_mtc_db(engine_context& ctx) {
    endgame_db& db = ctx.db();
    if (!db.mtc) return;
    if (db.mtc->close) db.mtc->close(db.mtc);
    db.mtc = nullptr;
    if (!ctx.egdb().open) return;
    const std::string path = ctx.resolve_path(ctx.settings().mtc_path);
    db.mtc = ctx.egdb().open(0, db.usable_pieces, 1, path.c_str());
}

int db_value(egdb_driver* handle, const engine_position& position, int side) {
    if (!handle || !handle->lookup) return 0;
    return value_search(handle).run(position, side, 0);
}

int db_move_check(const endgame_db& db, int side, const engine_position& position, const move_list& moves,
                  int chosen, int& index) {
    const int n = static_cast<int>(moves.count);
    if (!db.handle || pieces_of(position) > db.usable_pieces || chosen < 0 || chosen >= n) return 0;
    const int v = db_value(db.handle, position, side);
    if (v != EGDB_WIN && v != EGDB_DRAW) return 0;
    // A win must leave the opponent lost, a draw drawn.
    const int keep = v == EGDB_WIN ? EGDB_LOSS : EGDB_DRAW;
    if (db_value(db.handle, moves.moves[chosen], 1 - side) == keep) return 0;
    for (int i = 0; i < n; ++i) {
        if (db_value(db.handle, moves.moves[i], 1 - side) == keep) {
            index = i;
            return 1;
        }
    }
    return 0;
}

int list_db_moves(const endgame_db& db, const engine_position& position, int side, const move_list& moves,
                  int& index, int& value, std::string& text, int* distance) {
    text.clear();
    const int pieces = pieces_of(position);
    if (!db.handle || !db.mtc || !db.mtc->lookup || pieces > db.usable_pieces || pieces == 10) return 0;
    const int v = db_value(db.handle, position, side);
    if (v != EGDB_WIN && v != EGDB_LOSS) return 0;
    const bool won = v == EGDB_WIN;
    const int n = static_cast<int>(moves.count);
    std::vector<listed_move> listed;
    for (int i = 0; i < n; ++i) {
        const engine_position& after = moves.moves[i];
        listed_move m;
        m.index = i;
        m.value = db_value(db.handle, after, 1 - side);
        m.converts = converts(position, after, side);
        if (m.value == (won ? EGDB_LOSS : EGDB_WIN)) {
            m.mtc = mtc_value(db, after, 1 - side);
            if (won && m.mtc == 1) return 0;
        }
        listed.push_back(m);
    }
    if (won)
        std::stable_sort(listed.begin(), listed.end(), [](const listed_move& a, const listed_move& b) {
            const bool wa = a.value == EGDB_LOSS, wb = b.value == EGDB_LOSS;
            if (wa != wb) return wa;
            return wa && a.mtc < b.mtc;
        });
    else
        std::stable_sort(listed.begin(), listed.end(), [](const listed_move& a, const listed_move& b) {
            if (a.converts != b.converts) return !a.converts;
            return a.mtc > b.mtc;
        });
    // A won position whose database leaves no winning move is not one to trust.
    if (listed.empty() || (won && listed[0].value != EGDB_LOSS)) return 0;
    const listed_move& chosen = listed[0];
    const engine_position& after = moves.moves[chosen.index];
    const int a = distance_correction(db, position, side, after, chosen.mtc, won);
    if (!won && chosen.mtc < 10) return 0;
    for (const listed_move& m : listed) {
        const std::string move = text::move_to_text(position, moves.moves[m.index]);
        if (won && m.value != EGDB_LOSS) continue;
        if (!won && m.mtc < 10)
            text += printf_text("%s(?)  ", move.c_str());
        else
            text += printf_text("%s(%d)%s  ", move.c_str(), m.mtc + a, m.mtc == chosen.mtc ? "*" : "");
    }
    index = chosen.index;
    value = decided_score(after, won == (side == 0));
    if (distance) *distance = chosen.mtc + a;
    return 1;
}

} // namespace marrak::inline MARRAK_RULES_NS
