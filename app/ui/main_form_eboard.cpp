// The main window's electronic board: "Connect to electronic draughts board", the timer's step that
// takes the board's positions, and the reader's end at shutdown. The reading and the decision live
// in app/core; this applies them to the game shown.

#include "app/core/eboard_move.h"
#include "app/core/eboard_thread.h"
#include "app/core/game_session.h"
#include "app/core/shell_state.h"
#include "app/ui/captions.h"
#include "app/ui/forms.h"
#include "app/ui/main_form.h"
#include "app/ui/shell_prompts.h"
#include "app/ui/use_com_board.h"

void TMainForm::N36Click() {
    if (BoardThread().EBoardConnected()) return; // one board at a time
    if (UseComBoard->exec() != mrOk) return;
    TSerialPort port = std::move(UseComBoard->BoardPortHandle);
    if (!port.IsOpen()) {
        ShellPrompts().ShowMessage(this, PhraseString(61));
        return;
    }
    BoardThread().Start(std::move(port), UseComBoard->BoardPortName);
}

void TMainForm::NotifyBoardThread() {
    BoardThread().Stop();
}

void TMainForm::ServeElectronicBoard() {
    struct TTarget final : IEBoardTarget {
        TMainForm& form;
        explicit TTarget(TMainForm& f) : form(f) {}
        void SetupPosition(const TBoard& board) override {
            form.m_session.NewGame(board, form.m_session.SideToMove());
            form.DrawBoard(false);
        }
        void TakeMoveFromEBoard(const TBoard& board) override { form.TakeMoveFromEBoard(board); }
    } target(*this);
    ServeEBoard(BoardThread(), SetupMode != 0, m_session.CurrentVariant(), target);
}

void TMainForm::TakeMoveFromEBoard(const TBoard& board) {
    TEBoardDecision d;
    {
        TGameLock lock = m_session.Lock();
        TEBoardContext context;
        context.variant = m_session.CurrentVariant();
        context.current = m_session.CurrentBoard();
        context.side = m_session.SideToMove();
        context.analysisMode = AnalysisMode != 0;
        context.engineBusy = m_seams.isEngineBusy();
        context.stopRequested = m_seams.stopRequested();
        d = DecideEBoardMove(m_session.CurrentGame(lock), context, board);
    }
    if (d.step == TEBoardStep::Ignore) return;
    if (d.stopEngineFirst) m_seams.stopEngineAndWait();
    if (d.step == TEBoardStep::GoToNode) {
        GoToNode(d.node, false);
    } else {
        if (!AddMoveToTree(d.move, true)) return;
        m_clickRing.Clear();
        DrawBoard(false);
        RebuildGamePanel();
        ShowBookMoves();
    }
    if (d.startEngineAfter) m_seams.startEngine();
}
