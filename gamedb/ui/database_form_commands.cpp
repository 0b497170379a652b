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
    if (!m_session.GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    const auto name = m_session.FileChooser().OpenFile(
        "Open Book/Tree", "Vantor Quillan Book/Tree (*.cbk *.CBK)", DatabaseHooks().appDir() + "Books");
    if (!name) return;
    std::vector<std::int32_t> games;
    games.reserve(static_cast<std::size_t>(m_session.GameListCount()));
    for (const TGameListEntry& e : m_session.GameList.Entries())
        games.push_back(e.gameNumber);
    TBusyWindow busy(this);
    DBPanel->setCursor(Qt::PointingHandCursor);
    // The builder says how it went (the records written, or why it stopped).
    // The caption counts the games read, every 100th; the build leaves the last count there.
    BuildBookFile(
        StripExtension(*name) + ".cbk", m_session.GameDatabase, games,
        [this](int gamesRead) {
            setWindowTitle(QString::number(gamesRead));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        },
        m_session.Prompt());
    DBPanel->unsetCursor();
}

void TDatabaseForm::Report(TDbStatus status, const std::string& what) {
    if (status != TDbStatus::Ok) m_session.Prompt().ShowMessage(what + ": " + DbStatusText(status) + ".");
}

void TDatabaseForm::OpenClick() {
    const std::string folder = BasesFolder();
    const auto name = m_session.FileChooser().OpenFile("Open Database", DatabaseFilter, folder);
    if (!name) return;
    OpenOrCreateDatabase(*name, m_session.GameDatabase);
    RefreshGameList();
}

void TDatabaseForm::OpenCHBClick() {
    const auto name = m_session.FileChooser().OpenFile(
        "Open Database", "Vantor Quillan 1.x Database (*.chb *.CHB)", BasesFolder());
    if (!name) return;
    const TGameType variant = DatabaseHooks().currentVariant();
    if (const std::string why = ChbImportRefusal(variant); !why.empty()) {
        m_session.Prompt().ShowMessage(why);
        return;
    }
    const std::string target = StripExtension(*name) + ".vqb";
    // A new database of the CHB file's name: never over the one this window shows, and over another
    // only when the user agrees.
    if (m_session.GameDatabase.open && SameDatabase(target, m_session.GameDatabase.indexFileName)) {
        m_session.Prompt().ShowMessage("The database " + FileNameText(target) +
                                       " is open in this window: nothing was imported.");
        return;
    }
    // The file does not say which variant its games are: they are read in the current one, which the
    // user confirms here.
    const std::string into = DatabaseFilesExist(target)
                                 ? "the database " + FileNameText(target) + ", replacing it"
                                 : "the new database " + FileNameText(target);
    if (!m_session.Prompt().Confirm("Read the games of " + FileNameText(*name) + " as " +
                                    VariantTraits(variant).name + " games into " + into + "?"))
        return;
    TBusyWindow busy(this);
    ImportChbFile(*name, target, variant, m_session.Prompt(), m_session.Progress(),
                  &m_session.GameDatabase); // replaces the database as one step; it says how it went
}

void TDatabaseForm::ImportPDN1Click() {
    const auto name = m_session.FileChooser().OpenFile(
        "Open Database", "Portable Draughts Notation Database (*.pdn *.PDN)", BasesFolder());
    if (!name) return;
    TBusyWindow busy(this);
    // A new database named after the file; the import says how it went. m_session.GameDatabase stays as it
    // is.
    ImportPdnDatabase(*name, std::string(), DatabaseHooks().currentVariant(), m_session.Prompt(),
                      m_session.Progress(), &m_session.GameDatabase);
}

