#pragma once
// The end of a game: no legal move, the third repetition of a position, the move limits, the loss
// on time and the engine's answer to a draw offer. The functions on the game session take its
// lock themselves, so a result is set once whichever thread tests first.

#include "rules/game.h"

#include <cstdint>
#include <random>

// The result codes (grNone ...) and SideIsWhite come from rules/game.h.

// The moves from the root to `node` (root side first); empty for the root or a damaged chain.
std::vector<int> PathToNode(const TGame& g, int node);

// `board` with `side` to move stood twice before on the path from the game's start to `node`.
bool IsThreefoldRepetition(const TGame& g, int node, const TBoard& board, int side, TGameType variant);
// Plies back from `node` to the last capture or man move (or the root): at least 30, or 100 in
// English and Italian.
int PliesSinceProgress(const TGame& g, int node, TGameType variant);
bool IsMoveLimitDraw(const TGame& g, int node, TGameType variant);

// On the game session: true when the side to move has no legal move, or, in play mode, a
// draw rule applies, or an engine match has a result. In play mode with no result yet it sets the
// result, stops the clock and posts the message. Any thread.
bool CheckGameOver();
// The same for a request that took its mode when it started.
bool CheckGameOver(bool playMode);

// The clock of the side to move ran out: the other side wins on time, unless the game already has
// a result. Timer only.
void RecordLossOnTime(int side);

// The engine accepts a draw when at most 8 pieces remain, its last score is below 5 and the coin
// says so; play mode with no result only. Returns true when accepted.
bool OfferDraw(std::mt19937& coin);
