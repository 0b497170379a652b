// The main window's move entry, navigation and position set-up.

#include "app/core/game_end.h"
#include "app/core/game_tree_edit.h"
#include "app/core/language.h"
#include "app/core/move_sound.h"
#include "app/core/shell_state.h"
#include "app/ui/board_image.h"
#include "app/ui/captions.h"
#include "app/ui/f_select_move.h"
#include "app/ui/forms.h"
#include "app/ui/game_panel.h"
#include "app/ui/ibtn.h"
#include "app/ui/main_form.h"
#include "app/ui/new_move_q.h"
#include "app/ui/shell_prompts.h"
#include "app/ui/who_moves.h"
#include "gamedb/fen.h"
#include "rules/movegen.h"
#include "rules/variant_state.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolBar>
#include <QWheelEvent>
#include <algorithm>

void TMainForm::BoardImageMouseDown(int button, int x, int y) {
    const int square =
        BoardClickToSquare(x, y, BoardImage->width(), m_session.CurrentVariant(), BoardReversed != 0);
    if (square) HandleBoardClick(square, button);
}

void TMainForm::HandleBoardClick(int square, int button) {
    const TSessionSnapshot at = m_session.Snapshot();
    if (square < 1 || square > SquaresOf(at.variant)) return;
    if (SetupMode) {
        int v = at.board[square] + (button == 0 ? 1 : button == 1 ? -1 : 0);
        if (button == 2) v = 0;
        if (v > 2) v = -2;
        if (v < -2) v = 2;
        TBoard board = at.board;
        board[square] = static_cast<std::int8_t>(v);
        m_session.NewGame(board, at.side);
        DrawBoard(false);
        return;
    }
    if (m_seams.isEngineBusy() && !AnalysisMode) return;
    TMoveList legal;
    FindMoves(at.board, at.side, legal, at.variant);
    RemoveDuplicateMoves(legal, at.board, at.variant);
    const TClickRing::TResult r = m_clickRing.Click(square, legal, at.board, at.side, at.node);
    if (!r.stored || r.candidates != 1) return;
    // A running analysis must not see the game change under it.
    if (AnalysisMode && m_seams.isEngineBusy()) m_seams.stopEngineAndWait();
    if (AddMoveToTree(r.move, false)) {
        PlayMoveSound();
        DrawBoard(false);
        RebuildGamePanel();
        if (!(AnalysisMode && m_seams.stopRequested())) m_seams.startEngine();
    }
    ShowBookMoves();
}

int TMainForm::AddMoveToTree(const TMove& move, bool silent) {
    const TNewMoveQuestion ask = [this](const std::vector<std::string>& texts) {
        NewMoveQ->ListBox1->clear();
        for (const std::string& t : texts)
            NewMoveQ->ListBox1->addItem(QString::fromStdString(t));
        TNewMoveAnswer a;
        a.result = NewMoveQ->exec();
        const QListWidgetItem* item = NewMoveQ->ListBox1->currentItem();
        a.selected = item && item->isSelected() ? NewMoveQ->ListBox1->currentRow() : -1;
        return a;
    };
    const TAddMoveResult r = m_session.PlayMove(move, silent, ask);
    if (r.treeFull) ShellPrompts().ShowMessage(this, PhraseString(53));
    return r.node;
}

void TMainForm::DeleteSubtree(int node) {
    TGameLock lock = m_session.Lock();
    TGame& game = m_session.EditGame(lock);
    // A shown node inside the subtree goes with it: the board then shows the subtree's parent.
    const std::vector<int> path = PathToNode(game, m_session.CurrentNode());
    const bool shownInside = std::find(path.begin(), path.end(), node) != path.end();
    const int parent = shownInside ? game.nodes[node].parent : 0;
    ::DeleteSubtree(game, node);
    if (shownInside) m_session.GoToNode(parent);
}

void TMainForm::GoToNode(int node, bool stopEngine) {
    if (stopEngine) m_seams.stopEngineAndWait();
    // Node numbers may come from stored games: only a node in use with a path to the root counts.
    if (!m_session.GoToNode(node)) return;
    AfterPositionChange();
}

void TMainForm::AfterPositionChange() {
    m_clickRing.Clear();
    DrawBoard(false);
    RebuildGamePanel();
    ShowBookMoves();
}

void TMainForm::GoToEnd(bool stopEngine) {
    int end = 0;
    {
        TGameLock lock = m_session.Lock();
        end = MainLineEnd(m_session.CurrentGame(lock));
    }
    GoToNode(end, stopEngine);
}

void TMainForm::GoBack() {
    int parent = 0;
    {
        TGameLock lock = m_session.Lock();
        const int node = m_session.CurrentNode();
        if (node == 0) return;
        parent = m_session.CurrentGame(lock).nodes[node].parent;
    }
    GoToNode(parent, true);
}

