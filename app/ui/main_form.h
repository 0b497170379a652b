#pragma once
// The main window: menus, tool bar, the board, the game panel's place and the window layout;
// start-up (FormCreate, ReadSettings) and shutdown (FormCloseQuery). It wires controls to the game
// session (game_session.h), which makes the moves and holds the position shown, and to the rest of
// app/core. User-interface thread only.

#include "app/core/book_list.h"
#include "app/core/engine_choice.h"
#include "app/core/engine_match.h"
#include "app/core/entry_seams.h"
#include "app/core/game_session.h"
#include "app/core/main_timer.h"
#include "app/core/move_entry.h"
#include "app/core/settings.h"
#include "app/core/window_layout.h"
#include "app/ui/board_picture.h"
#include "app/ui/game_panel.h"
#include "gamedb/game_database.h"
#include "gif/gif_bitmap.h"
#include "platform/shell_open.h"

#include <QMainWindow>
#include <QString>
#include <map>
#include <string>
#include <vector>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class IBtn;
class TBoardImage;
class TGamePanel;
class TFEngineOpt;
class TNewMoveQ;
class TFSelectMove;
class TWhoMoves;
class TCommDlg;
class TUseComBoard;
class TFAnalysisGame;
class TFImpCHB;
class TAboutBox;
class TInterfaceForm;
class TSelectColors;
class TExpDiagram;
class TFSetTm;
class Tebtest;
class TEDBCompr;
class TGameInfoForm;
class TDatabaseForm;

// Path of a file of the program's resources (next to the executable, in "Resources").
std::string ResourcePath(const std::string& name);
// Tests point the resources at the run directory; empty restores the default.
void SetResourceDir(const std::string& dir);

class TMainForm : public QMainWindow {
    Q_OBJECT
  public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Start-up and shutdown.
    void ReadSettings();
    void FormCloseQuery();
    static bool FormCanResize(int newWidth, int newHeight) { return newWidth >= 500 && newHeight >= 380; }
    void FormResize();

    // Board.
    TBoardPicture& BoardPicture() { return m_picture; }
    void DrawBoard(bool withFrame);
    void SetBoardSize(int size);
    const TWindowLayout& Layout() const { return m_layout; }

    // Game commands the start-up needs.
    void NewGame();
    void SetGameType(TGameType variant, bool keepGame);
    void PlayModeClick();
    void Analysis_ModeClick();

    // View commands.
    void N18Click();
    void N19Click();
    void N20Click();
    void N28Click();
    void Selectcolors1Click();
    void Interface1Click();
    void Fonr1Click();
    void ShowAbout();

    // The menu item or tool button of that object name (nullptr when there is none).
    QAction* Item(const QString& name) const;
    QWidget* Control(const QString& name) const;
    QWidget* Client() const { return m_client; }

    // Language of the captions (SetLanguage of the caption table) and the one saved.
    void ApplyLanguage(int language);
    int LanguageForSettings() const;
    // The texts the window builds from phrases itself (variant label, tree tab, depth panel) and the
    // check marks of the language and board-size menus, after a change of either.
    void RefreshPhraseTexts();
    void RefreshBoardSizeMarks();

    // Play and analysis: engine requests, clocks, time controls and the tick (main_form_play.cpp).
    void Compute1Click();
    void StopButtonClick();
    void Offerdraw1Click();
    void min1Click();
    void N5min1Click();
    void N10min1Click();
    void N30min1Click();
    void N60min1Click();
    void Anothertimecontrol1Click();
    void ApplyCheckedTimeControl(); // a new game's clocks, from the checked item
    void UpdateClockLabel();
    void Timer1Timer();

    // The program's other forms: children of this window, created by CreateForms in the start-up
    // order and destroyed with it.
    TFEngineOpt* FEngineOpt() const { return m_forms.FEngineOpt; }
    TNewMoveQ* NewMoveQ() const { return m_forms.NewMoveQ; }
    TFSelectMove* FSelectMove() const { return m_forms.FSelectMove; }
    TWhoMoves* WhoMoves() const { return m_forms.WhoMoves; }
    TCommDlg* CommDlg() const { return m_forms.CommDlg; }
    TUseComBoard* UseComBoard() const { return m_forms.UseComBoard; }
    TFAnalysisGame* FAnalysisGame() const { return m_forms.FAnalysisGame; }
    TFImpCHB* FImpCHB() const { return m_forms.FImpCHB; }
    TAboutBox* AboutBox() const { return m_forms.AboutBox; }
    TInterfaceForm* InterfaceForm() const { return m_forms.InterfaceForm; }
    TSelectColors* SelectColors() const { return m_forms.SelectColors; }
    TExpDiagram* ExpDiagram() const { return m_forms.ExpDiagram; }
    TFSetTm* FSetTm() const { return m_forms.FSetTm; }
    Tebtest* ebtest() const { return m_forms.ebtest; }
    TEDBCompr* EDBCompr() const { return m_forms.EDBCompr; }
    // The database side's: the database window holds the dialogs only it opens.
    TGameInfoForm* GameInfoForm() const { return m_forms.GameInfoForm; }
    TDatabaseForm* DatabaseForm() const { return m_forms.DatabaseForm; }

