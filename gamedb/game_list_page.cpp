#include "gamedb/game_list_page.h"

#include "gamedb/game_index_record.h"

#include <algorithm>

TListLine ListLineOf(std::int32_t gameNumber, const TQuickGameHeader& h) {
    const TGameIndexRecord& r = h.header;
    TListLine l;
    l.number = std::to_string(gameNumber);
    l.players = h.white + " - " + h.black;
    l.event = h.tournament;
    if (!h.site.empty()) l.event += ", " + h.site;
    if (r.round != 0) {
        l.event += " [" + std::to_string(r.round);
        if (r.subround != 0) l.event += "." + std::to_string(r.subround);
        l.event += "]";
    }
    if (!h.annotator.empty()) l.event += " (" + h.annotator + ")";
    if (r.year != 0) l.year = std::to_string(r.year);
    l.result = GameResultText(r.result);
    l.moves = std::to_string(r.fullMoves);
    l.marks = ListMarks(r.flags);
    l.deleted = (r.flags & gfDeleted) != 0;
    return l;
}

std::string ListMarks(std::uint8_t flags) {
    std::string m;
    if (flags & gfOtherSetUp)
        m += 'P';
    else if (flags & gfFullSetUp)
        m += 'p';
    if (flags & gfManyVariations)
        m += 'V';
    else if (flags & gfFewVariations)
        m += 'v';
    if (flags & gfManyComments)
        m += 'C';
    else if (flags & gfFewComments)
        m += 'c';
    return m;
}

TPageParams PageParams(int panelHeight, int lineHeight, std::int32_t count) {
    TPageParams p;
    count = std::max(count, 0);
    const int fit = lineHeight > 0 ? std::max((panelHeight - 17) / lineHeight, 0) : 0;
    if (fit >= count) {
        p.lines = count;
    } else if (fit > 0) {
        p.lines = fit;
        p.scrollEnabled = true;
        p.scrollMaximum = count - fit;
        p.pageStep = fit;
    }
    return p;
}

std::int32_t FirstEntryOffset(std::int32_t scroll, const TPageParams& page) {
    return page.scrollEnabled ? std::clamp(scroll, 0, page.scrollMaximum) : 0;
}

std::int32_t ListLineAt(int y, int lineHeight, std::int32_t offset) {
    if (lineHeight <= 0) return 0;
    const int dy = y - ListTop;
    // Above the first line is above it, not line 1: round down, not towards zero.
    const int line = (dy >= 0 ? dy / lineHeight : -((-dy + lineHeight - 1) / lineHeight)) + 1;
    return line + offset;
}

std::vector<TListLine> ReadListPage(const TGameDatabase& db, const TGameList& list, std::int32_t offset,
                                    std::int32_t lines) {
    std::vector<TListLine> page(std::size_t(std::max(lines, 0)));
    if (!db.open) return page;
    TQuickGameHeader h;
    for (std::int32_t i = 1; i <= lines; ++i) {
        const std::int32_t position = offset + i;
        if (!list.Contains(position)) continue;
        const std::int32_t game = list[position].gameNumber;
        if (ReadQuickHeader(db, game, h) != TDbStatus::Ok) continue; // checks the game against the file
        page[std::size_t(i - 1)] = ListLineOf(game, h);
    }
    return page;
}

std::string DatabaseCaption(const TGameDatabase& db, std::int32_t listCount, std::int32_t selected) {
    if (!db.open) return "Database";
    std::string c = db.indexFileName + " (";
    if (listCount != db.gameCount) c += "found ";
    if (selected > 0) c += std::to_string(selected) + "/";
    return c + std::to_string(listCount) + ")";
}
