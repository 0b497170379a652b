#include "gamedb/game_list.h"

#include <algorithm>

void TGameList::Reset(std::int32_t gameCount) {
    m_entries.resize(std::size_t(std::max(gameCount, 0)));
    for (std::int32_t i = 0; i < Count(); ++i)
        m_entries[std::size_t(i)] = {i + 1, 0, 0, 0};
}

void ResetGameList(TGameList& list, const TGameDatabase& db) {
    list.Reset(db.open ? db.gameCount : 0);
}

void ClearGameListMarks(TGameList& list, const TGameDatabase& db) {
    ResetGameList(list, db);
}

std::int32_t MarkedGameCount(const TGameList& list) {
    return static_cast<std::int32_t>(std::count_if(list.Entries().begin(), list.Entries().end(),
                                                   [](const TGameListEntry& e) { return e.selected != 0; }));
}

TDbStatus ReadListedRecord(const TGameDatabase& db, const TGameList& list, std::int32_t position,
                           TGameIndexRecord& record) {
    if (!list.Contains(position)) return TDbStatus::NoSuchGame;
    return ReadIndexRecord(db, list[position].gameNumber, record);
}

std::vector<std::int32_t> ChosenListPositions(const TGameList& list, std::int32_t current) {
    std::vector<std::int32_t> out;
    for (std::int32_t p = 1; p <= list.Count(); ++p)
        if (list[p].selected) out.push_back(p);
    if (out.empty() && list.Contains(current)) out.push_back(current);
    return out;
}
