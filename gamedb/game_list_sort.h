#pragma once
// Ordering the database window's game list by White, Black, or year and tournament, and the "Sort
// games list" command, which also renumbers the games of the database when the list holds each of
// them exactly once.
//
// Names compare as CP1251 bytes (ordinal, letter case included), so "ё" (184) sorts before "а"
// (224); entries with equal keys keep their list order. The index file is read once in large
// blocks and each name list ranked once, so a sort of 100,000 games reads no record twice.
// Interface thread, like the database window's database.

#include "gamedb/game_database.h"
#include "gamedb/game_list.h"

#include <cstdint>
#include <vector>

enum class TSortKind : int { White = 1, Black = 2, YearTournament = 3 };

// Every index record of `db`, record n - 1 for game n; Ok with an empty vector for an empty database.
TDbStatus ReadAllIndexRecords(const TGameDatabase& db, std::vector<TGameIndexRecord>& records);

// Rank of each name of a list in ordinal byte order (equal names share a rank); the entry past the
// end is the rank of "ERROR!!!", which an index beyond the list reads as.
std::vector<std::uint32_t> RankNames(const TNameList& list);

// Sorts entries first..last (list positions, 1-based) of `list` in place: kind 1 by White's name,
// 2 by Black's name, 3 by year, then tournament name, then round. The list is unchanged when a
// listed game has no record (NoSuchGame) or the index cannot be read.
TDbStatus SortGameList(const TGameDatabase& db, TGameList& list, std::int32_t first, std::int32_t last,
                       TSortKind kind);

// True when the list holds each of the games 1..gameCount exactly once.
bool ListIsPermutation(const TGameList& list, std::int32_t gameCount);

struct TSortListResult {
    TDbStatus status = TDbStatus::Ok;
    bool sorted = false;     // the list is in the new order
    bool renumbered = false; // the index file was rewritten in list order and the list reset
};
// The command: sorts the whole list; when it is a permutation of every game, rewrites the index
// file in the new order (through a temporary file) so that the games are renumbered for good, and
// resets the list to games 1..n. A search result, or a list that holds a game twice, is only
// ordered and the index file is left as it was. On a failed rewrite the list stays sorted.
TSortListResult SortListedGames(TGameDatabase& db, TGameList& list, TSortKind kind);
