#pragma once
// The game of the main window and its one owner: the game record (CurrentGame), the node whose
// position the board shows (CurrentNode), that position (CurrentBoard) with its side to move
// (SideToMove), the variant they are played in (CurrentVariant), and the lock that guards them.
// One instance, GameSession().
//
// Invariant, kept by every operation: CurrentBoard and SideToMove are the position at CurrentNode
// (the game's start position with the moves from the root replayed), and CurrentGame's variant byte
// is CurrentVariant.
//
// Threads
// - The user-interface thread owns the session: only it calls the operations that change it (an
//   engine match, while it runs, stands in for it), with one exception: an engine request makes its
//   move with PlayEngineMove, which plays only while the game still stands where the request's
//   snapshot was taken.
// - A worker never reads the live session across its work: it takes a Snapshot() (or
//   SnapshotWithGame()) when it starts and works on the copy.
// - The lock guards the members, and with them the game result and the game clocks
//   (game_clock.h). Every operation and the by-value accessors take it themselves; a caller holds
//   Lock() to read several values as one, and to read or edit the game record. It is recursive.
//   It is never held across an engine call or a wait for the engine: the engine thread takes it
//   to make its move, so a holder waiting for the engine would wait for ever.
//
// The variant itself is the process-wide CurrentVariant of rules/variant_state, which the rules'
// named wrappers read; SetVariant is the only writer of it in the program, and only while no engine
// request runs.

#include "app/core/game_tree_edit.h"
#include "rules/game.h"

#include <memory>
#include <mutex>

using TGameLock = std::unique_lock<std::recursive_mutex>;

// What a worker copies when it starts: the position shown and where it stands in the game.
struct TSessionSnapshot {
    TBoard board{};
    int side = 0;
    int node = 0;
    TGameType variant = gtRussian;
    std::shared_ptr<const TGame> game; // SnapshotWithGame only
};

class TGameSession {
  public:
    TGameSession();
    TGameSession(const TGameSession&) = delete;
    TGameSession& operator=(const TGameSession&) = delete;

    // ---- reading (any thread) ----
    TGameLock Lock() const { return TGameLock(m_mutex); }
    int CurrentNode() const;
    TBoard CurrentBoard() const;
    int SideToMove() const;
    TGameType CurrentVariant() const;
    TSessionSnapshot Snapshot() const;
    TSessionSnapshot SnapshotWithGame() const; // also a copy of the game record
    // The game record, to a holder of Lock().
    const TGame& CurrentGame(const TGameLock& held) const;
    // For the edits that leave the path to CurrentNode and the start position as they are: the
    // header and names, the result, comments, marks, the order of lines. Deleting the line that
    // holds CurrentNode must be followed by GoToNode under the same lock.
    TGame& EditGame(const TGameLock& held);

    // ---- changing (user-interface thread) ----
    // Hangs `move` below CurrentNode and goes there. A move already there is reused; with other
    // moves there and `silent` unset, `ask` decides (AddMoveToTree of game_tree_edit.h). `ask` may
    // show a dialog, so the session's own hold of the lock is let go while it runs; a game changed
    // meanwhile cancels the move. A move that is not legal in CurrentBoard changes nothing. The
    // result's node is 0 when nothing was played (illegal, cancelled, tree full).
    TAddMoveResult PlayMove(const TMove& move, bool silent, const TNewMoveQuestion& ask = {});
    // Shows `node`: false, and nothing changes, for a node that is not in use or does not reach the
    // root.
    bool GoToNode(int node);
    // A game with no moves from `start` with `side` to move: the header and names are cleared
    // (InitGame), the start key and start side set. Also the set-up of a position.
    void NewGame(const TBoard& start, int side);
    // Takes a copy of `game` and shows its node to show, or the root when that is not a usable node.
    // False, and nothing changes, when the game's variant is not CurrentVariant: switch it first.
    bool LoadGame(const TGame& game);
    // Switches the variant (SetGameVariant: board size, hash table, book, endgame database) and the
    // game's variant byte; the game and position stay. Only while no engine request runs. An invalid
    // variant changes nothing.
    void SetVariant(TGameType variant);

    // ---- the engine thread ----
    // The engine's answer to the position of `from`: played silently (PlayMove) when the game still
    // stands at from's node and position; otherwise nothing changes and the node is 0.
    TAddMoveResult PlayEngineMove(const TSessionSnapshot& from, const TMove& move);

  private:
    bool IsLegal(const TMove& move) const;

    mutable std::recursive_mutex m_mutex;
    // The record is large (about 115 KB): on the heap.
    std::unique_ptr<TGame> m_game;
    int m_node = 0;
    TBoard m_board{};
    int m_side = 0;
};

// The process's session.
TGameSession& GameSession();
