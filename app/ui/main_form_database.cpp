// The main window's side of the database window: the hooks it registers for the window, loading
// games from its list, the database items of the menus and tool bar, the last database at start-up
// and shutdown, and the font of the list.

#include "app/core/language.h"
#include "app/core/request_flags.h"
#include "app/core/shell_state.h"
#include "app/ui/captions.h"
#include "app/ui/main_form.h"
#include "app/ui/shell_prompts.h"
#include "gamedb/game_list.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/database_hooks.h"
#include "gamedb/ui/db_panel.h"
#include "gamedb/ui/f_search.h"
#include "gamedb/ui/game_info_form.h"

#include <QAction>
#include <QFontDialog>
#include <QToolBar>
#include <QToolButton>

#include <memory>

namespace {

// The open database and its list live in the database window (none before it exists).
TDatabaseSession* DatabaseSession(TDatabaseForm* window) {
    return window ? &window->Session() : nullptr;
}

bool DatabaseIsOpen(const TDatabaseForm* window) {
    return window && window->Session().GameDatabase.open;
}

} // namespace

void TMainForm::ConnectDatabaseWindow() {
    TDatabaseHooks& h = DatabaseHooks();
    h.loadGameFromList = [this] { return LoadGameFromList(); };
    h.editGameHeader = [this] { return EditGameHeader(); };
    h.storeCurrentGame = [this](TGameDatabase& db, std::int32_t n) { return StoreCurrentGame(db, n); };
    h.requestRedraw = [](int mode) { RequestRedraw(mode); };
    h.phrase = [](int phrase) { return PhraseCp1251(phrase); };
    h.appDir = [] { return Shell.AppDir; };
    h.chooseFont = [](QWidget* parent, const QFont& initial) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, initial, parent);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };
    h.currentVariant = [this] { return m_session.CurrentVariant(); };

    m_seams.editGameInfo = [this](TGameIndexRecord& header, std::array<std::string, 5>& names) {
        TQuickGameHeader q{header, names[0], names[1], names[2], names[3], names[4]};
        const TDatabaseSession* s = DatabaseSession(DatabaseForm());
        if (!EditGameInfo(GameInfoForm(), q, s ? &s->GameDatabase : nullptr)) return false;
        header = q.header;
        names = {q.white, q.black, q.annotator, q.tournament, q.site};
        return true;
    };

    const auto on = [this](const char* item, const char* button, auto handler) {
        if (QAction* a = Item(item)) {
            a->setEnabled(true);
            connect(a, &QAction::triggered, this, handler);
        }
        if (!button) return;
        if (auto* b = m_toolBar->findChild<QToolButton*>(button)) {
            b->setEnabled(true);
            connect(b, &QToolButton::clicked, this, handler);
        }
    };
    // The header command was wired with the game commands; its dialog exists now.
    Item("Gsmeinformation1")->setEnabled(true);
    if (auto* b = m_toolBar->findChild<QToolButton*>("ToolButton6")) b->setEnabled(true);
    on("N7", "ToolButton16", [this] { N7Click(); });
    on("N33", "ToolButton5", [this] {
        if (DatabaseForm()) DatabaseForm()->Save1Click();
    });
    on("Replacegame1", "ToolButton4", [this] {
        if (DatabaseForm()) DatabaseForm()->ReplaceClick();
    });
    on("Loadpreviousgame1", "ToolButton8", [this] { LoadNeighbourGame(-1); });
    on("N34", "ToolButton9", [this] { LoadNeighbourGame(1); });
    on("Quicksearch1", "ToolButton12", [this] { Quicksearch1Click(); });
    if (TFSearch* search = DatabaseForm() ? DatabaseForm()->FSearch() : nullptr) {
        TFSearch::THooks& s = search->Hooks();
        s.currentBoard = [this] { return m_session.CurrentBoard(); };
        s.darkSquareColor = [] { return Shell.DarkSquareColor; };
        s.lightSquareColor = [] { return Shell.LightSquareColor; };
    }
}

void TMainForm::N7Click() {
    if (!DatabaseForm()) return;
    hide();
    DatabaseForm()->exec();
    show();
    DrawBoard(true);
}

void TMainForm::Quicksearch1Click() {
    if (!DatabaseIsOpen(DatabaseForm())) {
        ShellPrompts().ShowMessage(this, PhraseString(86));
        return;
    }
    TDatabaseForm* window = DatabaseForm();
    TFSearch* search = window ? window->FSearch() : nullptr;
    if (!search) return;
    hide();
    search->SetSession(&window->Session());
    search->QuickSearch(m_session.CurrentBoard(), m_session.SideToMove(), m_session.CurrentVariant());
    window->ListChanged();
    show();
    N7Click();
}

