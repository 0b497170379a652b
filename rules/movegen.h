#pragma once
// Legal moves of every variant, making moves, removing moves that lead to one position.
// Re-entrant: no shared scratch state; the engine thread and the user-interface thread generate
// at the same time.

#include "rules/board.h"
#include "rules/move.h"

// Fills `list` (cleared first; its capacity is kept, so a reused list does not allocate) with the
// legal moves of `side` (0 or 1) under `variant`'s rules. Square values must be -2..2.
// Captures are compulsory; each variant's capture-choice filter is applied. Order: by from square;
// a capture's longer continuations come before the sequences of the same level that end there.
// Unused bytes of every record, tree fields included, are zero, so equal moves compare and store
// equal.
void FindMoves(const TBoard& board, int side, TMoveList& list, TGameType variant);
// The main window's variant.
void FindMoves(const TBoard& board, int side, TMoveList& list);
// FindMoves with captures cut at `maxPairs` (1..20) pairs: a sequence that could go on ends there.
// FindMoves itself uses the record's 20 pairs, so a composed position with more pieces to take
// never writes past them.
void FindMovesWithPairLimit(const TBoard& board, int side, TMoveList& list, TGameType variant, int maxPairs);

// FindMoves with one move for each position reached: a capture taking the same pieces by another
// path, or with another first landing square of a flying king, is left out. For callers that
// choose among positions (move entry, the engine's root, books); perft counts use FindMoves.
void FindUniqueMoves(const TBoard& board, int side, TMoveList& list, TGameType variant);

// Applies a listed move (or a stored node) to `board` with `variant`'s promotion rule.
// Does not check legality. A record with a square off the board or more than 20 pairs (a damaged
// stored node) leaves the board unchanged.
void MakeMove(const TMove& m, TBoard& board, TGameType variant);

// Removes every move that leads to the same position as an earlier move of the list; the last
// move of the list takes the place of each one removed. FindUniqueMoves applies it.
void RemoveDuplicateMoves(TMoveList& list, const TBoard& board, TGameType variant);
void RemoveDuplicateMoves(TMoveList& list, const TBoard& board);

// 1 if the moving piece is a king, plus 1 for each captured king (on the board before the move).
int KingCaptureWeight(const TMove& m, const TBoard& board);
