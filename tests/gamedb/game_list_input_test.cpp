// Keys, mouse buttons and the wheel over the game list, as scripts of events with the view and the
// action after each.

#include "gamedb/game_list_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 100 games, 10 lines a page, first game current at the top.
TListView LongList() {
    return {1, 0, 10, 100, true};
}

struct Step {
    TListKey key;
    std::int32_t current, scroll;
    TListAction action;
};

TListAction Repaint() {
    TListAction a;
    a.repaint = true;
    return a;
}

void RunKeys(TListView v, const std::vector<Step>& script, bool open = true) {
    int i = 0;
    for (const Step& s : script) {
        SCOPED_TRACE("step " + std::to_string(i++));
        const TListAction a = ListKeyDown(v, s.key, open);
        EXPECT_EQ(v.current, s.current);
        EXPECT_EQ(v.scroll, s.scroll);
        EXPECT_EQ(a, s.action);
    }
}

TEST(ListKeys, PagesHomeEndAndSteps) {
    RunKeys(LongList(), {
                            {TListKey::PageDown, 11, 10, Repaint()},
                            {TListKey::PageDown, 21, 20, Repaint()},
                            {TListKey::PageUp, 11, 10, Repaint()},
                            {TListKey::PageUp, 1, 0, Repaint()},
                            {TListKey::PageUp, 1, 0, Repaint()}, // clamped at the top
                            {TListKey::End, 100, 90, Repaint()},
                            {TListKey::PageDown, 100, 90, Repaint()}, // never past the last page
                            {TListKey::Up, 99, 90, Repaint()},
                            {TListKey::Down, 100, 90, Repaint()},
                            {TListKey::Down, 100, 90, Repaint()}, // clamped at the end
                            {TListKey::Home, 1, 0, Repaint()},
                            {TListKey::Up, 1, 0, Repaint()},
                        });
    // Up and Down scroll by one line when the current line would leave the page.
    RunKeys({11, 10, 10, 100, true}, {{TListKey::Up, 10, 9, Repaint()}});
    RunKeys({20, 10, 10, 100, true}, {{TListKey::Down, 21, 11, Repaint()}});
    RunKeys({15, 10, 10, 100, true},
            {{TListKey::Down, 16, 10, Repaint()}, {TListKey::Up, 15, 10, Repaint()}});
    // A current line scrolled out of sight with the wheel comes back onto the page.
    RunKeys({5, 50, 10, 100, true}, {{TListKey::Down, 6, 5, Repaint()}});
    RunKeys({80, 20, 10, 100, true}, {{TListKey::Up, 79, 69, Repaint()}});
}

TEST(ListKeys, ShortListDoesNotPageOrScroll) {
    const TListView shortList{2, 0, 5, 5, false};
    RunKeys(shortList, {
                           {TListKey::PageDown, 2, 0, TListAction{}},
                           {TListKey::PageUp, 2, 0, TListAction{}},
                           {TListKey::End, 5, 0, Repaint()},
                           {TListKey::Down, 5, 0, Repaint()},
                           {TListKey::Home, 1, 0, Repaint()},
                       });
}

TEST(ListKeys, InsertDeleteEnterEscape) {
    TListAction select = Repaint(), mark = Repaint(), load, close;
    select.toggleSelected = 100;
    select.caption = true;
    mark.toggleDeleted = 99;
    load.load = true;
    close.close = true;
    // Insert on the last line toggles its mark and stays there.
    RunKeys({100, 90, 10, 100, true}, {{TListKey::Insert, 100, 90, select}});
    RunKeys({99, 90, 10, 100, true}, {{TListKey::Delete, 100, 90, mark}});
    RunKeys({4, 0, 10, 100, true}, {{TListKey::Enter, 4, 0, load}, {TListKey::Escape, 4, 0, close}});
    RunKeys({4, 0, 10, 100, true}, {{TListKey::Other, 4, 0, TListAction{}}});
    // With no database open, Insert and Delete do nothing; Enter still asks to load (which says why
    // it cannot).
    RunKeys({4, 0, 10, 100, true},
            {{TListKey::Insert, 4, 0, TListAction{}},
             {TListKey::Delete, 4, 0, TListAction{}},
             {TListKey::Enter, 4, 0, load}},
            false);
}