    // Move entry, navigation and position set-up (main_form_entry.cpp).
    void BoardImageMouseDown(int button, int x, int y);
    void HandleBoardClick(int square, int button); // button 0 left, 1 right, 2 middle
    int AddMoveToTree(const TMove& move, bool silent);
    void DeleteSubtree(int node);
    void GoToNode(int node, bool stopEngine);
    void GoToEnd(bool stopEngine);
    void GoBack();
    void GoForward();
    void SpeedButtonClick(int which); // 1 first, 2 back, 3 forward, 4 end
    void EnterSetupMode();
    void SetupDoneClick();
    void NewBrdBtnClick();
    void ClearBrdBtnClick();
    void FENPasteBtnClick();
    const TClickRing& ClickRing() const { return m_clickRing; }

    // Game commands (main_form_commands.cpp).
    bool EditGameHeader();
    void SetNodeAnnotation(int node, int kind, int code);
    void PromoteLine(int node);
    void CommentClick(bool after); // N1231 before, N1231231 after the current move
    void Deleteaftermove1Click();
    void Clearallcomments1Click();
    void GamePanelMouseDown(int button, int x, int y);
    void N16Click(); // help
    // The help page in the program's own viewer, when no desktop program shows it.
    void ShowHelpPage(const std::string& file);
    // Board diagrams: the size dialog, then the clipboard (N15) or a GIF file (ExportGif).
    void N15Click();
    void ExportGifClick();
    // The last diagram prepared by the size dialog.
    TBitmap CopyBoard;
    void ShowBookMoves();
    void ListBookMovesIntoPanels(); // what showBookMoves is bound to
    // A worker's message (the board's port lost, an engine given up) in the information panel,
    // until the next move.
    void ShowInfoMessage(const QString& text);
    TGamePanel* GamePanelWidget() const { return GamePanel; }

    // The electronic board (main_form_eboard.cpp): connect, and the timer's step.
    void N36Click();
    void ServeElectronicBoard();
    void TakeMoveFromEBoard(const TBoard& board);
    // The engine, clock, book and dialog parts these commands call; the defaults do nothing.
    TEntrySeams& Seams() { return m_seams; }

    // Engines (main_form_engines.cpp): the options dialog, the level items, engine matches.
    void Engineoptions1Click();
    void LevelClick(int level); // LevelM .. Level3: 0 .. 4
    void Autoplay1Click();
    // What the engine libraries offer, for the options dialog and the engine choice.
    TEngineAvailability EngineAvailability() const;
    // Games and clocks of the next engine match (100 games, 10 minutes).
    TMatchOptions& MatchOptions() { return m_matchOptions; }

    const TEngineOptionSettings& EngineOptionValues() const { return m_engineOptions; }
    TFontSetting DatabaseFont() const { return DatabaseFontSetting(); }

