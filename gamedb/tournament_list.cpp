#include "gamedb/tournament_list.h"

#include "gamedb/game_list_sort.h"
#include "platform/atomic_file.h"
#include "rules/file_names.h"

namespace {

std::string JoinedKey(const std::string& tournament, const std::string& site, std::int32_t year) {
    // Each name behind its length: names from a file may hold any byte, so no separator would do.
    return std::to_string(tournament.size()) + ':' + tournament + std::to_string(site.size()) + ':' + site +
           std::to_string(year);
}

} // namespace

void TTournamentList::Clear() {
    m_entries.clear();
    m_index.clear();
}

std::size_t TTournamentList::AddTournament(const std::string& tournament, const std::string& site,
                                           std::int32_t year) {
    const auto [it, added] = m_index.try_emplace(JoinedKey(tournament, site, year), m_entries.size());
    if (added)
        m_entries.push_back({tournament, site, year, 1});
    else
        AddGame(it->second);
    return it->second;
}

TDbStatus BuildTournamentList(const TGameDatabase& db, const TGameList& list, TTournamentList& out) {
    out.Clear();
    if (!db.open) return TDbStatus::NotOpen;
    std::vector<TGameIndexRecord> records;
    if (const TDbStatus s = ReadAllIndexRecords(db, records); s != TDbStatus::Ok) return s;
    // Most games repeat a (tournament, site, year) of their stored indices: those find their entry
    // without building the names again.
    std::unordered_map<std::uint64_t, std::size_t> byIndex;
    for (const TGameListEntry& e : list.Entries()) {
        if (e.gameNumber < 1 || std::size_t(e.gameNumber) > records.size()) {
            out.Clear();
            return TDbStatus::NoSuchGame;
        }
        const TGameIndexRecord& r = records[std::size_t(e.gameNumber - 1)];
        const std::uint64_t key =
            (std::uint64_t(r.tournament) << 32) | (std::uint64_t(r.site) << 16) | r.year;
        if (const auto it = byIndex.find(key); it != byIndex.end())
            out.AddGame(it->second);
        else
            byIndex.emplace(
                key, out.AddTournament(TournamentName(r.tournament, db), SiteName(r.site, db), r.year));
    }
    return TDbStatus::Ok;
}

TTournamentGrid FillTournamentGrid(const TTournamentList& list, std::int32_t minCount, bool hideBlanks) {
    TTournamentGrid grid;
    grid.rows.push_back({"No", "Tournament", "Site", "Year", "Count"});
    for (const TTournEntry& e : list.Entries()) {
        if (e.games <= minCount || (hideBlanks && e.tournament.empty())) continue;
        ++grid.shown;
        grid.games += e.games;
        grid.rows.push_back({std::to_string(grid.shown), e.tournament, e.site, std::to_string(e.year),
                             std::to_string(e.games)});
    }
    grid.totals = "Tournaments=" + std::to_string(grid.shown) + ", games=" + std::to_string(grid.games);
    return grid;
}

std::string TournamentListText(const TTournamentGrid& grid) {
    std::string text;
    for (std::size_t r = 1; r < grid.rows.size(); ++r) {
        const auto& row = grid.rows[r];
        text += row[0] + ',' + row[1] + ',' + row[2] + ',' + row[3] + ',' + row[4] + "\r\n";
    }
    return text;
}

TIoStatus SaveTournamentList(const TTournamentGrid& grid, const std::string& fileName) {
    return AtomicWriteFile(StripExtension(fileName) + ".txt", TournamentListText(grid));
}
