// The main window's game commands: the game panel, marks and comments, lines, help, and the
// bindings of the menus, tool bar and pop-up menu to them.

#include "app/core/engine_requests.h"
#include "app/core/engine_state.h"
#include "app/core/game_clock.h"
#include "app/core/game_tree_edit.h"
#include "app/core/language.h"
#include "app/core/request_flags.h"
#include "app/core/shell_state.h"
#include "app/ui/board_image.h"
#include "app/ui/captions.h"
#include "app/ui/comm_dlg.h"
#include "app/ui/ebtest.h"
#include "app/ui/forms.h"
#include "app/ui/game_panel.h"
#include "app/ui/ibtn.h"
#include "app/ui/main_form.h"
#include "app/ui/shell_prompts.h"
#include "platform/codepage.h"
#include "platform/shell_open.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

void TMainForm::WireEntryCommands() {
    // The engine requests, clocks and engine choice of the play commands.
    m_seams.isEngineBusy = [] { return IsEngineBusy(); };
    m_seams.stopEngineAndWait = [] { ::StopEngineAndWait(); };
    m_seams.startEngine = [] { StartEngine(); };
    m_seams.stopRequested = [] { return StopRequested != 0; };
    m_seams.setStopRequested = [](bool v) { StopRequested = v ? 1 : 0; };
    m_seams.applyTimeControl = [this] { ApplyCheckedTimeControl(); };
    m_seams.clock0 = [] { return static_cast<int>(Clocks[0].load()); };
    m_seams.engineLongName = [] { return EngineSettings.LongName; };
    m_seams.showBookMoves = [this] { ListBookMovesIntoPanels(); };
    const auto on = [this](const char* name, auto handler) {
        if (QAction* a = Item(name)) connect(a, &QAction::triggered, this, handler);
    };
    const auto button = [this](const char* name, auto handler) {
        if (auto* b = m_toolBar->findChild<QToolButton*>(name))
            connect(b, &QToolButton::clicked, this, handler);
    };
    on("N2", [this] { NewGame(); });
    button("ToolButton2", [this] { NewGame(); });
    on("Gsmeinformation1", [this] { EditGameHeader(); });
    button("ToolButton6", [this] { EditGameHeader(); });
    on("N24", [this] { EnterSetupMode(); });
    on("N16", [this] { N16Click(); });
    on("N15", [this] { N15Click(); });
    on("ExportGif", [this] { ExportGifClick(); });
    on("N36", [this] { N36Click(); });
    on("estEDBFunc1",
       [this] { OpenEdbToolWindow(ebtest(), EDBCompr()); }); // hidden: reached by its keys only
    InstallEdbToolShortcuts(this, Item("estEDBFunc1"));

    // Commands of parts that are not wired yet: present, disabled until their owners enable them.
    for (const char* name : {"N33", "Replacegame1", "Loadpreviousgame1", "N34", "N7", "Quicksearch1"})
        Item(name)->setEnabled(false);
    for (const char* name :
         {"ToolButton5", "ToolButton4", "ToolButton8", "ToolButton9", "ToolButton16", "ToolButton12"})
        if (auto* b = m_toolBar->findChild<QToolButton*>(name)) b->setEnabled(false);
    const bool info = static_cast<bool>(m_seams.editGameInfo);
    Item("Gsmeinformation1")->setEnabled(info);
    if (auto* b = m_toolBar->findChild<QToolButton*>("ToolButton6")) b->setEnabled(info);

    // The pop-up menu of the game panel.
    const char* moveMarks[7] = {"N52", "N38", "N39", "N40", "N41", "N42", "N43"};
    for (int code = 0; code < 7; ++code)
        on(moveMarks[code], [this, code] {
            SetNodeAnnotation(m_session.CurrentNode(), 1, code);
            RebuildGamePanel();
        });
    const char* positionMarks[8] = {"N53", "N46", "N47", "N48", "N49", "N50", "x1", "N51"};
    for (int code = 0; code < 8; ++code)
        on(positionMarks[code], [this, code] {
            SetNodeAnnotation(m_session.CurrentNode(), 2, code);
            RebuildGamePanel();
        });
    on("N1231", [this] { CommentClick(false); });
    on("N1231231", [this] { CommentClick(true); });
    on("Deleteaftermove1", [this] { Deleteaftermove1Click(); });
    on("Promoteline1", [this] { PromoteLine(m_session.CurrentNode()); });
    on("Clearallcomments1", [this] { Clearallcomments1Click(); });
    // Deleting the line from the root is not offered.
    connect(PopupMenu1, &QMenu::aboutToShow, this,
            [this] { Item("Deleteaftermove1")->setEnabled(m_session.CurrentNode() != 0); });

    // Board, navigation and set-up.
    connect(BoardImage, &TBoardImage::mouseDown, this,
            [this](int button, int x, int y) { BoardImageMouseDown(button, x, y); });
    for (int i = 0; i < 4; ++i) {
        SpeedButton[i]->setFocusPolicy(Qt::NoFocus);
        connect(SpeedButton[i], &IBtn::clicked, this, [this, i] { SpeedButtonClick(i + 1); });
    }
    connect(SetupDone, &QPushButton::clicked, this, [this] { SetupDoneClick(); });
    connect(NewBrdBtn, &QPushButton::clicked, this, [this] { NewBrdBtnClick(); });
    connect(ClearBrdBtn, &QPushButton::clicked, this, [this] { ClearBrdBtnClick(); });
    connect(FENPasteBtn, &QPushButton::clicked, this, [this] { FENPasteBtnClick(); });
    GamePanel->installEventFilter(this);
    // The keys go to whichever control has the focus, and the wheel to the one under the mouse:
    // they are taken here before any of them sees them.
    qApp->installEventFilter(this);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == GamePanel && event->type() == QEvent::MouseButtonPress) {
        const auto* e = static_cast<QMouseEvent*>(event);
        const int button = e->button() == Qt::RightButton ? 1 : e->button() == Qt::MiddleButton ? 2 : 0;
        const QPoint pt = e->position().toPoint();
        GamePanelMouseDown(button, pt.x(), pt.y());
        return true;
    }
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::Wheel) &&
        TakeNavigationInput(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

std::string TMainForm::NewGameTournament() const {
    int clock0 = m_seams.clock0();
    if (clock0 < 0) {
        // Until the clocks are wired: the minutes of the checked time-control item.
        const std::pair<const char*, int> items[] = {
            {"min1", 3}, {"N5min1", 5}, {"N10min1", 10}, {"N30min1", 30}, {"N60min1", 60}};
        clock0 = 0;
        for (const auto& [name, minutes] : items)
            if (Item(name)->isChecked()) clock0 = minutes * 6000;
    }
    return PhraseCp1251(58) + " " + std::to_string(clock0 / 6000) + " min";
}

bool TMainForm::EditGameHeader() {
    if (!m_seams.editGameInfo) return false;
    TGameIndexRecord header;
    std::array<std::string, 5> names;
    {
        TGameLock lock = m_session.Lock();
        const TGame& game = m_session.CurrentGame(lock);
        header = game.header;
        names = {game.white, game.black, game.annotator, game.tournament, game.site};
    }
    // The dialog works on the copy, without the lock.
    if (!m_seams.editGameInfo(header, names)) return false;
    {
        TGameLock lock = m_session.Lock();
        TGame& game = m_session.EditGame(lock);
        game.header = header;
        game.white = names[0];
        game.black = names[1];
        game.annotator = names[2];
        game.tournament = names[3];
        game.site = names[4];
    }
    ReadGameHeaderIntoPanel();
    RebuildGamePanel();
    return true;
}

void TMainForm::SetNodeAnnotation(int node, int kind, int code) {
    TGameLock lock = m_session.Lock();
    ::SetNodeAnnotation(m_session.EditGame(lock), node, kind, code);
}

void TMainForm::PromoteLine(int node) {
    {
        TGameLock lock = m_session.Lock();
        ::PromoteLine(m_session.EditGame(lock), node);
    }
    RebuildGamePanel();
}

void TMainForm::CommentClick(bool after) {
    const int node = m_session.CurrentNode();
    std::string comment;
    {
        TGameLock lock = m_session.Lock();
        const TGame& game = m_session.CurrentGame(lock);
        comment = (after ? game.commentAfter : game.commentBefore)[node];
    }
    CommDlg()->Memo1->clear();
    if (!comment.empty()) CommDlg()->Memo1->setPlainText(QString::fromStdString(Cp1251ToUtf8(comment)));
    if (CommDlg()->exec() == mrOk) {
        TGameLock lock = m_session.Lock();
        TGame& game = m_session.EditGame(lock);
        (after ? game.commentAfter : game.commentBefore)[node] =
            Utf8ToCp1251BestFit(CommDlg()->Memo1->toPlainText().toStdString());
    }
    RebuildGamePanel();
}

void TMainForm::Deleteaftermove1Click() {
    const int node = m_session.CurrentNode();
    if (node == 0) return; // not offered at the root
    int parent = -1;
    {
        // The shown node goes with its line: show its parent under the same lock.
        TGameLock lock = m_session.Lock();
        parent = DeleteLine(m_session.EditGame(lock), node);
        if (parent >= 0) m_session.GoToNode(parent);
    }
    RebuildGamePanel();
    if (parent >= 0) GoToNode(parent, true);
}

void TMainForm::Clearallcomments1Click() {
    {
        TGameLock lock = m_session.Lock();
        ClearAllComments(m_session.EditGame(lock));
    }
    RebuildGamePanel();
}

void TMainForm::GamePanelMouseDown(int button, int x, int y) {
    GamePanel->setFocus();
    if (Shell.SetupMode) return; // no navigation while a position is set up
    if (m_seams.isEngineBusy() && !Shell.AnalysisMode) return;
    const int node = GamePanel->GetMoveClick(x - 10, y);
    if (node) {
        GoToNode(node, true);
        if (Shell.AnalysisMode && !m_seams.stopRequested()) m_seams.startEngine();
        if (button == 1) PopupMenu1->popup(GamePanel->mapToGlobal(QPoint(x, y)));
    } else if (button == 1 && y < 60) {
        EditGameHeader();
    }
}

void TMainForm::N16Click() {
    const std::string page = CurrentLanguage() == langRussian ? "Docs/Russian.htm" : "Docs/English.htm";
    const std::string file = Shell.AppDir + page;
    TOpenJob opener = ShellOpen(file);
    const TOpenState state = opener.Poll();
    if (state == TOpenState::Opened) return;
    if (state == TOpenState::Failed) return ShowHelpPage(file);
    // xdg-open exists but may still find no program for the page: watched until it ends.
    m_helpOpeners.push_back({std::move(opener), file});
    if (!m_openerPoll) {
        m_openerPoll = new QTimer(this);
        m_openerPoll->setObjectName("HelpOpenerPoll");
        m_openerPoll->setInterval(100);
        connect(m_openerPoll, &QTimer::timeout, this, [this] { PollHelpOpeners(); });
    }
    m_openerPoll->start();
}

void TMainForm::PollHelpOpeners() {
    for (auto it = m_helpOpeners.begin(); it != m_helpOpeners.end();) {
        const TOpenState state = it->opener.Poll();
        if (state == TOpenState::Running) {
            ++it;
            continue;
        }
        const std::string file = it->file;
        it = m_helpOpeners.erase(it);
        if (state == TOpenState::Failed) ShowHelpPage(file);
    }
    if (m_helpOpeners.empty()) m_openerPoll->stop();
}

void TMainForm::ShowHelpPage(const std::string& file) {
    // No program of the desktop opens the page (no xdg-open, or no browser behind it): the page in a
    // window of our own.
    if (!std::filesystem::exists(file)) {
        ShellPrompts().ShowMessage(this, "The help page " + QString::fromStdString(file) + " is missing.");
        return;
    }
    if (!m_helpWindow) {
        m_helpWindow = new QDialog(this);
        m_helpWindow->setObjectName("HelpWindow");
        auto* browser = new QTextBrowser(m_helpWindow);
        browser->setObjectName("HelpBrowser");
        browser->setOpenExternalLinks(true);
        auto* layout = new QVBoxLayout(m_helpWindow);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        m_helpWindow->resize(720, 600);
    }
    m_helpWindow->setWindowTitle(PhraseString(39));
    m_helpWindow->findChild<QTextBrowser*>("HelpBrowser")
        ->setSource(QUrl::fromLocalFile(QString::fromStdString(file)));
    m_helpWindow->show();
    m_helpWindow->raise();
}

void TMainForm::ShowBookMoves() {
    m_seams.showBookMoves();
}

void TMainForm::ShowInfoMessage(const QString& text) {
    InfoPanel->setText(text);
    m_infoMessage = text;
    m_infoMessageNode = m_session.CurrentNode();
}

void TMainForm::ListBookMovesIntoPanels() {
    const TSessionSnapshot at = m_session.Snapshot();
    // A message stays until the position moves on; then the book's comment may take the panel.
    if (!m_infoMessage.isEmpty() && at.node != m_infoMessageNode) {
        if (InfoPanel->text() == m_infoMessage) InfoPanel->clear();
        m_infoMessage.clear();
    }
    const bool keepMessage = !m_infoMessage.isEmpty();
    OpeningBook().ListBookMoves(at.board, at.side, at.variant, Shell.CaptureSeparator, m_bookList);
    const TBookListTexts t =
        ComposeBookList(m_bookList, at.board, !Shell.AnalysisMode, Item("N55")->isChecked());
    if (t.info && !keepMessage) InfoPanel->setText(QString::fromStdString(Cp1251ToUtf8(*t.info)));
    // The rows end in carriage returns; the label breaks lines at line feeds.
    if (!t.tree) return;
    TreeLabel->setText(QString::fromStdString(Cp1251ToUtf8(*t.tree)).replace(QChar('\r'), QChar('\n')));
    // The label takes the width of its rows, and the engine text beside it the rest.
    TreeLabel->adjustSize();
    TreeLabel->resize(std::max(110, TreeLabel->width()), std::max(110, TreeLabel->height()));
    Label2->setGeometry(TreeLabel->width() + 20, 4,
                        std::max(10, m_layout.rightWidth - TreeLabel->width() - 30), 110);
}
