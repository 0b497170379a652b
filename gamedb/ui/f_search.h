#pragma once
// "Search": the modal dialog in which the user sets what a database search looks for (players,
// tournament, years, moves, results, comment, variation and deleted marks and, with "Position", a
// pattern board whose squares may be "any") and runs it over the database of the session it is
// given (SetSession); the found games replace that session's GameList. The database window's "New search"
// shows it; the main window's quick search presets it and runs the search without showing it (QuickSearch).
//
// The controls keep their values for the whole run, and the session's SearchCriteria holds the last
// search's.
// What it needs of the main window (its board, the board colours) comes through Hooks(), the
// side captions' phrases through DatabaseHooks().
// Created once at start-up and handed to the database window (its FSearch(), through which the
// main window's quick search reaches it too); interface thread only.

#include "gamedb/database_session.h"
#include "gamedb/search_criteria.h"
#include "rules/board.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TSearchBoardImage;
struct TSearchBoardColors;

class TFSearch : public QDialog {
    Q_OBJECT
  public:
    explicit TFSearch(QWidget* parent = nullptr);
    ~TFSearch() override;

    struct THooks {
        // The main board's position (CurrentBoard), for Copy; empty by default.
        std::function<TBoard()> currentBoard = [] { return EmptyBoard; };
        // The board colours (dark, light squares) as 0xBBGGRR values; the program's defaults
        // until the main window registers its own.
        std::function<std::uint32_t()> darkSquareColor = [] { return 0x808040u; };
        std::function<std::uint32_t()> lightSquareColor = [] { return 0xF0F0E3u; };
    };
    THooks& Hooks() { return m_hooks; }
    // The database window's session that the dialog works on; its owner sets it before showing it
    // (none: the commands do nothing, as with no database open).
    void SetSession(TDatabaseSession* session) { m_session = session; }

    QLabel *Label1, *Label2, *Label3, *Label4, *Label6;
    QComboBox *Whitename, *BlackName, *Tournament;
    QCheckBox* Ignorecol;
    QSpinBox *Yearstart, *Yearend, *MoveStart, *MoveEnd;
    QGroupBox* Result;
    QCheckBox *wwin, *draw, *bwin, *unknown, *wwint, *bwint;
    QCheckBox *comments, *variations, *Deleted, *PosCheckBox;
    TSearchBoardImage* SearchBrdImage;
    QRadioButton *b64, *b100, *b64i, *b64e;
    QCheckBox *Whitemove, *BlackMove, *Reversed;
    QPushButton *Button3, *Button4, *Button5, *Button6, *Button1, *Button2;

    // The pattern being edited (squares 1..50, -2..3); all "any" when the dialog is created.
    TSearchPattern pattern;

    // The player and tournament combo boxes get the open database's lists, sorted ignoring case.
    void FillLists();
    // The criteria the controls and the pattern say, texts in CP1251 lower case.
    TSearchCriteria Criteria() const;
    TSearchBoard BoardKind() const;

    // The quick search of the main window: the dialog preset for `board` with `side` to move in
    // `variant` (position on, no mark required, only that side, not reversed, the variant's board
    // kind, the pattern the board), then the search run over the session's database into its list with no
    // text, open ranges and every result; the dialog's own texts, ranges and results stay.
    void QuickSearch(const TBoard& board, int side, TGameType variant);

    // ---- handlers ----
    void FormShow();  // draws the board
    void b64Click();  // b64, b100, b64i: side captions 128, 129; redraw
    void b64eClick(); // side captions 129, 128; redraw
    void SearchBrdImageMouseDown(int button, int x, int y);
    void PosCheckBoxClick();
    void Button3Click(); // Clear: every square empty
    void Button4Click(); // Clean: every square "any"
    void Button5Click(); // Copy: the main board
    void Button6Click(); // Start: the start position of the board size
    void Button1Click(); // OK: runs the search, modal result 1
    void DrawSearchBoard();

    void reject() override { done(2); } // Cancel, Escape and the close box

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void SetSideCaptions(int whitePhrase, int blackPhrase);
    void RunSearch(const TSearchCriteria& criteria);
    TSearchBoardColors Colors() const;

    THooks m_hooks;
    TDatabaseSession* m_session = nullptr;
};
