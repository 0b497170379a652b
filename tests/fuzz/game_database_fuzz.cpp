// A whole database opened from files that may be damaged in any way: the index (".vqb"), names
// (".vqn") and moves (".vqm"). Every game is read, what reads back whole is rewritten in place and
// must read back the same, and a new game is appended: damage is reported, never spread.
// Input: the length of the index file (two bytes, little-endian), the index file, the length of
// the name file (two bytes), the name file, and the move file (the rest).
#include "fuzz_files.h"
#include "gamedb/game_database.h"
#include "tests/support/random_games.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

bool SameGame(const TGame& a, const TGame& b) {
    if (a.header != b.header || a.startKey != b.startKey || a.white != b.white || a.black != b.black ||
        a.annotator != b.annotator || a.tournament != b.tournament || a.site != b.site)
        return false;
    for (int n = 1; n <= a.header.nodeCount && n <= MaxNodes; ++n) {
        const TMove &x = a.nodes[n], &y = b.nodes[n];
        if (x.free != y.free ||
            (!x.free && (x.parent != y.parent || !x.SameMove(y) || a.commentAfter[n] != b.commentAfter[n])))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string index = fuzz_files::WriteDatabaseFiles("fuzz", data, size);

    static TGameDatabase db;
    OpenDatabase(index, db);
    if (!db.open) return 0;
    static const auto game = std::make_unique<TGame>(), back = std::make_unique<TGame>();
    TGame &g = *game, &b = *back;
    const int games = std::min(db.gameCount, 40);
    for (int n = 1; n <= games; ++n) {
        TQuickGameHeader h;
        ReadQuickHeader(db, n, h);
        if (ReadGame(db, n, false, g) != TDbStatus::Ok) continue;
        TBoard board;
        for (int k = 0; k <= g.header.nodeCount; ++k)
            if (g.InUse(k) && !PositionAtNode(k, g, board)) std::abort();
        // A game that read back whole is stored again as it is (its names may be "ERROR!!!" when
        // the name file lacks them) and reads back the same.
        if (WriteGame(g, n, db, false) != TDbStatus::Ok) continue;
        if (ReadGame(db, n, false, b) != TDbStatus::Ok || !SameGame(g, b)) std::abort();
    }
    // Whatever the damage, a new game can be appended and read back.
    test_support::TRandom random(static_cast<std::uint32_t>(size));
    test_support::TRandomGameOptions options;
    options.moves = 10;
    const auto added = test_support::RandomGame(random, options);
    g = *added.game;
    const std::int32_t count = IndexRecordCount(db);
    if (WriteGame(g, 0, db, false) == TDbStatus::Ok) {
        if (ReadGame(db, count + 1, false, b) != TDbStatus::Ok || !SameGame(g, b)) std::abort();
    }
    CloseDatabase(db);
    return 0;
}
