#pragma once
// The tournaments list: how many of the listed games each (tournament, site, year) holds, the rows
// the list window shows under its filters, and the rows saved as text.
// Names are CP1251 and compare exactly (letter case included). Interface thread.

#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "platform/io_status.h"

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

struct TTournEntry {
    std::string tournament, site;
    std::int32_t year = 0;
    std::int32_t games = 0;
};

// The entries in the order their first game was met.
class TTournamentList {
  public:
    const std::vector<TTournEntry>& Entries() const { return m_entries; }
    void Clear();
    // One more game of that tournament, site and year: a new entry when none is equal in all three.
    // Returns the entry's place in Entries().
    std::size_t AddTournament(const std::string& tournament, const std::string& site, std::int32_t year);
    // One more game of the entry at that place.
    void AddGame(std::size_t entry) { ++m_entries[entry].games; }

  private:
    std::vector<TTournEntry> m_entries;
    std::unordered_map<std::string, std::size_t> m_index; // the three fields joined -> entry
};

// Rebuilds `out` from the listed games (after a search, only the found ones), their records read
// from the index in large blocks. The list is left empty when the index cannot be read or a listed
// game has no record.
TDbStatus BuildTournamentList(const TGameDatabase& db, const TGameList& list, TTournamentList& out);

// What the list window shows: row 0 the titles, then one row per shown entry (number, tournament,
// site, year, games), and the totals line.
struct TTournamentGrid {
    std::vector<std::array<std::string, 5>> rows;
    std::int32_t shown = 0;
    std::int64_t games = 0;
    std::string totals; // "Tournaments=<shown>, games=<games>"
};
// The entries with more games than `minCount`, less those without a tournament name when
// `hideBlanks` is set, numbered from 1 in entry order.
TTournamentGrid FillTournamentGrid(const TTournamentList& list, std::int32_t minCount, bool hideBlanks);

// The shown rows as text, one line each, "1,City Cup,Town,1999,14", CR LF ends.
std::string TournamentListText(const TTournamentGrid& grid);
// Writes that text to `fileName` without its extension plus ".txt" (through a temporary file).
TIoStatus SaveTournamentList(const TTournamentGrid& grid, const std::string& fileName);
