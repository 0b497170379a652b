#pragma once
// What move entry and the game commands need of the engine requests, the clocks, the engine
// choice, the opening books and the game-information dialog, which other parts of the shell own.
// The main window connects them at start-up; each default does nothing (or answers "idle"), so
// the commands work before those parts are wired. User-interface thread.

#include "rules/game.h"

#include <array>
#include <functional>
#include <string>

struct TEntrySeams {
    // Engine requests.
    std::function<bool()> isEngineBusy = [] { return false; }; // a request runs
    std::function<void()> stopEngineAndWait = [] {};
    std::function<void()> startEngine = [] {};
    // StopRequested: while set, analysis mode does not restart the engine after a step.
    std::function<bool()> stopRequested = [] { return false; };
    std::function<void(bool)> setStopRequested = [](bool) {};
    // Clocks: stop them, and re-apply the checked time control (clock 0 in centiseconds after it).
    std::function<void()> stopClocks = [] {};
    std::function<void()> applyTimeControl = [] {};
    std::function<int()> clock0 = [] { return -1; }; // -1: taken from the checked time-control item
    // The selected engine's long name (Black of a new game).
    std::function<std::string()> engineLongName = [] { return std::string("Vantor"); };
    std::function<void()> selectEngineForVariant = [] {};
    // The book moves of the current position into InfoPanel and TreeLabel.
    std::function<void()> showBookMoves = [] {};
    // The game-information dialog on a copy of the header and its five strings (White, Black,
    // annotator, tournament, site); true when confirmed. Empty until the dialog exists: the
    // command is then disabled.
    std::function<bool(TGameIndexRecord&, std::array<std::string, 5>&)> editGameInfo;
};
