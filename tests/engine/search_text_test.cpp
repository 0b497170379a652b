// The texts the Italian search writes: the progress line (read back by the host's parser), move
// texts, the status buffer's limit, the principal variation over a damaged or cyclic table, and
// the board in the log. The English numbering's texts are in search_text_english_test.cpp.

#include "app/core/status_parsers.h"
#include "search_fixture.h"

#include <cstring>

using namespace search_test;
using engine_test::diagram;
namespace text = marrak::text;

TEST(SearchText, StatusLineExactAndReadByTheHost) {
    const std::string line = text::format_status_line("=", 12, 9, 13.4, 29, 1.26, 5113.4, "pv 10-14 23-19");
    EXPECT_EQ(line, "value=12,  depth 9/13.4/29,  1.3s,  5113 kN/s,  pv 10-14 23-19");
    TEngineInfo info;
    ASSERT_TRUE(ParseMarrakStatus(line, gtEnglish, 0, info));
    EXPECT_EQ(info.Score, 12);
    EXPECT_EQ(info.Bound, 12);
    EXPECT_EQ(info.Depth, "9/13.4/29");
    EXPECT_EQ(info.Time, "1.3s");
    EXPECT_EQ(info.Speed, "5113 kN/s");
    EXPECT_EQ(info.BestLine, "pv 10-14 23-19");

    // An upper bound, turned to the program's view (Italian, side 0 to move).
    ASSERT_TRUE(
        ParseMarrakStatus(text::format_status_line("<", -37, 3, 0.0, 0, 0.001, 0, ""), gtItalian, 0, info));
    EXPECT_EQ(info.Score, 37);
    EXPECT_EQ(info.Depth, "3/0.0/0");
}

TEST(SearchText, SearchWritesLinesTheHostReads) {
    fixture f;
    engine_position chosen;
    marrak::search::driver_result r;
    f.choose(start_position, 0, 7, chosen, r);
    TEngineInfo info;
    ASSERT_TRUE(ParseMarrakStatus(f.status, gtItalian, 0, info)) << f.status;
    EXPECT_EQ(info.Depth.substr(0, 2), "7/");
    EXPECT_EQ(info.Score, -r.value);            // the program's view: Italian side 0 is turned
    EXPECT_EQ(f.log_lines("best ").size(), 4u); // iterations 1, 3, 5, 7
}

TEST(SearchText, MeanLeafPlyWithoutLeavesIsZero) {
    fixture f;
    f.ctx->control().iteration = 1;
    text::status_line(*f.ctx, "=", 0);
    EXPECT_NE(std::strstr(f.status, "depth 1/0.0/0,"), nullptr) << f.status;
}

TEST(SearchText, MoveTextsInTheItalianNumbering) {
    const auto before = diagram(
        {"........", "........", "........", "....w...", "...b....", "......b.", "........", "........"});
    struct row {
        const char* name;
        engine_position after;
        const char* text;
    } const rows[] = {
        {"colour 2 steps",
         diagram({"........", "........", "........", "....w...", "...b.b..", "........", "........",
                  "........"}),
         "12-15"},
        {"colour 1 captures",
         diagram({"........", "........", "........", "........", "........", "..w...b.", "........",
                  "........"}),
         "19-10"},
        {"no move", before, "xxxx"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(text::move_to_text(before, r.after), r.text);
    }
    // A king that captures round to its own square: its word does not change.
    const auto ring = diagram(
        {"........", "........", "........", "..b.b...", "...W....", "..b.b...", "........", "........"});
    const auto round_trip = diagram(
        {"........", "........", "........", "........", "...W....", "........", "........", "........"});
    EXPECT_EQ(text::move_to_text(ring, round_trip), "xxxx");
}

TEST(SearchText, StatusBufferHoldsAtMost1023Bytes) {
    char buffer[1100];
    std::memset(buffer, 'Z', sizeof buffer);
    text::write_status(buffer, std::string(2000, 'a'));
    EXPECT_EQ(std::strlen(buffer), 1023u);
    EXPECT_EQ(buffer[1024], 'Z');
    text::write_status(buffer, "Lost game");
    EXPECT_STREQ(buffer, "Lost game");
    text::write_status(nullptr, "ignored");
}

TEST(SearchText, BoardInTheItalianLog) {
    // A colour-2 king on square 1 and a colour-1 man on square 32.
    const engine_position p{{1u << 3, 1u << 28}, 1u << 3};
    EXPECT_EQ(text::board_diagram(p), "\n\n"
                                      "w - - - \n"
                                      " - - - - \n"
                                      "- - - - \n"
                                      " - - - - \n"
                                      "- - - - \n"
                                      " - - - - \n"
                                      "- - - - \n"
                                      " - - - B \n");
    fixture f;
    text::log_board(*f.ctx, p);
    EXPECT_EQ(f.log, text::board_diagram(p));
}

// The walk follows the table's best moves: it stops at an index past the move list and at an entry
// met before, and marks the entries it passes.
TEST(SearchText, PrincipalVariationOverDamagedAndCyclicTables) {
    fixture f;
    auto& hash = f.ctx->hash();
    // Two kings pacing: a -> b -> c -> d -> a again.
    const auto a = diagram(
        {"........", "........", "........", "........", ".....W..", "........", ".B......", "........"});
    const auto moves_a = legal_moves(a, 1);
    ASSERT_FALSE(moves_a.empty());
    std::vector<int> sides{1, 0, 1, 0};
    // Each king steps away and back again, so the line returns to a after four moves.
    auto index_of = [](const std::vector<engine_position>& list, const engine_position& p) {
        for (std::size_t i = 0; i < list.size(); ++i)
            if (engine_test::same(list[i], p)) return static_cast<int>(i);
        return -1;
    };
    const engine_position b = moves_a[0];
    const engine_position c = legal_moves(b, 0)[0];
    engine_position d{};
    for (const auto& m : legal_moves(c, 1))
        if ((m.pieces[1] ^ c.pieces[1]) == (b.pieces[1] ^ a.pieces[1])) d = m; // colour 1 steps back
    engine_position back{};
    for (const auto& m : legal_moves(d, 0))
        if (engine_test::same(m, a)) back = m;
    ASSERT_TRUE(engine_test::same(back, a));
    const engine_position chain[] = {a, b, c, d};
    for (int i = 0; i < 4; ++i) {
        const engine_position& from = chain[i];
        const engine_position& to = i < 3 ? chain[i + 1] : a;
        const int side = sides[i];
        marrak::tt::hash_key key = marrak::tt::make_key(from, side);
        hash.store(nullptr, key, 0, 8, marrak::tt::bound_exact, index_of(legal_moves(from, side), to));
    }
    // From the position before a (colour 2 to move there), the best move leads to a.
    const std::string pv = text::format_pv(*f.ctx, 0, a, a, 20);
    EXPECT_EQ(std::count(pv.begin(), pv.end(), ' '), 5) << pv; // "pv" and the move to a, then 4 moves
    marrak::tt::hash_key key = marrak::tt::make_key(a, 1);
    ASSERT_NE(hash.find(key), nullptr);
    EXPECT_TRUE(marrak::tt::entry_pv(*hash.find(key)));

    // An index past the list (stored modulo 32) ends the line.
    hash.clear();
    hash.store(nullptr, marrak::tt::make_key(a, 1), 0, 8, marrak::tt::bound_exact, 31);
    EXPECT_EQ(text::format_pv(*f.ctx, 0, a, a, 20), "pv xxxx");
    text::mark_pv_entries(*f.ctx, 0, a, 99, true);
}
