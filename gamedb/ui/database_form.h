#pragma once
// The database window: the games of its session's GameDatabase as a list (TDBPanel under the header bar
// HeaderControl2) with the commands that open, import, load, save, replace, copy, delete, check and
// compact games and edit their headers. The main window shows it modally; a modal result of 1 closes
// it (Close database window, Esc, and after a game is loaded). It owns the session (the open
// database, its list and the last search's criteria, gamedb/database_session.h) and hands it to its
// commands and dialogs; the current position is the database's currentGame (a list position, 0
// for an empty list). The main window reaches the session through Session().
// What it needs of the main window comes through DatabaseHooks(); messages through the session's
// prompt (the one given to SetPrompt), file dialogs through the session's chooser (the one given to
// SetFileChooser), long commands through the session's progress (the shell's progress window).
//
// For the commands that other windows add (search, sort, tournaments, header set, duplicates):
// their menu items exist here, disabled, under the names of the form; a command that replaces or
// reorders the session's GameList calls ListChanged() afterwards.
// Created once at start-up, held by the main window (TMainForm::DatabaseForm()); interface thread only.

#include "gamedb/database_session.h"
#include "gamedb/game_database.h"
#include "gamedb/game_list_input.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

class QAction;
class QHeaderView;
class QMenu;
class QMenuBar;
class QToolBar;
class QToolButton;
class TDBPanel;
class TFMatchPar;
class TFSearch;
class TGameInfoForm;
class THeadersEdit;
class TListForm;
class TSortForm;

class TDatabaseForm : public QDialog {
    Q_OBJECT
  public:
    explicit TDatabaseForm(QWidget* parent = nullptr);
    ~TDatabaseForm() override;

    // The open database, its list and criteria; lives as long as the window.
    TDatabaseSession& Session() { return m_session; }
    const TDatabaseSession& Session() const { return m_session; }
    // The file dialogs of the window's commands, owned by the window (none: every dialog is
    // cancelled). The session's chooser points at it.
    void SetFileChooser(std::unique_ptr<IFileChooser> chooser) {
        m_chooser = std::move(chooser);
        m_session.chooser = m_chooser.get();
    }
    // The message boxes of the window's commands and of its database, owned by the window (none:
    // silent). The session's database reports to it; so may other work of the program on databases
    // while the window lives (any thread, as the prompt allows).
    void SetPrompt(std::unique_ptr<IUserPrompt> prompt) {
        m_prompt = std::move(prompt);
        m_session.GameDatabase.prompt = m_prompt.get();
    }

    // The dialogs this window opens, children of the main window (which destroys them) and handed
    // here at start-up; one that was not given, or is gone, is not shown. The game information
    // dialog is the main window's, shared for Edit header.
    struct TDialogs {
        QPointer<TFSearch> FSearch;
        QPointer<TSortForm> SortForm;
        QPointer<TListForm> ListForm;
        QPointer<THeadersEdit> HeadersEdit;
        QPointer<TFMatchPar> FMatchPar;
        QPointer<TGameInfoForm> GameInfoForm;
    };
    void SetDialogs(const TDialogs& dialogs) { m_dialogs = dialogs; }
    TFSearch* FSearch() const;
    TSortForm* SortForm() const;
    TListForm* ListForm() const;
    THeadersEdit* HeadersEdit() const;
    TFMatchPar* FMatchPar() const;
    TGameInfoForm* GameInfoForm() const;

    QHeaderView* HeaderControl2;
    TDBPanel* DBPanel;
    QToolBar* ToolBar1;

    // The menu item or tool button of that object name (nullptr when there is none).
    QAction* Item(const QString& name) const;
    QToolButton* Button(const QString& name) const;

    // ---- what other windows call ----
    // Phrase 86 "Database not opened." in a message box.
    void ShowDatabaseNotOpened();
    // The caption: the index file's name with the count listed (DatabaseCaption).
    void UpdateDatabaseCaption();
    // After the database changed: the list becomes every game, the caption, the page from the top.
    // With no database open, the list is emptied.
    void RefreshGameList();
    // After a command replaced or reordered the list: the page from the top with the first game
    // current (none when the list is empty), the caption, the lines read and drawn.
    void ListChanged();
    // Column edges from the header's section widths; repaints.
    void UpdateColumnLayout();
    // The deleted mark of the game at list position `position`: mode 1 clear, 2 set, 3 flip.
    void SetDeletedMark(std::int32_t position, int mode);

    // ---- commands (menus and tool buttons) ----
    void OpenClick();
    void OpenCHBClick();
    void ImportPDN1Click();
    void PDN1Click();
    void CleanUpdatabase1Click();
    void Checkdatabase1Click();
    void Exit1Click();
    void Search1Click();
    void Clear1Click();
    void Load1Click();
    void ReplaceClick();
    void Save1Click();
    void DeleteClick();
    void Editheader1Click();
    void Copy1Click();
    void SelectallClick();
    void DeselectallClick();
    void ABuildtree1Click();
    void SavenamestoTXT1Click();
    void CorrectNames1Click();
    void Font1Click();
    // Tools: sort, tournaments list, header set (database_form_tools.cpp).
    void Sortgameslist1Click();
    void Maketournamentslist1Click();
    void Set1Click();
    // Sorts the list by key 1 White, 2 Black, 3 year and tournament; a list of every game renumbers them.
    void SortGames(int kind);
    // "Match games": the criteria from FMatchPar(), then the matches listed and their copies marked.
    void Delect1Click();

    // ---- mouse, wheel and keys ----
    void DBPanelMouseDown(int button, int x, int y); // button 0 left, 1 right, 2 other
    void FormMouseWheel(int notches);
    void FormKeyDown(TListKey key);
    void DBPanelResize();

    void reject() override { done(2); } // the close box

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void BuildMenus();
    void BuildToolBar();
    void BuildPanel();
    QAction* AddItem(QMenu* menu, const char* name, const QString& text);
    QMenu* AddMenu(QMenu* parent, const char* name, const QString& text);
    void Connect(const char* name, void (TDatabaseForm::*handler)());
    void Perform(const TListAction& action, const TListView& before, const TListView& after);
    void PlaceHeader();
    void ReadAndRepaint();
    std::string Phrase(int phrase) const;
    std::string BasesFolder() const; // AppDir + "Bases"
    void Report(TDbStatus status, const std::string& what);

    // Declared before the session, which may still report as it closes its database.
    std::unique_ptr<IUserPrompt> m_prompt;
    std::unique_ptr<IFileChooser> m_chooser;
    TDatabaseSession m_session;
    QMenuBar* m_menuBar = nullptr;
    std::map<QString, QAction*> m_items;
    TListClicks m_clicks;
    TDialogs m_dialogs;
};
