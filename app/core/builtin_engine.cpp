#include "app/core/builtin_engine.h"

#include "rules/evaluation.h"
#include "rules/variant_state.h"

TBuiltinEngine::TBuiltinEngine(TStopWord& stop) : m_stop(stop), m_searcher(m_table, gtRussian, {}, &stop) {}

THashSizeResult TBuiltinEngine::SetHashSize(int setting) {
    SeedEngineRandomFromClock(m_random);
    return ::SetHashSize(m_table, setting, m_random);
}

void TBuiltinEngine::InitHashKeys() {
    SeedEngineRandomFromClock(m_random);
    m_table.InitKeys(m_random);
}

void TBuiltinEngine::ClearHashTable() {
    m_table.Clear();
}

std::uint32_t TBuiltinEngine::PositionHash(const TBoard& board) const {
    return m_table.Hash(board, SquareCount);
}

void TBuiltinEngine::ProbeHashTable(const TBoard& board, int side, THashProbe& out) {
    m_table.Probe(board, side, SquareCount, out);
}

TRootSearchSetup TBuiltinEngine::SearchSetup() {
    return {&m_table, SearchEdbProbe(), &m_random, &m_stop};
}

std::int16_t TBuiltinEngine::Count(int side, const TBoard& board, int ply, int countFlag, TGameType variant) {
    m_searcher.Reset(m_table, variant, SearchEdbProbe(), &m_stop);
    m_searcher.CountEvaluation(countFlag);
    return Evaluate(side, board, ply, variant);
}

std::int16_t TBuiltinEngine::Analysis(const TBoard& board, int alpha, int beta, int ply, int depth, int side,
                                      int countFlag, TGameType variant) {
    m_searcher.Reset(m_table, variant, SearchEdbProbe(), &m_stop);
    return static_cast<std::int16_t>(m_searcher.Search(board, alpha, beta, ply, depth, side, countFlag));
}

void RegisterBuiltinEngineHooks(TBuiltinEngine& engine) {
    VariantHooks().clearHashTable = [&engine] { engine.ClearHashTable(); };
}
