// The built-in engine's owner in the shell: the exported count and analysis run on its table and
// poll the shell's stop word, and a change of variant empties its table once the shell has
// registered the hook.
#include "app/core/builtin_engine.h"
#include "app/export/builtin_exports.h"
#include "session_fixture.h"

#include <array>

using namespace app_test;

namespace {

class BuiltinEngineOwner : public testing::Test {
  protected:
    void SetUp() override {
        ResetGame(StartPosition64, 0, gtRussian, false);
        UseSmallHashTable();
        BuiltinEngine().ClearHashTable();
        SetEngineStopFlag(0);
        for (int s = 1; s <= 50; ++s)
            m_board[s - 1] = StartPosition64[s];
    }
    void TearDown() override { SetEngineStopFlag(0); }
    std::array<signed char, 50> m_board{};
};

TEST_F(BuiltinEngineOwner, TheExportedSearchFillsTheProgramsTableAndStopsOnTheShellsWord) {
    const THashTable& table = BuiltinEngine().HashTable();
    // Depth 6 from ply 1: the same value as a searcher of its own gives.
    THashTable own;
    own.Allocate(1 << 14);
    TEngineRandom rng(12345);
    own.InitKeys(rng);
    TSearcher searcher(own, gtRussian);
    EXPECT_EQ(analysis(m_board.data(), -2000, 2000, 1, 6, 0, 1),
              searcher.Search(StartPosition64, -2000, 2000, 1, 6, 0, 1));
    EXPECT_GT(table.StoredCount(), 0u);

    // Raised, the word ends the search after its first child: nothing is stored.
    BuiltinEngine().ClearHashTable();
    SetEngineStopFlag(1);
    analysis(m_board.data(), -2000, 2000, 1, 6, 0, 1);
    EXPECT_EQ(table.StoredCount(), 0u);
}

TEST_F(BuiltinEngineOwner, TheExportedEvaluationCountsIntoTheExportsSearcher) {
    TSearcher& searcher = BuiltinEngine().ExportSearcher();
    searcher.ResetEvaluations();
    EXPECT_EQ(count(0, m_board.data(), 1, 1), 0); // the start position is even
    EXPECT_EQ(count(1, m_board.data(), 1, 1), 0);
    EXPECT_EQ(searcher.Evaluations(), 2u);
}

TEST_F(BuiltinEngineOwner, AChangeOfVariantEmptiesTheTableOnceTheShellRegisteredIt) {
    THashTable& table = BuiltinEngine().HashTable();
    auto storeOne = [&] {
        THashProbe p;
        BuiltinEngine().ProbeHashTable(StartPosition64, 0, p);
        table.StoreResult(p, 0, 1, 0, 1, -2000, 2000);
        ASSERT_EQ(table.StoredCount(), 1u);
    };
    const TVariantHooks saved = VariantHooks();
    VariantHooks().clearHashTable = nullptr;
    storeOne();
    GameSession().SetVariant(gtEnglish);
    EXPECT_EQ(table.StoredCount(), 1u) << "no hook, no clearing: the rules layer holds no table";

    RegisterBuiltinEngineHooks(BuiltinEngine());
    GameSession().SetVariant(gtRussian);
    EXPECT_EQ(table.StoredCount(), 0u);
    VariantHooks() = saved;
}

} // namespace
