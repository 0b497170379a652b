#include "gamedb/game_search.h"

TSearchCriteria SearchCriteria;

TSearchPattern AnyPattern() {
    TSearchPattern p;
    p.fill(sqAny);
    p[0] = 0;
    return p;
}

TSearchPattern ReversedPattern(const TSearchPattern& pattern, int squares) {
    TSearchPattern r = AnyPattern();
    for (int i = 1; i <= squares; ++i) {
        const std::int8_t v = pattern[squares + 1 - i];
        r[i] = v == sqAny ? sqAny : std::int8_t(-v);
    }
    return r;
}

bool MatchSearchPattern(const TSearchPattern& pattern, const TBoard& board, int squares) {
    for (int i = 1; i <= squares; ++i)
        if (pattern[i] != sqAny && pattern[i] != board[i]) return false;
    return true;
}

bool MatchReversedPattern(const TSearchPattern& pattern, const TBoard& board, int squares) {
    return MatchSearchPattern(ReversedPattern(pattern, squares), board, squares);
}

bool MatchSearchHeader(const TSearchCriteria&, const TGameIndexRecord&, const std::string&,
                       const std::string&, const std::string&) {
    return false;
}

int SearchPositionInTree(const TGame&, const TSearchCriteria&) {
    return -1;
}

void RunGameSearch(const TGameDatabase&, TGameList& list, const TSearchCriteria&, IProgress&) {
    list.Clear();
}

void RunGameSearch() {
    RunGameSearch(GameDatabase, GameList, SearchCriteria, Progress());
}
