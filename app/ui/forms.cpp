#include "app/ui/forms.h"

#include "app/ui/about_box.h"
#include "app/ui/comm_dlg.h"
#include "app/ui/exp_diagram.h"
#include "app/ui/f_analysis_game.h"
#include "app/ui/f_select_move.h"
#include "app/ui/f_set_tm.h"
#include "app/ui/interface_form.h"
#include "app/ui/main_form.h"
#include "app/ui/new_move_q.h"
#include "app/ui/select_colors.h"
#include "app/ui/use_com_board.h"
#include "app/ui/who_moves.h"
#include "gamedb/progress.h"
#include "gamedb/ui/f_imp_chb.h"

TMainForm* MainForm = nullptr;
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

TMainForm* CreateForms() {
    MainForm = new TMainForm;
    QWidget* owner = MainForm;
    // TFEngineOpt: created here by the engine options.
    NewMoveQ = new TNewMoveQ(owner);
    FSelectMove = new TFSelectMove(owner);
    WhoMoves = new TWhoMoves(owner);
    CommDlg = new TCommDlg(owner);
    UseComBoard = new TUseComBoard(owner);
    // TGameInfoForm, TDatabaseForm: created here by their subsystems.
    FAnalysisGame = new TFAnalysisGame(owner);
    FImpCHB = new TFImpCHB(owner);
    SetProgress(FImpCHB);
    // TFSearch: created here by the database subsystem.
    AboutBox = new TAboutBox(owner);
    AboutBox->LoadPicture(QString::fromStdString(ResourcePath("About.jpg")));
    // TSortForm, Tebtest, TListForm: created here by their subsystems.
    InterfaceForm = new TInterfaceForm(owner);
    // THeadersEdit: created here by the database subsystem.
    SelectColors = new TSelectColors(
        MainForm->BoardPicture(), [](bool withFrame) { MainForm->DrawBoard(withFrame); }, owner);
    ExpDiagram = new TExpDiagram(MainForm->BoardPicture(), MainForm->CopyBoard, owner);
    // TFMatchPar: created here by its subsystem.
    FSetTm = new TFSetTm(owner);
    // TEDBCompr: created here by its subsystem.
    return MainForm;
}

void ForgetForms() {
    MainForm = nullptr;
    NewMoveQ = nullptr;
    FSelectMove = nullptr;
    WhoMoves = nullptr;
    CommDlg = nullptr;
    UseComBoard = nullptr;
    FAnalysisGame = nullptr;
    SetProgress(nullptr);
    FImpCHB = nullptr;
    AboutBox = nullptr;
    InterfaceForm = nullptr;
    SelectColors = nullptr;
    ExpDiagram = nullptr;
    FSetTm = nullptr;
}
