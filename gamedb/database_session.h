#pragma once
// The open database of the database window with what the window shows of it: the game list and the
// last search's criteria. The database window owns one and hands it to the commands and dialogs that
// work on it; the main window reaches it through the database window. Closing it (or destroying
// it) saves the name lists as CloseDatabase does. The messages and questions of the commands on it
// go to its database's prompt (GameDatabase.prompt), which the window sets.
// Interface thread only; the autoplay thread opens a TGameDatabase of its own.

#include "gamedb/file_chooser.h"
#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "gamedb/progress.h"
#include "gamedb/search_criteria.h"

#include <cstdint>

struct TDatabaseSession {
    TDatabaseSession() = default;
    TDatabaseSession(const TDatabaseSession&) = delete;
    TDatabaseSession& operator=(const TDatabaseSession&) = delete;
    ~TDatabaseSession() { CloseDatabase(GameDatabase); }

    TGameDatabase GameDatabase;
    TGameList GameList;
    TSearchCriteria SearchCriteria;

    // The file dialogs of the commands on this session (not owned; none: every dialog is cancelled).
    IFileChooser* chooser = nullptr;
    // The progress of the long commands on this session (not owned; none: nothing is shown).
    IProgress* progress = nullptr;

    std::int32_t GameListCount() const { return GameList.Count(); }
    IFileChooser& FileChooser() const { return chooser ? *chooser : CancelledFileChooser(); }
    IProgress& Progress() const { return progress ? *progress : SilentProgress(); }
    IUserPrompt& Prompt() const { return GameDatabase.Prompt(); }
};
