#pragma once
// The games the database window lists, in the order it lists them: all games of its database after a
// reset, the found games after a search, any order after a sort. Positions in the list count from 1;
// the database window keeps its current position in the database's currentGame (0 for an empty list).
//
// Searches replace the list (Clear, then Append), sorts reorder Entries() in place; both leave the
// current position and the page to the window (TDatabaseForm::ListChanged).
// The database window's list is part of its TDatabaseSession (gamedb/database_session.h).
// Interface thread only.

#include "gamedb/game_database.h"

#include <cstdint>
#include <vector>

struct TGameListEntry {
    std::int32_t gameNumber = 0; // the game's number in the database (1-based)
    std::uint8_t selected = 0;   // 1: selected by the user
    std::uint8_t spare = 0;
    std::uint16_t node = 0; // the node a search by position found; shown when the game is loaded
};

class TGameList {
  public:
    std::int32_t Count() const { return static_cast<std::int32_t>(m_entries.size()); }
    bool Contains(std::int32_t position) const { return position >= 1 && position <= Count(); }
    // Entry at a position 1..Count().
    TGameListEntry& operator[](std::int32_t position) { return m_entries[std::size_t(position - 1)]; }
    const TGameListEntry& operator[](std::int32_t position) const {
        return m_entries[std::size_t(position - 1)];
    }

    void Clear() { m_entries.clear(); }
    void Append(std::int32_t gameNumber, std::uint16_t node = 0) {
        m_entries.push_back({gameNumber, 0, 0, node});
    }
    // Games 1..gameCount in order, none selected, no found node.
    void Reset(std::int32_t gameCount);
    // The entries in list order (position p is element p - 1), for sorts.
    std::vector<TGameListEntry>& Entries() { return m_entries; }
    const std::vector<TGameListEntry>& Entries() const { return m_entries; }

  private:
    std::vector<TGameListEntry> m_entries;
};

// The list becomes every game of `db` (none when it is closed), none selected.
void ResetGameList(TGameList& list, const TGameDatabase& db);
// The same: entries 1..game count are games 1..game count, unselected, node 0.
void ClearGameListMarks(TGameList& list, const TGameDatabase& db);
// Selected entries among the listed ones.
std::int32_t MarkedGameCount(const TGameList& list);
// The index record of the game at list position `position` of `list`, from `db`.
TDbStatus ReadListedRecord(const TGameDatabase& db, const TGameList& list, std::int32_t position,
                           TGameIndexRecord& record);

// The list positions a command on "the chosen games" works on: the selected entries in list order,
// or, with none selected, the current entry alone; none when the current position is not in the list.
std::vector<std::int32_t> ChosenListPositions(const TGameList& list, std::int32_t current);
