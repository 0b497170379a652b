#pragma once
// The game session under the system's names, for tests. The test thread stands in for the
// user-interface thread: it reads the game record only while no engine request runs, and holds
// GameSession().Lock() itself where one may.

#include "app/core/game_session.h"

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
