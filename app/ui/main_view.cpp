// The main window's board, layout and view commands.

#include "app/core/shell_state.h"
#include "app/ui/about_box.h"
#include "app/ui/board_image.h"
#include "app/ui/forms.h"
#include "app/ui/game_panel.h"
#include "app/ui/ibtn.h"
#include "app/ui/interface_form.h"
#include "app/ui/main_form.h"
#include "app/ui/radio_group.h"
#include "app/ui/select_colors.h"

#include <QAction>
#include <QFontDialog>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>

void TMainForm::DrawBoard(bool withFrame) {
    ::DrawBoard(m_picture, withFrame, [this] {
        if (BoardImage) BoardImage->update();
    });
}

void TMainForm::SetBoardSize(int size) {
    if (!isVisible() && size == 0)
        return; // not laid out yet: the first resize after showing the window lays it out
    const int w = m_client->width();
    const int h = m_client->height();
    m_layout =
        ComputeWindowLayout(w, h, size, Shell.BoardSizeSetting, TreeLabel->width(), !ClockLabel->isHidden(),
                            GameType->fontMetrics().horizontalAdvance(GameType->text()));
    const TWindowLayout& l = m_layout;
    m_toolBar->setGeometry(0, 0, w, 36);
    BoardImage->setGeometry(16, 40, l.board, l.board);
    GameType->move(GameType->x(), l.gameTypeTop);
    Label2->setGeometry(TreeLabel->width() + 20, 4, l.label2Width, 110);
    ClockLabel->setGeometry(l.rightLeft, 40, l.rightWidth, 28);
    const int panelTop = !ClockLabel->isHidden() ? 72 : 40;
    GamePanel->setGeometry(l.rightLeft, panelTop, l.rightWidth, l.gamePanelHeight);
    // Below the game panel: the engine panels, then the page control.
    const int enginesTop = panelTop + l.gamePanelHeight + 6;
    DepthPanel->setGeometry(l.depthLeft, enginesTop, 130, 22);
    EvalPanel->setGeometry(l.evalLeft, enginesTop, 80, 22);
    EnginePanel->setGeometry(l.engineLeft, enginesTop, std::max(10, l.rightWidth - 220), 22);
    PageControl1->setGeometry(l.rightLeft, enginesTop + 28, l.rightWidth, std::max(40, h - enginesTop - 32));
    for (int i = 0; i < 4; ++i)
        SpeedButton[i]->move(l.navLeft[i], l.navTop);
    SetupDone->move(l.setupDoneLeft, l.navTop);
    ClearBrdBtn->move(l.clearLeft, l.navTop);
    NewBrdBtn->move(l.newLeft, l.navTop);
    FENPasteBtn->move(l.fenLeft, l.navTop);
    InfoPanel->setGeometry(16, l.infoTop, l.infoWidth, std::max(0, l.infoHeight));
    RebuildGamePanel();
}

void TMainForm::N18Click() {
    SetBoardSize(MinBoardSize);
}

void TMainForm::N19Click() {
    SetBoardSize(AverageBoardSize(m_client->width(), m_client->height()));
}

void TMainForm::N20Click() {
    SetBoardSize(LargeBoardRequest);
}

void TMainForm::N28Click() {
    Shell.BoardReversed = Shell.BoardReversed ? 0 : 1;
    Item("N28")->setChecked(Shell.BoardReversed != 0);
    DrawBoard(true); // the redraw request with frame, on this thread
}

void TMainForm::Selectcolors1Click() {
    SelectColors()->exec();
}

void TMainForm::Interface1Click() {
    InterfaceForm()->exec();
    Shell.CaptureSeparator =
        InterfaceForm()->TakeChar->ItemText(InterfaceForm()->TakeChar->ItemIndex()).left(1).toStdString();
    Shell.FullNotation = InterfaceForm()->notation->ItemIndex() == 1;
    RebuildGamePanel();
}

void TMainForm::Fonr1Click() {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, GamePanel->font(), this);
    if (!ok) return;
    GamePanel->setFont(f);
    GamePanel->update();
    RebuildGamePanel();
    ReadGameHeaderIntoPanel();
}

void TMainForm::ShowAbout() {
    AboutBox()->exec();
}
