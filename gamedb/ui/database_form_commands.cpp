// The database window's commands.

#include "gamedb/book_builder.h"
#include "gamedb/chb_import.h"
#include "gamedb/database_commands.h"
#include "gamedb/file_chooser.h"
#include "gamedb/game_list.h"
#include "gamedb/pdn_export.h"
#include "gamedb/pdn_import.h"
#include "gamedb/progress.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/database_hooks.h"
#include "gamedb/ui/db_panel.h"
#include "gamedb/ui/f_search.h"
#include "gamedb/ui/game_info_form.h"
#include "gamedb/user_prompt.h"
#include "platform/codepage.h"
#include "rules/file_names.h"
#include "rules/variant_traits.h"

#include <QCoreApplication>
#include <QScrollBar>

#include <filesystem>

namespace {

const char* const DatabaseFilter = "Vantor Quillan Database (*.vqb *.VQB)";

// Disables the window while a long command runs.
class TBusyWindow {
  public:
    explicit TBusyWindow(QWidget* w) : m_window(w) { m_window->setEnabled(false); }
    ~TBusyWindow() { m_window->setEnabled(true); }
    TBusyWindow(const TBusyWindow&) = delete;
    TBusyWindow& operator=(const TBusyWindow&) = delete;

  private:
    QWidget* m_window;
};

std::string FileNameText(const std::string& fileName) {
    return Utf8ToCp1251(fileName);
}

bool DatabaseFilesExist(const std::string& name) {
    const std::string base = StripExtension(name);
    std::error_code ec;
    return std::filesystem::exists(base + ".vqb", ec) || std::filesystem::exists(base + ".vqn", ec) ||
           std::filesystem::exists(base + ".vqm", ec);
}

} // namespace

std::string TDatabaseForm::BasesFolder() const {
    // Only the dialog starts there: the process keeps its current directory, against which the
    // settings' relative names (the opening books) are resolved.
    return DatabaseHooks().appDir() + "Bases";
}

