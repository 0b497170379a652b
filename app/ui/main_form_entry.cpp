// The main window's move entry, navigation and position set-up.

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
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolBar>
#include <QWheelEvent>

void TMainForm::BoardImageMouseDown(int button, int x, int y) {
    const int square = BoardClickToSquare(x, y, BoardImage->width(), CurrentVariant, BoardReversed != 0);
    if (square) HandleBoardClick(square, button);
}

void TMainForm::HandleBoardClick(int square, int button) {
    if (square < 1 || square > SquaresOf(CurrentVariant)) return;
    if (SetupMode) {
        int v = CurrentBoard[square] + (button == 0 ? 1 : button == 1 ? -1 : 0);
        if (button == 2) v = 0;
        if (v > 2) v = -2;
        if (v < -2) v = 2;
        CurrentBoard[square] = static_cast<std::int8_t>(v);
        DrawBoard(false);
        return;
    }
    if (m_seams.isEngineBusy() && !AnalysisMode) return;
    TMoveList legal;
    FindMoves(CurrentBoard, SideToMove, legal, CurrentVariant);
    RemoveDuplicateMoves(legal, CurrentBoard, CurrentVariant);
    const TClickRing::TResult r = m_clickRing.Click(square, legal, CurrentBoard, SideToMove, CurrentNode);
    if (!r.stored || r.candidates != 1) return;
    // A running analysis must not see the game change under it.
    if (AnalysisMode && m_seams.isEngineBusy()) m_seams.stopEngineAndWait();
    const int node = AddMoveToTree(r.move, false);
    if (node) {
        PlayMoveSound();
        CurrentNode = node;
        MakeMove(r.move, CurrentBoard, CurrentVariant);
        SideToMove = 1 - SideToMove;
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
    const TAddMoveResult r = ::AddMoveToTree(CurrentGame, CurrentNode, move, silent, CurrentVariant, ask);
    if (r.treeFull) ShellPrompts().ShowMessage(this, PhraseString(53));
    return r.node;
}

void TMainForm::DeleteSubtree(int node) {
    ::DeleteSubtree(CurrentGame, node);
}

void TMainForm::GoToNode(int node, bool stopEngine) {
    if (stopEngine) m_seams.stopEngineAndWait();
    TBoard board;
    int side = 0;
    // Node numbers may come from stored games: only a node in use with a path to the root counts.
    if (!PositionAtNode(CurrentGame, node, CurrentVariant, board, side)) return;
    CurrentNode = node;
    CurrentBoard = board;
    SideToMove = side;
    AfterPositionChange();
}

void TMainForm::AfterPositionChange() {
    m_clickRing.Clear();
    DrawBoard(false);
    RebuildGamePanel();
    ShowBookMoves();
}

void TMainForm::GoToEnd(bool stopEngine) {
    GoToNode(MainLineEnd(CurrentGame), stopEngine);
}

void TMainForm::GoBack() {
    if (CurrentNode == 0) return;
    GoToNode(CurrentGame.nodes[CurrentNode].parent, true);
}

void TMainForm::GoForward() {
    const TNodeList children = ListChildNodes(CurrentNode, CurrentGame);
    if (children.empty()) return;
    if (children.size() == 1) {
        GoToNode(children[0], true);
        return;
    }
    FSelectMove->ListBox1->clear();
    for (const std::string& t : ChildMoveTexts(CurrentGame, CurrentNode, CurrentVariant))
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

void TMainForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        SpeedButtonClick(event->key() == Qt::Key_Left ? 2 : 3);
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TMainForm::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta > 0)
        SpeedButtonClick(2);
    else if (delta < 0)
        SpeedButtonClick(3);
    event->accept();
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
    InitGame(CurrentGame, CurrentVariant);
    CurrentNode = 0;
    SetupMode = 1;
    m_clickRing.Clear();
    ShowSetupControls(true);
    // Side 0 is Black in English and Pool.
    const bool blackFirst = CurrentVariant == gtEnglish || CurrentVariant == gtPool;
    WhoMoves->RadioButton1->setText(PhraseString(blackFirst ? 57 : 56));
    WhoMoves->RadioButton2->setText(PhraseString(blackFirst ? 56 : 57));
    ReadGameHeaderIntoPanel();
    RebuildGamePanel();
    DrawBoard(false);
}

void TMainForm::NewBrdBtnClick() {
    CurrentBoard = StartPositionOf(CurrentVariant);
    DrawBoard(false);
}

void TMainForm::ClearBrdBtnClick() {
    CurrentBoard = EmptyBoard;
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
    if (!ParseFen(value, board, side, CurrentVariant)) return;
    CurrentBoard = board;
    SideToMove = side;
    DrawBoard(false);
    (side == 1 ? WhoMoves->RadioButton2 : WhoMoves->RadioButton1)->setChecked(true);
}

void TMainForm::SetupDoneClick() {
    SetupMode = 0;
    ShowSetupControls(false);
    WhoMoves->SpinEdit1->setValue(1);
    WhoMoves->exec();
    CurrentGame.header.startSide = WhoMoves->RadioButton1->isChecked() ? 0 : 1;
    CurrentGame.header.moveNumberOffset = static_cast<std::uint8_t>((WhoMoves->SpinEdit1->value() - 1) * 2);
    PositionToKey(CurrentBoard, CurrentGame.startKey);
    SideToMove = CurrentGame.header.startSide;
    m_clickRing.Clear();
    DrawBoard(false);
    RebuildGamePanel();
    ShowBookMoves();
}
