#pragma once
// What the database window and the game-information dialog need of the main window, which they may
// not include: the main window registers these at start-up (TMainForm::ConnectDatabaseWindow). Each
// default does nothing, answers "not done", or stands in plainly (the current directory, the Qt font
// dialog), so the forms work in tests without the main window. Interface thread only.

#include "gamedb/game_database.h"

#include <QFont>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QWidget;

struct TDatabaseHooks {
    // Loads the game of the current list entry into the main window (LoadGameFromList); false when
    // nothing was loaded (the main window has said why).
    std::function<bool()> loadGameFromList = [] { return false; };
    // The main window's header editor on its own game (EditGameHeader); true when confirmed.
    std::function<bool()> editGameHeader = [] { return false; };
    // Stores the main window's game as game n of `db` (0 appends) with its names saved at once,
    // holding the game's lock while it is written.
    std::function<TDbStatus(TGameDatabase& db, std::int32_t n)> storeCurrentGame =
        [](TGameDatabase&, std::int32_t) { return TDbStatus::NotOpen; };
    // Asks the main window for a board redraw (mode 1 with the frame).
    std::function<void(int mode)> requestRedraw = [](int) {};
    // Phrase k in the current language, CP1251.
    std::function<std::string(int phrase)> phrase = [](int) { return std::string(); };
    // The program's folder with a trailing "/".
    std::function<std::string()> appDir;
    // The main window's font dialog; nothing when cancelled.
    std::function<std::optional<QFont>(QWidget* parent, const QFont& initial)> chooseFont;
    // The variant new games of an import are read in.
    std::function<TGameType()> currentVariant;
};

// The registered hooks (defaults until the main window registers its own).
TDatabaseHooks& DatabaseHooks();
// Puts every hook back to its default.
void ResetDatabaseHooks();
