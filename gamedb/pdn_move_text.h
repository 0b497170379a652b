#pragma once
// The move text of one PDN game read into a game tree: moves matched against the legal moves (in
// the game's own variant), comments, numeric annotation glyphs, strength signs and nested
// variations. Re-entrant; one parse on one thread.

#include "rules/game.h"

#include <string>
#include <string_view>

struct TPdnMoveTextResult {
    bool stopped = false;   // reading stopped before the end; the rest is in `unread`
    bool unmatched = false; // it stopped at a move that matches no legal move (the game is marked deleted)
    std::string reason;     // why the game was not read whole, "" when it was
    std::string unread;     // the text not read into the tree
    int resultCode = -1;    // the last result token of the main line, -1 when none
};

// Adds `move` as a node below `parent`: main-line child when the parent has no child yet. Takes the
// next free slot; 0 when the game already holds 1,024 moves.
int AddPdnNode(TGame& g, const TMove& move, int parent);

// Reads `text` into the tree of `g` (variant, start key and start side set, the tree empty) from
// `start` with `side` to move. The rules other programs' files need:
// - move numbers ("12.", "12...", "12...19-23") are skipped; a blank after a move's separator
//   ("35x 4") joins its two halves; strength signs ("32-28!", "32-28 ?!", "(!?)") are move marks;
// - a comment right after a move, or between two moves, goes to the earlier move's comment after
//   (several are joined); one before a line's first move is that move's comment before; glyphs and
//   comments follow a move in any order;
// - "(" opens a variation of the line's last move; "(" before a line's first move has no parent: its
//   text is kept as a comment and the game is reported;
// - a move written with its origin and final square only that names several legal moves (a flying
//   king's captures by different routes) is the one under which the following moves of the line
//   stay legal;
// - an unmatched move stops the reading: "* ", the move and the rest of the text go into the
//   comment after the last node read, and `unmatched` is set; 1,024 moves stop it the same way.
TPdnMoveTextResult ParseMoveLine(std::string_view text, TGame& g, const TBoard& start, int side);
