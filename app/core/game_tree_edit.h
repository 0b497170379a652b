#pragma once
// Editing the move tree of a game and walking it: adding an entered move (with the question of a
// new variation), deleting and promoting lines, marks and comments, and the position at a node.
// Qt-free; the caller owns the game. User-interface thread (the engine thread adds its moves
// silently through the same call while the interface thread waits or only reads).

#include "rules/game.h"

#include <functional>
#include <string>
#include <vector>

// The answer to "New move": the dialog's modal result and the selected line of its list.
enum : int { nmNewVariation = 1, nmCancel = 2, nmReplace = 3 };
struct TNewMoveAnswer {
    int result = nmNewVariation;
    int selected = -1; // index into the listed moves, -1 for none
};
// Asked with the texts of the moves that already follow the position, in ListChildNodes order.
using TNewMoveQuestion = std::function<TNewMoveAnswer(const std::vector<std::string>& texts)>;

struct TAddMoveResult {
    int node = 0;          // the node that now holds the move after `parent`; 0 when none
    bool existed = false;  // the move already followed `parent`: nothing was added
    bool treeFull = false; // no free node: the caller shows "Error: no free place"
};

// Hangs `move` below `parent`. A move that already follows it is reused without a question. With
// other moves following and `silent` unset, `ask` decides: a new variation (off the main line),
// cancel, or replace the selected line (the new move takes that line's place, main-line flag
// included; with nothing selected Replace acts as a new variation). Silent calls add a variation.
TAddMoveResult AddMoveToTree(TGame& g, int parent, const TMove& move, bool silent, TGameType variant,
                             const TNewMoveQuestion& ask);

// Frees `node` and every node below it. The root cannot be freed.
void DeleteSubtree(TGame& g, int node);
// The highest node number still in use (0 when only the root is).
int HighestNodeInUse(const TGame& g);
// Deletes the line from `node` on and lowers the node count; returns the parent to show, or -1
// when `node` is the root or not in use (nothing changes).
int DeleteLine(TGame& g, int node);
// Makes the line through `node` the main line at its nearest branch point. False when it already
// is the main line there (nothing changes).
bool PromoteLine(TGame& g, int node);
// Kind 1 sets the move mark (bits 0-3), kind 2 the position mark (bits 4-7); other bits are kept.
void SetNodeAnnotation(TGame& g, int node, int kind, int code);
// Empties both comments of nodes 1 to 1024.
void ClearAllComments(TGame& g);

// The position and side to move at `node`: the start position with the moves from the root
// replayed. False (and nothing written) for a node that is not in use or whose path does not reach
// the root within 1,024 steps (a damaged stored game).
bool PositionAtNode(const TGame& g, int node, TGameType variant, TBoard& board, int& side);
// The last node of the main line.
int MainLineEnd(const TGame& g);
// The moves of the children of `node` as "New move" and "Choose move" list them.
std::vector<std::string> ChildMoveTexts(const TGame& g, int node, TGameType variant);

// The list position after a step of +1 or -1 through a list of `count` entries counted from 1,
// wrapping at both ends; 0 when the list is empty.
int StepListPosition(int current, int count, int step);