void TDatabaseForm::PDN1Click() {
    if (!m_session.GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    const auto name = m_session.FileChooser().OpenFile(
        "Open Database", "Portable Draughts Notation (*.pdn *.PDN)", DatabaseHooks().appDir() + "Export/PDN");
    if (!name) return;
    const std::vector<std::int32_t> positions =
        ChosenListPositions(m_session.GameList, m_session.GameDatabase.currentGame);
    if (positions.empty()) return; // an empty list: no game to write
    std::vector<std::int32_t> games;
    games.reserve(positions.size());
    for (const std::int32_t p : positions)
        games.push_back(m_session.GameList[p].gameNumber);
    TPdnExportResult r;
    {
        TBusyWindow busy(this);
        r = ExportPdnGames(m_session.GameDatabase, games, PdnExportFileName(*name), m_session.Progress());
    }
    if (!r.message.empty())
        m_session.Prompt().ShowMessage(r.message);
    else if (MarkedGameCount(m_session.GameList) == 0)
        m_session.Prompt().ShowMessage("Ok");
}

void TDatabaseForm::CleanUpdatabase1Click() {
    if (!m_session.GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    const TCleanUpResult r = CleanUpDatabase(m_session.GameDatabase);
    if (r.status != TDbStatus::Ok)
        m_session.Prompt().ShowMessage(
            "I/O error: " + (r.message.empty() ? std::string(DbStatusText(r.status)) : r.message) +
            ". The database is unchanged.");
    if (!m_session.GameDatabase.open) { // the index could not be reopened after the rewrite
        RefreshGameList();
        return;
    }
    const std::int32_t current = m_session.GameDatabase.currentGame;
    ResetGameList(m_session.GameList, m_session.GameDatabase);
    m_session.GameDatabase.currentGame = std::min(current, m_session.GameListCount());
    UpdateDatabaseCaption();
    DBPanel->SetParams();
    ReadAndRepaint();
}

void TDatabaseForm::Checkdatabase1Click() {
    if (!m_session.GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    const TCheckResult r = CheckDatabase(m_session.GameDatabase, [this](std::int32_t n) {
        // The caption counts the games; drawing it for each would cost more than reading them.
        if (n % 500 == 1) {
            setWindowTitle(QString::number(n));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    });
    if (r.faultyGame) {
        setWindowTitle(QString::number(r.faultyGame));
        m_session.Prompt().ShowMessage("Game " + std::to_string(r.faultyGame) + ": " + r.why + ".");
        return;
    }
    m_session.Prompt().ShowMessage("OK!");
    UpdateDatabaseCaption();
}

void TDatabaseForm::Exit1Click() {
    done(1);
}

void TDatabaseForm::Search1Click() {
    if (!m_session.GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    TFSearch* search = FSearch();
    if (!search) return;
    search->SetSession(&m_session);
    search->FillLists();
    if (search->exec() == 2) return;
    ListChanged();
}

void TDatabaseForm::Clear1Click() {
    if (!m_session.GameDatabase.open) return;
    ResetGameList(m_session.GameList, m_session.GameDatabase);
    DBPanel->SetParams();
    UpdateDatabaseCaption();
    m_session.GameDatabase.currentGame = m_session.GameListCount() > 0 ? 1 : 0;
    DBPanel->ScrollTo(0);
    ReadAndRepaint();
}

void TDatabaseForm::Load1Click() {
    if (!m_session.GameDatabase.open || !m_session.GameList.Contains(m_session.GameDatabase.currentGame)) {
        ShowDatabaseNotOpened();
        return;
    }
    if (!DatabaseHooks().loadGameFromList()) return;
    DatabaseHooks().requestRedraw(1);
    done(1);
}

void TDatabaseForm::ReplaceClick() {
    if (!m_session.GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    if (!m_session.GameList.Contains(m_session.GameDatabase.currentGame)) return; // no game to replace
    const std::int32_t game = m_session.GameList[m_session.GameDatabase.currentGame].gameNumber;
    if (!m_session.Prompt().AskYesNo(Phrase(143) + std::to_string(game) + Phrase(144))) return;
    Report(DatabaseHooks().storeCurrentGame(m_session.GameDatabase, game), "The game was not stored");
    ReadAndRepaint();
}

void TDatabaseForm::Save1Click() {
    if (!m_session.GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    if (!DatabaseHooks().editGameHeader()) return;
    const TDbStatus s = DatabaseHooks().storeCurrentGame(m_session.GameDatabase, 0);
    Report(s, "The game was not stored");
    if (s != TDbStatus::Ok) return;
    m_session.GameDatabase.gameCount = IndexRecordCount(m_session.GameDatabase);
    ResetGameList(m_session.GameList, m_session.GameDatabase);
    if (m_session.GameDatabase.currentGame < 1) m_session.GameDatabase.currentGame = 1;
    DBPanel->SetParams();
    ReadAndRepaint();
    UpdateDatabaseCaption();
}

void TDatabaseForm::DeleteClick() {
    if (!m_session.GameDatabase.open) return;
    Report(DeleteListedGames(m_session.GameDatabase, m_session.GameList, m_session.GameDatabase.currentGame),
           "The deleted marks were not all changed");
    ReadAndRepaint();
}

void TDatabaseForm::Editheader1Click() {
    if (!m_session.GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    if (!m_session.GameList.Contains(m_session.GameDatabase.currentGame)) return;
    const std::int32_t game = m_session.GameList[m_session.GameDatabase.currentGame].gameNumber;
    TQuickGameHeader h;
    if (const TDbStatus s = ReadQuickHeader(m_session.GameDatabase, game, h); s != TDbStatus::Ok) {
        Report(s, "The header of game " + std::to_string(game) + " cannot be read");
        return;
    }
    if (EditGameInfo(GameInfoForm(), h, &m_session.GameDatabase))
        Report(WriteQuickHeader(m_session.GameDatabase, game, h), "The header was not stored");
    ReadAndRepaint();
}

void TDatabaseForm::Copy1Click() {
    if (!m_session.GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    const std::string folder = BasesFolder();
    const auto name = m_session.FileChooser().OpenFile("Open Database", DatabaseFilter, folder);
    if (!name) return;
    TCopyResult r;
    {
        TBusyWindow busy(this);
        r = CopyListedGames(m_session.GameDatabase, m_session.GameList, m_session.GameDatabase.currentGame,
                            *name, m_session.Progress());
    }
    if (r.status == TCopyStatus::WriteFailed)
        m_session.Prompt().ShowMessage("Copying stopped: the database " + FileNameText(*name) +
                                       " did not take a game; " + std::to_string(r.copied) +
                                       " games were copied.");
    if (r.unreadable > 0)
        m_session.Prompt().ShowMessage(std::to_string(r.unreadable) +
                                       " damaged games could not be read and were not copied.");
}

void TDatabaseForm::SelectallClick() {
    SetAllSelected(m_session.GameList, true);
    UpdateDatabaseCaption();
    DBPanel->DoRepaint();
}

void TDatabaseForm::DeselectallClick() {
    SetAllSelected(m_session.GameList, false);
    UpdateDatabaseCaption();
    DBPanel->DoRepaint();
}

void TDatabaseForm::SavenamestoTXT1Click() {
    const auto name =
        m_session.FileChooser().SaveFile("Save Names", "Text File (*.txt *.TXT)", std::string());
    if (!name) return;
    if (const TIoStatus s = SavePlayerNames(m_session.GameDatabase, *name); !s)
        m_session.Prompt().ShowMessage("I/O error: " + FileNameText(s.Message()));
}

void TDatabaseForm::CorrectNames1Click() {
    if (!m_session.GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    CorrectNames(m_session.GameDatabase);
    m_session.Prompt().ShowMessage("OK!");
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