bool TMainForm::LoadGameFromList() {
    if (!DatabaseIsOpen(DatabaseForm())) {
        ShellPrompts().ShowMessage(this, PhraseString(86));
        return false;
    }
    const TGameDatabase& db = DatabaseSession(DatabaseForm())->GameDatabase;
    const TGameList& list = DatabaseSession(DatabaseForm())->GameList;
    const std::int32_t position = db.currentGame;
    if (!list.Contains(position)) {
        ShellPrompts().ShowMessage(this, PhraseString(86));
        return false;
    }
    m_seams.stopEngineAndWait();
    const std::int32_t number = list[position].gameNumber;
    // Read beside the game on the board: a game that cannot be read leaves it as it is.
    auto game = std::make_unique<TGame>();
    const TDbStatus s = ReadGame(db, number, false, *game);
    if (s != TDbStatus::Ok || !IsValidVariant(game->header.variant)) {
        ShellPrompts().ShowMessage(
            this, QString("Game %1 cannot be loaded: %2. The game on the board is kept.")
                      .arg(number)
                      .arg(s == TDbStatus::Damaged ? "its moves are damaged" : DbStatusText(s)));
        return false;
    }
    game->header.nodeToShow = list[position].node;
    if (game->header.variant != m_session.CurrentVariant()) SetGameType(game->header.variant, true);
    if (!m_session.LoadGame(*game)) return false;
    ReadGameHeaderIntoPanel();
    RebuildGamePanel();
    GoToNode(m_session.CurrentNode(), true);
    return true;
}

void TMainForm::LoadNeighbourGame(int step) {
    if (!DatabaseIsOpen(DatabaseForm()) || DatabaseSession(DatabaseForm())->GameListCount() == 0) {
        ShellPrompts().ShowMessage(this, PhraseString(86));
        return;
    }
    TGameDatabase& db = DatabaseSession(DatabaseForm())->GameDatabase;
    const std::int32_t count = DatabaseSession(DatabaseForm())->GameListCount();
    std::int32_t position = db.currentGame + step;
    if (position > count) position = 1;
    if (position < 1) position = count;
    db.currentGame = position;
    if (LoadGameFromList()) RequestRedraw(1);
}

TDbStatus TMainForm::StoreCurrentGame(TGameDatabase& db, std::int32_t n) {
    // The write sets the game's name numbers, counts and flags: under the game's lock.
    TGameLock lock = m_session.Lock();
    return WriteGame(m_session.EditGame(lock), n, db, true);
}

void TMainForm::OpenLastDatabase() {
    if (!DatabaseForm()) return;
    if (!m_databaseFile.empty()) OpenDatabase(m_databaseFile, DatabaseForm()->Session().GameDatabase);
    DatabaseForm()->RefreshGameList();
}

void TMainForm::CloseDatabase() {
    if (DatabaseForm()) ::CloseDatabase(DatabaseForm()->Session().GameDatabase);
}

std::string TMainForm::DatabaseFileSetting() const {
    // A database that did not open keeps the name it was asked for.
    return DatabaseIsOpen(DatabaseForm()) ? DatabaseSession(DatabaseForm())->GameDatabase.indexFileName
                                          : m_databaseFile;
}

TFontSetting TMainForm::DatabaseFontSetting() const {
    if (!DatabaseForm()) return m_databaseFont;
    const QFont f = DatabaseForm()->DBPanel->font();
    // The panel starts with a pixel size: the file holds points (at 96 dots an inch).
    const int size = f.pointSize() > 0 ? f.pointSize() : (f.pixelSize() * 72 + 48) / 96;
    return {f.family().toStdString(), m_databaseFont.charSet, size > 0 ? size : 12};
}

void TMainForm::ApplyDatabaseFont(const TFontSetting& font) {
    const TFontSetting current = DatabaseFontSetting();
    m_databaseFont = font;
    if (!DatabaseForm() || (font.name == current.name && font.size == current.size)) return;
    QFont f = DatabaseForm()->DBPanel->font();
    if (!font.name.empty()) f.setFamily(QString::fromStdString(font.name));
    if (font.size > 0) f.setPointSize(font.size);
    DatabaseForm()->DBPanel->setFont(f); // the page is measured again when the window is shown
}
