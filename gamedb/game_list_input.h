#pragma once
// Keys, mouse buttons and the wheel over the game list, as a state machine over the current
// position, the scroll position, the lines per page and the number of listed games. Each event
// changes the view and returns what the window must do about it (load, toggle a mark, repaint,
// update the caption, close); the window does it. Pure; interface thread.

#include <cstdint>

struct TListView {
    std::int32_t current = 0; // list position of the current game: 1..count, 0 for an empty list
    std::int32_t scroll = 0;  // the scroll bar's position: the first shown position - 1
    std::int32_t lines = 0;   // lines per page
    std::int32_t count = 0;   // games listed
    bool scrollEnabled = false;

    std::int32_t ScrollMaximum() const { return count > lines ? count - lines : 0; }
    bool operator==(const TListView&) const = default;
};

enum class TListKey { Escape, Insert, Delete, Enter, PageUp, PageDown, End, Home, Up, Down, Other };

struct TListAction {
    bool close = false;              // close the window
    bool load = false;               // load the current game into the main window
    std::int32_t toggleSelected = 0; // list position whose selected mark flips, 0 for none
    std::int32_t toggleDeleted = 0;  // list position whose deleted mark flips, 0 for none
    bool caption = false;            // the caption changes (a selection did)
    bool repaint = false;            // the page changes (current line, marks or scroll position)
    bool operator==(const TListAction&) const = default;
};

// A key. Insert and Delete act on the current game (only when it is in the list) and then move down
// as Down does; Page Up and Page Down move by a page only while the list is longer than the page;
// Up and Down scroll just enough to keep the current line on the page.
TListAction ListKeyDown(TListView& view, TListKey key, bool databaseOpen);

// Mouse buttons on the list.
enum class TListButton { Left, Right, Other };

// The time of the last press, for double clicks.
struct TListClicks {
    bool pressed = false;
    std::int64_t stamp = 0; // centiseconds
};

// A double click is a left press on the line that is already current, less than this many
// centiseconds after the previous press.
constexpr std::int64_t DoubleClickCentiseconds = 30;

// A press on list position `line` (ListLineAt) at time `now` (centiseconds). A line outside the list
// is ignored. A right press flips the line's selection; the line becomes current; a double click
// loads it.
TListAction ListMouseDown(TListView& view, TListClicks& clicks, TListButton button, std::int32_t line,
                          std::int64_t now, bool databaseOpen);

// The scroll position after a wheel turn of `notches` (positive away from the user: up the list):
// a page (lines per page) per notch; unchanged while the whole list fits.
std::int32_t ListWheelScroll(const TListView& view, int notches);
