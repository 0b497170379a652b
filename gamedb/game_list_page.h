#pragma once
// What the game list panel shows: the texts of one line, the page arithmetic (lines per page, the
// scroll range, the line under a point) and the reading of one page. The panel only paints what
// these return; it never holds more than one page, whatever the size of the database.
// Pure functions except ReadListPage, which reads the index file; interface thread.

#include "gamedb/game_database.h"
#include "gamedb/game_list.h"

#include <cstdint>
#include <string>
#include <vector>

// The texts of one line, CP1251.
struct TListLine {
    std::string number, players, event, year, result, moves, marks;
    bool deleted = false;
    bool operator==(const TListLine&) const = default;
};

// The line of game `gameNumber` with header `h`: "White - Black"; the event as tournament, ", site",
// " [round.subround]", " (annotator)", each part only when it is set; the year blank when unknown;
// the content marks (ListMarks).
TListLine ListLineOf(std::int32_t gameNumber, const TQuickGameHeader& h);
// "P"/"p" set-up start, "V"/"v" variations, "C"/"c" comments; capitals for the larger kind.
std::string ListMarks(std::uint8_t flags);

// The first line starts this many pixels below the panel's top: the header bar lies above it.
constexpr int ListTop = 18;
// A line is the font's text height plus 2 pixels.
constexpr int ListLineHeight(int textHeight) {
    return textHeight + 2;
}

// The page of a panel `panelHeight` pixels high over a list of `count` games.
struct TPageParams {
    std::int32_t lines = 0;         // lines per page
    bool scrollEnabled = false;     // more games than lines
    std::int32_t scrollMaximum = 0; // the last scroll position: the last page ends with the last game
    std::int32_t pageStep = 0;      // a page of the scroll bar
    bool operator==(const TPageParams&) const = default;
};
TPageParams PageParams(int panelHeight, int lineHeight, std::int32_t count);

// The list position shown on the first line minus 1, for a scroll bar at `scroll`.
std::int32_t FirstEntryOffset(std::int32_t scroll, const TPageParams& page);
// The list position under a point `y` pixels below the panel's top (below 1 above the first line,
// beyond the list below the last one); `offset` as FirstEntryOffset gives it.
std::int32_t ListLineAt(int y, int lineHeight, std::int32_t offset);

// The lines of list positions offset + 1 .. offset + lines. A closed database, a position past the
// list or a game past the index file's records (a stale page after the list or the file changed)
// gives an empty line: nothing is read for it.
std::vector<TListLine> ReadListPage(const TGameDatabase& db, const TGameList& list, std::int32_t offset,
                                    std::int32_t lines);

// The window caption: "Database" with no database open; else the index file's name, then " (",
// "found " when the list is not the whole database, "<selected>/" when games are selected, the
// number listed and ")". The file name is as the file system spells it (UTF-8).
std::string DatabaseCaption(const TGameDatabase& db, std::int32_t listCount, std::int32_t selected);