void TDatabaseForm::ABuildtree1Click() {
    if (!GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    const auto name = FileChooser().OpenFile("Open Book/Tree", "Vantor Quillan Book/Tree (*.cbk *.CBK)",
                                             DatabaseHooks().appDir() + "Books");
    if (!name) return;
    std::vector<std::int32_t> games;
    games.reserve(static_cast<std::size_t>(GameListCount()));
    for (const TGameListEntry& e : GameList.Entries())
        games.push_back(e.gameNumber);
    TBusyWindow busy(this);
    DBPanel->setCursor(Qt::PointingHandCursor);
    // The builder says how it went (the records written, or why it stopped).
    // The caption counts the games read, every 100th; the build leaves the last count there.
    BuildBookFile(StripExtension(*name) + ".cbk", GameDatabase, games, [this](int gamesRead) {
        setWindowTitle(QString::number(gamesRead));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    DBPanel->unsetCursor();
}

void TDatabaseForm::Report(TDbStatus status, const std::string& what) {
    if (status != TDbStatus::Ok) UserPrompt().ShowMessage(what + ": " + DbStatusText(status) + ".");
}

void TDatabaseForm::OpenClick() {
    const std::string folder = BasesFolder();
    const auto name = FileChooser().OpenFile("Open Database", DatabaseFilter, folder);
    if (!name) return;
    OpenOrCreateDatabase(*name, GameDatabase);
    RefreshGameList();
}

void TDatabaseForm::OpenCHBClick() {
    const auto name =
        FileChooser().OpenFile("Open Database", "Vantor Quillan 1.x Database (*.chb *.CHB)", BasesFolder());
    if (!name) return;
    const TGameType variant = DatabaseHooks().currentVariant();
    if (const std::string why = ChbImportRefusal(variant); !why.empty()) {
        UserPrompt().ShowMessage(why);
        return;
    }
    const std::string target = StripExtension(*name) + ".vqb";
    // A new database of the CHB file's name: never over the one this window shows, and over another
    // only when the user agrees.
    if (GameDatabase.open && SameDatabase(target, GameDatabase.indexFileName)) {
        UserPrompt().ShowMessage("The database " + FileNameText(target) +
                                 " is open in this window: nothing was imported.");
        return;
    }
    // The file does not say which variant its games are: they are read in the current one, which the
    // user confirms here.
    const std::string into = DatabaseFilesExist(target)
                                 ? "the database " + FileNameText(target) + ", replacing it"
                                 : "the new database " + FileNameText(target);
    if (!UserPrompt().Confirm("Read the games of " + FileNameText(*name) + " as " +
                              VariantTraits(variant).name + " games into " + into + "?"))
        return;
    TBusyWindow busy(this);
    ImportChbFile(*name, target, variant); // replaces the database as one step; it says how it went
}

void TDatabaseForm::ImportPDN1Click() {
    const auto name = FileChooser().OpenFile(
        "Open Database", "Portable Draughts Notation Database (*.pdn *.PDN)", BasesFolder());
    if (!name) return;
    TBusyWindow busy(this);
    // A new database named after the file; the import says how it went. GameDatabase stays as it is.
    ImportPdnDatabase(*name, std::string(), DatabaseHooks().currentVariant(), UserPrompt(), Progress());
}

void TDatabaseForm::PDN1Click() {
    if (!GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    const auto name = FileChooser().OpenFile("Open Database", "Portable Draughts Notation (*.pdn *.PDN)",
                                             DatabaseHooks().appDir() + "Export/PDN");
    if (!name) return;
    const std::vector<std::int32_t> positions = ChosenListPositions(GameList, GameDatabase.currentGame);
    if (positions.empty()) return; // an empty list: no game to write
    std::vector<std::int32_t> games;
    games.reserve(positions.size());
    for (const std::int32_t p : positions)
        games.push_back(GameList[p].gameNumber);
    TPdnExportResult r;
    {
        TBusyWindow busy(this);
        r = ExportPdnGames(GameDatabase, games, PdnExportFileName(*name), Progress());
    }
    if (!r.message.empty())
        UserPrompt().ShowMessage(r.message);
    else if (MarkedGameCount() == 0)
        UserPrompt().ShowMessage("Ok");
}

void TDatabaseForm::CleanUpdatabase1Click() {
    if (!GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    const TCleanUpResult r = CleanUpDatabase(GameDatabase);
    if (r.status != TDbStatus::Ok)
        UserPrompt().ShowMessage(
            "I/O error: " + (r.message.empty() ? std::string(DbStatusText(r.status)) : r.message) +
            ". The database is unchanged.");
    if (!GameDatabase.open) { // the index could not be reopened after the rewrite
        RefreshGameList();
        return;
    }
    const std::int32_t current = GameDatabase.currentGame;
    ResetGameList();
    GameDatabase.currentGame = std::min(current, GameListCount());
    UpdateDatabaseCaption();
    DBPanel->SetParams();
    ReadAndRepaint();
}

void TDatabaseForm::Checkdatabase1Click() {
    if (!GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    const TCheckResult r = CheckDatabase(GameDatabase, [this](std::int32_t n) {
        // The caption counts the games; drawing it for each would cost more than reading them.
        if (n % 500 == 1) {
            setWindowTitle(QString::number(n));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    });
    if (r.faultyGame) {
        setWindowTitle(QString::number(r.faultyGame));
        UserPrompt().ShowMessage("Game " + std::to_string(r.faultyGame) + ": " + r.why + ".");
        return;
    }
    UserPrompt().ShowMessage("OK!");
    UpdateDatabaseCaption();
}

void TDatabaseForm::Exit1Click() {
    done(1);
}

void TDatabaseForm::Search1Click() {
    if (!GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    if (!FSearch) return;
    FSearch->FillLists();
    if (FSearch->exec() == 2) return;
    ListChanged();
}

void TDatabaseForm::Clear1Click() {
    if (!GameDatabase.open) return;
    ResetGameList();
    DBPanel->SetParams();
    UpdateDatabaseCaption();
    GameDatabase.currentGame = GameListCount() > 0 ? 1 : 0;
    DBPanel->ScrollTo(0);
    ReadAndRepaint();
}

void TDatabaseForm::Load1Click() {
    if (!GameDatabase.open || !GameList.Contains(GameDatabase.currentGame)) {
        ShowDatabaseNotOpened();
        return;
    }
    if (!DatabaseHooks().loadGameFromList()) return;
    DatabaseHooks().requestRedraw(1);
    done(1);
}

void TDatabaseForm::ReplaceClick() {
    if (!GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    if (!GameList.Contains(GameDatabase.currentGame)) return; // no game to replace
    const std::int32_t game = GameList[GameDatabase.currentGame].gameNumber;
    if (!UserPrompt().AskYesNo(Phrase(143) + std::to_string(game) + Phrase(144))) return;
    Report(DatabaseHooks().storeCurrentGame(GameDatabase, game), "The game was not stored");
    ReadAndRepaint();
}

void TDatabaseForm::Save1Click() {
    if (!GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    if (!DatabaseHooks().editGameHeader()) return;
    const TDbStatus s = DatabaseHooks().storeCurrentGame(GameDatabase, 0);
    Report(s, "The game was not stored");
    if (s != TDbStatus::Ok) return;
    GameDatabase.gameCount = IndexRecordCount(GameDatabase);
    ResetGameList();
    if (GameDatabase.currentGame < 1) GameDatabase.currentGame = 1;
    DBPanel->SetParams();
    ReadAndRepaint();
    UpdateDatabaseCaption();
}

void TDatabaseForm::DeleteClick() {
    if (!GameDatabase.open) return;
    Report(DeleteListedGames(GameDatabase, GameList, GameDatabase.currentGame),
           "The deleted marks were not all changed");
    ReadAndRepaint();
}

void TDatabaseForm::Editheader1Click() {
    if (!GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    if (!GameList.Contains(GameDatabase.currentGame)) return;
    const std::int32_t game = GameList[GameDatabase.currentGame].gameNumber;
    TQuickGameHeader h;
    if (const TDbStatus s = ReadQuickHeader(GameDatabase, game, h); s != TDbStatus::Ok) {
        Report(s, "The header of game " + std::to_string(game) + " cannot be read");
        return;
    }
    if (EditGameInfo(h)) Report(WriteQuickHeader(GameDatabase, game, h), "The header was not stored");
    ReadAndRepaint();
}

void TDatabaseForm::Copy1Click() {
    if (!GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    const std::string folder = BasesFolder();
    const auto name = FileChooser().OpenFile("Open Database", DatabaseFilter, folder);
    if (!name) return;
    TCopyResult r;
    {
        TBusyWindow busy(this);
        r = CopyListedGames(GameDatabase, GameList, GameDatabase.currentGame, *name);
    }
    if (r.status == TCopyStatus::WriteFailed)
        UserPrompt().ShowMessage("Copying stopped: the database " + FileNameText(*name) +
                                 " did not take a game; " + std::to_string(r.copied) + " games were copied.");
    if (r.unreadable > 0)
        UserPrompt().ShowMessage(std::to_string(r.unreadable) +
                                 " damaged games could not be read and were not copied.");
}

void TDatabaseForm::SelectallClick() {
    SetAllSelected(GameList, true);
    UpdateDatabaseCaption();
    DBPanel->DoRepaint();
}

void TDatabaseForm::DeselectallClick() {
    SetAllSelected(GameList, false);
    UpdateDatabaseCaption();
    DBPanel->DoRepaint();
}

void TDatabaseForm::SavenamestoTXT1Click() {
    const auto name = FileChooser().SaveFile("Save Names", "Text File (*.txt *.TXT)", std::string());
    if (!name) return;
    if (const TIoStatus s = SavePlayerNames(GameDatabase, *name); !s)
        UserPrompt().ShowMessage("I/O error: " + FileNameText(s.Message()));
}

void TDatabaseForm::CorrectNames1Click() {
    if (!GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    CorrectNames(GameDatabase);
    UserPrompt().ShowMessage("OK!");
    ReadAndRepaint();
}

void TDatabaseForm::Font1Click() {
    const auto font = DatabaseHooks().chooseFont(this, DBPanel->font());
    if (!font) return;
    DBPanel->setFont(*font);
    DBPanel->DoRepaint();
    DBPanel->SetParams();
    ReadAndRepaint();
}
