#include "rules/variant_state.h"

#include "rules/endgame_db.h"

std::atomic<TGameType> CurrentVariant{gtRussian};
std::atomic<int> SquareCount{32};
std::atomic<int> BoardGeometry{1};

TVariantHooks& VariantHooks() {
    static TVariantHooks hooks;
    return hooks;
}

void SetGameVariant(TGameType v) {
    CurrentVariant = v;
    SquareCount = SquaresOf(v);
    BoardGeometry = GeometryOf(v);
    const TVariantHooks& hooks = VariantHooks();
    if (hooks.clearHashTable) hooks.clearHashTable();
    // The book, then the endgame database: two openers side by side, neither calls the other.
    if (hooks.openBook) hooks.openBook(v);
    OpenEndgameDatabase(v);
}
