#pragma once
// The lock of the game of the main window: CurrentGame, CurrentBoard, SideToMove, CurrentNode, the
// game result and the clocks. The engine thread takes it to read its start position, to make its
// move and to test the game's end; the timer takes it while it draws and runs the clocks. It is
// never held across an engine call or a wait for the engine: a holder that waited for the engine
// would wait for ever on an engine thread that waits for the lock to make its move. Recursive, so a handler
// that already holds it may call one that takes it.

#include <mutex>

std::recursive_mutex& GameStateMutex();
using TGameLock = std::unique_lock<std::recursive_mutex>;
inline TGameLock LockGameState() {
    return TGameLock(GameStateMutex());
}
