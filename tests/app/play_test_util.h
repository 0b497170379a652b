#pragma once
// Shared set-up of the play tests: the main window's game in a known state, a small hash table, and
// move lookup by squares. Qt-free, so the thread tests also build under ThreadSanitizer.

#include "app/core/engine_requests.h"
#include "app/core/engine_seams.h"
#include "app/core/engine_state.h"
#include "app/core/game_clock.h"
#include "app/core/game_state_lock.h"
#include "app/core/request_flags.h"
#include "app/core/shell_state.h"
#include "rules/engine_random.h"
#include "rules/engine_stop.h"
#include "rules/hash_table.h"
#include "rules/movegen.h"
#include "rules/variant_state.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace play_test {

inline void UseSmallHashTable() {
    static bool done = false;
    if (done) return;
    done = true;
    HashTable.Allocate(1 << 14);
    TEngineRandom rng(12345);
    HashTable.InitKeys(rng);
}

// The game of the main window set to `board` with `side` to move and no moves; every flag clear.
inline void ResetGame(const TBoard& board, int side, TGameType variant, bool playMode) {
    StopEngineAndWait();
    TGameLock lock = LockGameState();
    CurrentVariant = variant;
    SquareCount = SquaresOf(variant);
    BoardGeometry = GeometryOf(variant);
    InitGame(CurrentGame, variant);
    PositionToKey(board, CurrentGame.startKey);
    CurrentGame.header.startSide = static_cast<std::uint8_t>(side);
    CurrentBoard = board;
    SideToMove = side;
    CurrentNode = 0;
    AnalysisMode = playMode ? 0 : 1;
    AutoPlayActive = 0;
    ClockRunning = 0;
    SetClocks(30000, 30000);
    for (auto* f : {&RedrawPending, &PanelRefreshPending, &BookRefreshPending, &EngineDone})
        *f = 0;
    TakeGameMessage();
    EngineInfo.ClearNewInfo();
    SoundOn = false;
}

inline std::optional<TMove> FindMove(const TBoard& b, int side, int from, int to, TGameType v) {
    TMoveList list;
    FindMoves(b, side, list, v);
    for (const TMove& m : list)
        if (m.from == from && m.To() == to) return m;
    return std::nullopt;
}

// Plays `m` in the main window's game as move entry would (the user-interface side of the tests).
inline void PlayInGame(const TMove& m) {
    TGameLock lock = LockGameState();
    const int node = AddEngineMoveToTree(CurrentGame, CurrentNode, m, CurrentVariant);
    ASSERT_NE(node, 0);
    CurrentNode = node;
    MakeMove(m, CurrentBoard, CurrentVariant);
    SideToMove = 1 - SideToMove;
}

inline TBoard Board(std::initializer_list<std::pair<int, int>> pieces) {
    TBoard b = EmptyBoard;
    for (auto [square, value] : pieces)
        b[square] = static_cast<std::int8_t>(value);
    return b;
}

} // namespace play_test
