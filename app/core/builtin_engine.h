#pragma once
// The built-in engine Vantor as the shell owns it: its hash table, its random source (the table's
// keys and the choice among near-equal moves), the stop word its searches poll, and the searcher of
// the program's exported count and analysis. The program has one (BuiltinEngine(), in the engine
// requests); a test may make its own on a word of its own.
// Threads: the engine thread searches; the user-interface thread sizes and clears the table only
// between requests. No locks.

#include "rules/engine_random.h"
#include "rules/engine_stop.h"
#include "rules/hash_table.h"
#include "rules/search.h"
#include "rules/search_root.h"

#include <cstdint>

class TBuiltinEngine {
  public:
    explicit TBuiltinEngine(TStopWord& stop);
    TBuiltinEngine(const TBuiltinEngine&) = delete;
    TBuiltinEngine& operator=(const TBuiltinEngine&) = delete;

    THashTable& HashTable() { return m_table; }
    const THashTable& HashTable() const { return m_table; }
    TEngineRandom& Random() { return m_random; }
    TStopWord& StopWord() { return m_stop; }

    // Sizes the table from the memory setting (megabytes, rounded down to 7 ... 896, halved while
    // the allocation fails), clears it and draws new keys, the generator seeded from the clock.
    THashSizeResult SetHashSize(int setting);
    // New keys, the generator reseeded from the clock.
    void InitHashKeys();
    void ClearHashTable();
    // The slot of a board of the current variant (over SquareCount squares), and the probe there.
    std::uint32_t PositionHash(const TBoard& board) const;
    void ProbeHashTable(const TBoard& board, int side, THashProbe& out);

    // What a request's root search works on: this table, random source and stop word, and the
    // program's endgame database.
    TRootSearchSetup SearchSetup();

    // The exported evaluation and search of a board of `variant` (their arguments checked by the
    // caller); both count into the exports' searcher, which searches on this table and polls the
    // stop word. Engine thread only.
    std::int16_t Count(int side, const TBoard& board, int ply, int countFlag, TGameType variant);
    std::int16_t Analysis(const TBoard& board, int alpha, int beta, int ply, int depth, int side,
                          int countFlag, TGameType variant);
    TSearcher& ExportSearcher() { return m_searcher; }

  private:
    TStopWord& m_stop;
    THashTable m_table;
    TEngineRandom m_random;
    TSearcher m_searcher;
};

// Start-up: a change of variant empties the engine's table (SetGameVariant calls it through
// VariantHooks).
void RegisterBuiltinEngineHooks(TBuiltinEngine& engine);
