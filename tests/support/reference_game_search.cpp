#include "tests/support/reference_game_search.h"

#include "platform/codepage.h"
#include "rules/movegen.h"

#include <memory>

namespace test_support {

namespace {

struct TReferenceWalk {
    const TGame& game;
    const TSearchCriteria& c;
    const TSearchPattern& reversed;
    int squares;
    bool found = false;
    int foundNode = 0;

    bool Match(const TSearchPattern& p, const TBoard& b) const {
        for (int i = 1; i <= squares; ++i)
            if (p[i] != 3 && p[i] != b[i]) return false;
        return true;
    }

    void Walk(int node, const TBoard& board, int side) {
        if (((side == 0 && c.whiteMoves) || (side == 1 && c.blackMoves)) && Match(c.pattern, board)) {
            found = true;
            foundNode = node;
            return;
        }
        if (c.reversed && ((side == 1 && c.whiteMoves) || (side == 0 && c.blackMoves)) &&
            Match(reversed, board)) {
            found = true;
            foundNode = node;
            return;
        }
        for (int child : ListChildNodes(node, game)) {
            TBoard next = board;
            MakeMove(game.nodes[child], next, game.header.variant);
            Walk(child, next, 1 - side);
        }
    }
};

TSearchPattern ReversedOf(const TSearchPattern& pattern, int squares) {
    TSearchPattern reversed = pattern;
    for (int i = 1; i <= squares; ++i) {
        const int v = pattern[squares + 1 - i];
        reversed[i] = static_cast<std::int8_t>(v == 3 ? 3 : -v);
    }
    return reversed;
}

int PatternSquares(const TSearchCriteria& c) {
    return c.board == TSearchBoard::b100 ? 50 : 32;
}

bool Has(const std::string& name, const std::string& text) {
    return text.empty() || Cp1251LowerString(name).find(text) != std::string::npos;
}

} // namespace

void ReferenceGameSearch(const TGameDatabase& db, TGameList& list, const TSearchCriteria& c) {
    list.Clear();
    const int squares = PatternSquares(c);
    const std::string white = Cp1251LowerString(c.whiteText), black = Cp1251LowerString(c.blackText),
                      tournament = Cp1251LowerString(c.tournamentText);
    auto game = std::make_unique<TGame>();
    const std::int32_t games = db.open ? db.gameCount : 0;
    for (std::int32_t n = 1; n <= games; ++n) {
        TGameIndexRecord r;
        if (ReadIndexRecord(db, n, r) != TDbStatus::Ok) continue;
        if (c.deleted && !(r.flags & 128)) continue;
        if (!Has(TournamentName(r.tournament, db), tournament)) continue;
        if (r.year < c.yearFrom || r.year > c.yearTo) continue;
        if ((r.fullMoves & 255) < c.movesFrom || (r.fullMoves & 255) > c.movesTo) continue;
        if (c.comments && !(r.flags & (16 | 32))) continue;
        if (c.variations && !(r.flags & (4 | 8))) continue;
        const std::string whiteName = PlayerName(r.white, db), blackName = PlayerName(r.black, db);
        const int result = r.result <= 5 ? r.result : 0;
        bool accepted = c.results[result] && Has(whiteName, white) && Has(blackName, black);
        if (!accepted && c.ignoreColours) {
            const int swapped[6] = {0, 3, 2, 1, 5, 4};
            accepted = c.results[swapped[result]] && Has(whiteName, black) && Has(blackName, white);
        }
        if (!accepted) continue;
        int node = 0;
        if (c.position) {
            if (!IsValidVariant(r.variant) || SquaresOf(r.variant) != squares) continue;
            if (ReadGame(db, n, false, *game) != TDbStatus::Ok) continue;
            node = ReferencePositionInTree(*game, c);
            if (node < 0) continue;
        }
        list.Append(n, static_cast<std::uint16_t>(node));
    }
}

int ReferencePositionInTree(const TGame& game, const TSearchCriteria& c) {
    const int squares = PatternSquares(c);
    const TSearchPattern reversed = ReversedOf(c.pattern, squares);
    TBoard start;
    KeyToPosition(game.startKey, start);
    TReferenceWalk walk{game, c, reversed, squares};
    walk.Walk(0, start, game.header.startSide ? 1 : 0);
    return walk.found ? walk.foundNode : -1;
}

} // namespace test_support
