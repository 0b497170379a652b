// The database search over a database whose files may be damaged in any way: the fast search and the
// plain reference list the same games with the same nodes, for header criteria and for patterns taken
// from the games themselves.
// Input: as the whole-database entry: the length of the index file (two bytes, little-endian), the
// index file, the length of the name file (two bytes), the name file, and the move file (the rest).
#include "fuzz_files.h"
#include "gamedb/game_database.h"
#include "gamedb/game_search.h"
#include "tests/support/random_games.h"
#include "tests/support/reference_game_search.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

void Compare(const TGameDatabase& db, const TSearchCriteria& c) {
    TGameList fast, reference;
    RunGameSearch(db, fast, c, SilentProgress());
    test_support::ReferenceGameSearch(db, reference, c);
    if (fast.Count() != reference.Count()) std::abort();
    for (std::int32_t i = 1; i <= fast.Count(); ++i)
        if (fast[i].gameNumber != reference[i].gameNumber || fast[i].node != reference[i].node ||
            fast[i].selected != 0)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    test_support::TRandom random(static_cast<std::uint32_t>(size) * 2654435761u);
    const std::string index = fuzz_files::WriteDatabaseFiles("search", data, size);

    static TGameDatabase db;
    OpenDatabase(index, db, TOpenMode::ReadOnly);
    if (!db.open) return 0;

    TSearchCriteria c;
    Compare(db, c);
    if (!db.players.Empty())
        c.whiteText = db.players[std::size_t(random.Below(int(db.players.Size())))].substr(0, 2);
    c.ignoreColours = random.Percent(50);
    c.results[std::size_t(random.Below(6))] = 0;
    Compare(db, c);

    c = TSearchCriteria{};
    c.position = true;
    c.reversed = random.Percent(50);
    c.whiteMoves = random.Percent(70);
    c.blackMoves = random.Percent(70);
    Compare(db, c);
    c.board = TSearchBoard::b100;
    Compare(db, c);
    // A position of a game that reads whole, partly "any".
    static const auto game = std::make_unique<TGame>();
    for (int n = 1; n <= std::min(db.gameCount, 8); ++n) {
        if (ReadGame(db, n, false, *game) != TDbStatus::Ok) continue;
        TBoard b;
        PositionAtNode(random.Below(game->header.nodeCount + 1), *game, b);
        const int squares = SquaresOf(game->header.variant);
        c.board = squares == 50 ? TSearchBoard::b100 : TSearchBoard::b64;
        for (int i = 1; i <= squares; ++i)
            c.pattern[i] = random.Percent(30) ? sqAny : b[i];
        Compare(db, c);
        break;
    }
    CloseDatabase(db);
    return 0;
}
