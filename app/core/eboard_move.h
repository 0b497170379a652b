#pragma once
// What a position read from the electronic board means for the game: a position already in the
// game is gone back (or forward) to, a position one legal move away is that move, anything else
// (a lifted piece, two moves at once, noise) is ignored. Qt-free; the caller owns the game and
// applies the decision. Any thread, on a game that no other thread changes meanwhile.

#include "rules/board.h"
#include "rules/game.h"
#include "rules/move.h"

enum class TEBoardStep {
    Ignore,   // nothing to do
    GoToNode, // show `node`, whose position the board holds
    AddMove,  // `move` leads from the shown position to the board's
};

struct TEBoardDecision {
    TEBoardStep step = TEBoardStep::Ignore;
    int node = 0;
    TMove move;
    bool stopEngineFirst = false;  // an analysis reads the position: stop it and wait before the change
    bool startEngineAfter = false; // the engine answers the move, or the analysis goes on at the new place
};

// The game as the main window shows it when a board position arrives.
struct TEBoardContext {
    TGameType variant = gtRussian;
    TBoard current; // the position shown
    int side = 0;   // its side to move
    bool analysisMode = false;
    bool engineBusy = false;    // an engine request runs
    bool stopRequested = false; // "STOP!" holds the analysis until "Compute!"
};

// The first node in node order (the root first) whose position equals `board`, or -1. Each
// position is built from its parent's in one walk of the tree; nodes cut off from the root (a
// damaged stored game) are skipped.
int FirstNodeWithPosition(const TGame& game, TGameType variant, const TBoard& board);

// The decision for `board`. While a play-mode request runs the board is not read: the change is
// dropped and only the next one counts.
TEBoardDecision DecideEBoardMove(const TGame& game, const TEBoardContext& context, const TBoard& board);