    // The database window (main_form_database.cpp): registers its hooks and enables the database
    // items; called once the window exists.
    void ConnectDatabaseWindow();
    void N7Click(); // the database window, shown modally in place of this one
    // The games of the open database that reach the board's position, in the database window.
    void Quicksearch1Click();
    // Loads the game of the database window's current list entry (at the entry's node, in its
    // variant); false, with the game on the board kept, when there is none or it cannot be read.
    bool LoadGameFromList();
    // The next (+1) or previous (-1) game of the list, wrapping at its ends.
    void LoadNeighbourGame(int step);
    // Stores the current game as game n of `db` (0 appends), names saved at once, under the game lock.
    TDbStatus StoreCurrentGame(TGameDatabase& db, std::int32_t n);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend TMainForm* CreateForms();
    struct TForms {
        TFEngineOpt* FEngineOpt = nullptr;
        TNewMoveQ* NewMoveQ = nullptr;
        TFSelectMove* FSelectMove = nullptr;
        TWhoMoves* WhoMoves = nullptr;
        TCommDlg* CommDlg = nullptr;
        TUseComBoard* UseComBoard = nullptr;
        TFAnalysisGame* FAnalysisGame = nullptr;
        TFImpCHB* FImpCHB = nullptr;
        TAboutBox* AboutBox = nullptr;
        TInterfaceForm* InterfaceForm = nullptr;
        TSelectColors* SelectColors = nullptr;
        TExpDiagram* ExpDiagram = nullptr;
        TFSetTm* FSetTm = nullptr;
        Tebtest* ebtest = nullptr;
        TEDBCompr* EDBCompr = nullptr;
        TGameInfoForm* GameInfoForm = nullptr;
        TDatabaseForm* DatabaseForm = nullptr;
    };
    TForms m_forms;
    void WireEntryCommands();
    // The navigation keys and the wheel, taken for this window from the application's events.
    bool TakeNavigationInput(QObject* watched, QEvent* event);
    void WireEngineCommands();
    void ShowSetupControls(bool setup);
    void AfterPositionChange();
    std::string NewGameTournament() const;
    // After the engine choice changed: a game without moves names the engine that now plays it.
    void FollowEngineInHeader(const std::string& engineBefore);
    void FormCreate();
    void BuildMenus();
    void BuildToolBar();
    void BuildControls();
    QAction* AddItem(QMenu* menu, const char* name, const QString& text);
    QMenu* AddMenu(QMenu* parent, const char* name, const QString& text);
    void ConnectPlayCommands();
    void SetTimeControl(const char* item, int centiseconds);
    friend class TMainFormTickView;
    void ApplyGameFont(const TFontSetting& font);
    void RebuildGamePanel();        // TGamePanel.DoBuildGameTree with CurrentGame
    void ReadGameHeaderIntoPanel(); // TGamePanel.ReadGameHeader with CurrentGame
    TFontSetting GameFontSetting() const;
    TShellSettings CollectSettings() const;

    // Steps of other subsystems in the start-up and shutdown order; each is empty until the
    // subsystem that owns it wires it.
    void CreateEngineIdleEvent() {}
    void ApplyEngineOptionControls(); // TFEngineOpt takes m_engineOptions
    void InitEngines();               // with the five memory sizes
    void ApplyOskeenEngineName();     // item 1 of EngineRus, and the engines' availability
    void OpenLastDatabase();          // OpenDatabase(m_databaseFile) and the game-list refresh
    void SelectEngineForVariant();
    void AllocateEndgameBuffers() {} // 64 KB read buffer and the block buffer
    void NotifyBoardThread();
    void StopEngineAndWait();
    void CloseDatabase();
    std::string DatabaseFileSetting() const;
    TFontSetting DatabaseFontSetting() const;
    void ApplyDatabaseFont(const TFontSetting& font);
    void StopClocks();

    TGameSession& m_session = GameSession();
    TBoardPicture m_picture;
    QDialog* m_helpWindow = nullptr; // the help page when the desktop cannot open it
    // Help openers still running, polled until they end: a failed one shows the page itself.
    struct THelpOpener {
        TOpenJob opener;
        std::string file;
    };
    std::vector<THelpOpener> m_helpOpeners;
    QTimer* m_openerPoll = nullptr;
    void PollHelpOpeners();
    TWindowLayout m_layout;
    QWidget* m_client = nullptr;
    QToolBar* m_toolBar = nullptr;
    TBoardImage* BoardImage = nullptr;
    QLabel *GameType = nullptr, *Label2 = nullptr, *TreeLabel = nullptr, *ClockLabel = nullptr,
           *InfoPanel = nullptr;
    QLabel *DepthPanel = nullptr, *EvalPanel = nullptr, *EnginePanel = nullptr;
    QTabWidget* PageControl1 = nullptr;
    TGamePanel* GamePanel = nullptr;
    IBtn* SpeedButton[4] = {nullptr, nullptr, nullptr, nullptr};
    QPushButton *SetupDone = nullptr, *ClearBrdBtn = nullptr, *NewBrdBtn = nullptr, *FENPasteBtn = nullptr;
    QPushButton* StopButton = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QTimer* Timer1 = nullptr;
    std::map<QString, QAction*> m_items;
    TClickRing m_clickRing;
    TMainTimer m_mainTimer;
    TEntrySeams m_seams;
    TBookMoveList m_bookList; // this thread's book rows and position comment
    QString m_infoMessage;    // shown by ShowInfoMessage at node m_infoMessageNode
    int m_infoMessageNode = 0;

    TIniFile* m_settingsFile = nullptr; // open from ReadSettings to the end of FormCloseQuery
    TEngineOptionSettings m_engineOptions;
    TMatchOptions m_matchOptions;
    TFontSetting m_databaseFont;
    int m_gameFontCharSet = 1;
    std::string m_databaseFile;
    bool m_closed = false;
};
