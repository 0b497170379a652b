#include "gamedb/header_set.h"

#include <algorithm>

THeaderSetResult ApplyHeaderSet(TGameDatabase& db, const TGameList& list, const THeaderSet& set) {
    THeaderSetResult result;
    if (!db.open) {
        result.status = TDbStatus::NotOpen;
        return result;
    }
    for (const TGameListEntry& e : list.Entries()) {
        if (!e.selected) continue;
        TQuickGameHeader h;
        if ((result.status = ReadQuickHeader(db, e.gameNumber, h)) != TDbStatus::Ok) return result;
        if (set.setWhite) h.white = set.white;
        if (set.setBlack) h.black = set.black;
        if (set.setTournament) h.tournament = set.tournament;
        if (set.setSite) h.site = set.site;
        if (set.setDate) {
            h.header.year = static_cast<std::uint16_t>(std::clamp(set.year, 0, 2100));
            h.header.month = static_cast<std::uint8_t>(std::clamp(set.month, 0, 12));
            h.header.day = static_cast<std::uint8_t>(std::clamp(set.day, 0, 31));
        }
        if ((result.status = WriteQuickHeader(db, e.gameNumber, h)) != TDbStatus::Ok) return result;
        ++result.changed;
    }
    return result;
}