void TMainForm::GoForward() {
    TNodeList children;
    std::vector<std::string> texts;
    {
        TGameLock lock = m_session.Lock();
        const TGame& game = m_session.CurrentGame(lock);
        children = ListChildNodes(m_session.CurrentNode(), game);
        texts = ChildMoveTexts(game, m_session.CurrentNode(), m_session.CurrentVariant());
    }
    if (children.empty()) return;
    if (children.size() == 1) {
        GoToNode(children[0], true);
        return;
    }
    FSelectMove->ListBox1->clear();
    for (const std::string& t : texts)
        FSelectMove->ListBox1->addItem(QString::fromStdString(t));
    FSelectMove->ListBox1->setCurrentRow(0);
    if (FSelectMove->exec() == mrCancel) return;
    const int row = FSelectMove->ListBox1->currentRow();
    if (row >= 0 && row < static_cast<int>(children.size())) GoToNode(children[row], true);
}

void TMainForm::SpeedButtonClick(int which) {
    if (SetupMode) return;
    if (m_seams.isEngineBusy() && !AnalysisMode) return;
    switch (which) {
    case 1:
        GoToNode(0, true);
        break;
    case 2:
        GoBack();
        break;
    case 3:
        GoForward();
        break;
    case 4:
        GoToEnd(true);
        break;
    default:
        return;
    }
    if (AnalysisMode && !m_seams.stopRequested()) m_seams.startEngine();
}

bool TMainForm::TakeNavigationInput(QObject* watched, QEvent* event) {
    // Left, Right and the wheel walk the game wherever the input lands in this window: a tool
    // button, the tab bar or STOP! with the focus, the game panel's scroll bar under the mouse. The
    // menu bar keeps its arrows for its own menus; other windows (dialogs, the help page) are not
    // this one.
    const auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this) return false;
    for (const QWidget* p = w; p; p = p->parentWidget())
        if (qobject_cast<const QMenuBar*>(p)) return false;
    if (event->type() == QEvent::KeyPress) {
        const auto* e = static_cast<QKeyEvent*>(event);
        if (e->key() != Qt::Key_Left && e->key() != Qt::Key_Right) return false;
        if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
        SpeedButtonClick(e->key() == Qt::Key_Left ? 2 : 3);
        return true; // consumed
    }
    if (event->type() == QEvent::Wheel) {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta > 0)
            SpeedButtonClick(2);
        else if (delta < 0)
            SpeedButtonClick(3);
        return true; // always handled
    }
    return false;
}

// ---- set-up ------------------------------------------------------------------------------

void TMainForm::ShowSetupControls(bool setup) {
    for (IBtn* b : SpeedButton)
        b->setVisible(!setup);
    for (QPushButton* b : {SetupDone, ClearBrdBtn, NewBrdBtn, FENPasteBtn})
        b->setVisible(setup);
    for (const char* name : {"N1", "N5", "N25", "N26", "N29"})
        Item(name)->setEnabled(!setup);
    m_toolBar->setEnabled(!setup);
}

void TMainForm::EnterSetupMode() {
    m_seams.stopEngineAndWait();
    // The position shown becomes the start of a game with no moves, changed square by square.
    const TSessionSnapshot at = m_session.Snapshot();
    m_session.NewGame(at.board, at.side);
    SetupMode = 1;
    m_clickRing.Clear();
    ShowSetupControls(true);
    const bool blackFirst = !SideIsWhite(0, CurrentVariant);
    WhoMoves->RadioButton1->setText(PhraseString(blackFirst ? 57 : 56));
    WhoMoves->RadioButton2->setText(PhraseString(blackFirst ? 56 : 57));
    ReadGameHeaderIntoPanel();
    RebuildGamePanel();
    DrawBoard(false);
}

void TMainForm::NewBrdBtnClick() {
    m_session.NewGame(StartPositionOf(m_session.CurrentVariant()), m_session.SideToMove());
    DrawBoard(false);
}

void TMainForm::ClearBrdBtnClick() {
    m_session.NewGame(EmptyBoard, m_session.SideToMove());
    DrawBoard(false);
}

void TMainForm::FENPasteBtnClick() {
    // Clipboard text is untrusted: ParseFen checks every square and rejects the whole text.
    const std::string text = QGuiApplication::clipboard()->text().left(255).toStdString();
    if (text.empty()) return;
    std::string key, value;
    if (!ParsePdnTag(text, key, value) || key != "FEN") return;
    TBoard board;
    int side = 0;
    if (!ParseFen(value, board, side, m_session.CurrentVariant())) return;
    m_session.NewGame(board, side);
    DrawBoard(false);
    (side == 1 ? WhoMoves->RadioButton2 : WhoMoves->RadioButton1)->setChecked(true);
}

void TMainForm::SetupDoneClick() {
    SetupMode = 0;
    ShowSetupControls(false);
    WhoMoves->SpinEdit1->setValue(1);
    WhoMoves->exec();
    const int side = WhoMoves->RadioButton1->isChecked() ? 0 : 1;
    {
        TGameLock lock = m_session.Lock();
        m_session.NewGame(m_session.CurrentBoard(), side);
        m_session.EditGame(lock).header.moveNumberOffset =
            static_cast<std::uint8_t>((WhoMoves->SpinEdit1->value() - 1) * 2);
    }
    m_clickRing.Clear();
    DrawBoard(false);
    RebuildGamePanel();
    ShowBookMoves();
}
