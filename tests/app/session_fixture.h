#pragma once
// Shared set-up of the tests of the game session and the engine requests: the session in a known
// state, a small hash table, move lookup by squares, and the session read under the system's names.
// Qt-free. The test thread stands in for the user-interface thread: it reads the game record only
// while no engine request runs, and holds GameSession().Lock() itself where one may.

#include "app/core/builtin_engine.h"
#include "app/core/engine_requests.h"
#include "app/core/engine_seams.h"
#include "app/core/engine_state.h"
#include "app/core/game_clock.h"
#include "app/core/game_session.h"
#include "app/core/request_flags.h"
#include "app/core/shell_state.h"
#include "rules/engine_random.h"
#include "rules/engine_stop.h"
#include "rules/hash_table.h"
#include "rules/movegen.h"
#include "rules/variant_state.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>
#include <vector>

// The session under the system's names.
inline int CurrentNode() {
    return GameSession().CurrentNode();
}
inline TBoard CurrentBoard() {
    return GameSession().CurrentBoard();
}
inline int SideToMove() {
    return GameSession().SideToMove();
}
inline const TGame& CurrentGame() {
    TGameLock lock = GameSession().Lock();
    return GameSession().CurrentGame(lock);
}
inline TGame& EditGame() {
    TGameLock lock = GameSession().Lock();
    return GameSession().EditGame(lock);
}

namespace app_test {

inline void UseSmallHashTable() {
    static bool done = false;
    if (done) return;
    done = true;
    BuiltinEngine().HashTable().Allocate(1 << 14);
    TEngineRandom rng(12345);
    BuiltinEngine().HashTable().InitKeys(rng);
}

// The game session set to `board` with `side` to move and no moves; every flag clear.
inline void ResetGame(const TBoard& board, int side, TGameType variant, bool playMode) {
    StopEngineAndWait();
    TGameSession& session = GameSession();
    if (session.CurrentVariant() != variant) session.SetVariant(variant);
    TGameLock lock = session.Lock();
    session.NewGame(board, side);
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

// Waits on a condition with a watchdog, as when a worker must have started.
using test_support::WaitUntil;

inline std::optional<TMove> FindMove(const TBoard& b, int side, int from, int to, TGameType v) {
    TMoveList list;
    FindMoves(b, side, list, v);
    for (const TMove& m : list)
        if (m.from == from && m.To() == to) return m;
    return std::nullopt;
}

// Plays `m` in the game session as move entry would (the user-interface side of the tests).
inline void PlayInGame(const TMove& m) {
    ASSERT_NE(GameSession().PlayMove(m, true).node, 0);
}

inline TBoard Board(std::initializer_list<std::pair<int, int>> pieces) {
    TBoard b = EmptyBoard;
    for (auto [square, value] : pieces)
        b[square] = static_cast<std::int8_t>(value);
    return b;
}

} // namespace app_test
