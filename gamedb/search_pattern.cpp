#include "gamedb/search_pattern.h"

// Declared with the criteria, whose default pattern it is.
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