TEST(ListKeys, EmptyListTouchesNoGame) {
    const TListView empty{0, 0, 0, 0, false};
    for (TListKey k : {TListKey::Insert, TListKey::Delete, TListKey::Up, TListKey::Down, TListKey::Home,
                       TListKey::End, TListKey::PageUp, TListKey::PageDown}) {
        TListView v = empty;
        const TListAction a = ListKeyDown(v, k, true);
        EXPECT_EQ(v.current, 0);
        EXPECT_EQ(v.scroll, 0);
        EXPECT_EQ(a.toggleSelected, 0);
        EXPECT_EQ(a.toggleDeleted, 0);
        EXPECT_FALSE(a.load);
    }
    // A stale current position past the list: nothing is toggled, the position comes back into it.
    TListView stale{40, 0, 10, 30, true};
    const TListAction a = ListKeyDown(stale, TListKey::Insert, true);
    EXPECT_EQ(a.toggleSelected, 0);
    EXPECT_EQ(stale.current, 30);
    EXPECT_EQ(stale.scroll, 20);
}

TEST(ListMouse, Clicks) {
    struct Click {
        const char* what;
        TListButton button;
        std::int32_t line;
        std::int64_t at;
        std::int32_t current;
        bool load;
        std::int32_t toggled;
    };
    const Click script[] = {
        {"a left press makes the line current", TListButton::Left, 5, 1000, 5, false, 0},
        {"a second press on it within 0.3 s loads it", TListButton::Left, 5, 1029, 5, true, 0},
        {"a press at 0.3 s after the last is no double click", TListButton::Left, 5, 1059, 5, false, 0},
        {"two quick presses on different lines only move", TListButton::Left, 6, 1060, 6, false, 0},
        {"", TListButton::Left, 7, 1065, 7, false, 0},
        {"a right press selects and moves", TListButton::Right, 9, 2000, 9, false, 9},
        {"a quick right press again unselects, never loads", TListButton::Right, 9, 2005, 9, false, 9},
        {"below the last line: nothing", TListButton::Right, 101, 2010, 9, false, 0},
        {"above the first line: nothing", TListButton::Left, 0, 2015, 9, false, 0},
        {"the other button moves only", TListButton::Other, 3, 3000, 3, false, 0},
    };
    TListView v = LongList();
    TListClicks clicks;
    for (const Click& c : script) {
        SCOPED_TRACE(c.what);
        const TListView before = v;
        const TListAction a = ListMouseDown(v, clicks, c.button, c.line, c.at, true);
        EXPECT_EQ(v.current, c.current);
        EXPECT_EQ(v.scroll, before.scroll);
        EXPECT_EQ(a.load, c.load);
        EXPECT_EQ(a.toggleSelected, c.toggled);
        EXPECT_EQ(a.caption, c.toggled != 0);
        EXPECT_EQ(a.repaint, c.line >= 1 && c.line <= 100);
    }
    // A press below the list does not count as the first of a double click.
    TListView w = LongList();
    TListClicks fresh;
    ListMouseDown(w, fresh, TListButton::Left, 500, 10, true);
    EXPECT_FALSE(ListMouseDown(w, fresh, TListButton::Left, 1, 12, true).load);
    // With no database open the list is not there to click.
    TListView closed = LongList();
    EXPECT_EQ(ListMouseDown(closed, fresh, TListButton::Right, 4, 20, false), TListAction{});
    EXPECT_EQ(closed.current, 1);
}

TEST(ListWheel, PageAPerNotch) {
    EXPECT_EQ(ListWheelScroll({1, 50, 10, 100, true}, -1), 60); // towards the user: down the list
    EXPECT_EQ(ListWheelScroll({1, 50, 10, 100, true}, 2), 30);
    EXPECT_EQ(ListWheelScroll({1, 85, 10, 100, true}, -1), 90);
    EXPECT_EQ(ListWheelScroll({1, 5, 10, 100, true}, 3), 0);
    EXPECT_EQ(ListWheelScroll({1, 0, 5, 5, false}, -1), 0);
}

} // namespace
