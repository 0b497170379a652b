#include "app/ui/forms.h"

#include "app/ui/about_box.h"
#include "app/ui/comm_dlg.h"
#include "app/ui/ebtest.h"
#include "app/ui/edb_compr.h"
#include "app/ui/exp_diagram.h"
#include "app/ui/f_analysis_game.h"
#include "app/ui/f_engine_opt.h"
#include "app/ui/f_select_move.h"
#include "app/ui/f_set_tm.h"
#include "app/ui/interface_form.h"
#include "app/ui/main_form.h"
#include "app/ui/new_move_q.h"
#include "app/ui/select_colors.h"
#include "app/ui/use_com_board.h"
#include "app/ui/who_moves.h"
#include "gamedb/file_chooser.h"
#include "gamedb/progress.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/database_hooks.h"
#include "gamedb/ui/f_imp_chb.h"
#include "gamedb/ui/f_match_par.h"
#include "gamedb/ui/f_search.h"
#include "gamedb/ui/game_info_form.h"
#include "gamedb/ui/headers_edit.h"
#include "gamedb/ui/list_form.h"
#include "gamedb/ui/qt_prompts.h"
#include "gamedb/ui/sort_form.h"
#include "gamedb/user_prompt.h"

#include <memory>

TMainForm* MainForm = nullptr;
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

namespace {
// The database logic's message boxes.
TQtUserPrompt DatabasePrompt;
} // namespace

TMainForm* CreateForms() {
    MainForm = new TMainForm;
    QWidget* owner = MainForm;
    FEngineOpt = new TFEngineOpt(owner);
    NewMoveQ = new TNewMoveQ(owner);
    FSelectMove = new TFSelectMove(owner);
    WhoMoves = new TWhoMoves(owner);
    CommDlg = new TCommDlg(owner);
    UseComBoard = new TUseComBoard(owner);
    GameInfoForm = new TGameInfoForm(owner);
    DatabaseForm = new TDatabaseForm(owner);
    DatabaseForm->SetFileChooser(std::make_unique<TQtFileChooser>());
    FAnalysisGame = new TFAnalysisGame(owner);
    FImpCHB = new TFImpCHB(owner);
    DatabaseForm->Session().progress = FImpCHB; // the one progress window, for the window's long commands
    FSearch = new TFSearch(owner);
    AboutBox = new TAboutBox(owner);
    AboutBox->LoadPicture(QString::fromStdString(ResourcePath("About.jpg")));
    SortForm = new TSortForm(owner);
    ebtest = new Tebtest(owner);
    ListForm = new TListForm(owner);
    InterfaceForm = new TInterfaceForm(owner);
    HeadersEdit = new THeadersEdit(owner);
    SelectColors = new TSelectColors(
        MainForm->BoardPicture(), [](bool withFrame) { MainForm->DrawBoard(withFrame); }, owner);
    ExpDiagram = new TExpDiagram(MainForm->BoardPicture(), MainForm->CopyBoard, owner);
    FMatchPar = new TFMatchPar(owner);
    FSetTm = new TFSetTm(owner);
    EDBCompr = new TEDBCompr(owner);
    SetUserPrompt(&DatabasePrompt);
    MainForm->ConnectDatabaseWindow();
    return MainForm;
}

void ForgetForms() {
    MainForm = nullptr;
    FEngineOpt = nullptr;
    NewMoveQ = nullptr;
    FSelectMove = nullptr;
    WhoMoves = nullptr;
    CommDlg = nullptr;
    UseComBoard = nullptr;
    GameInfoForm = nullptr;
    DatabaseForm = nullptr;
    FSearch = nullptr;
    ResetDatabaseHooks();
    SetUserPrompt(nullptr);
    FAnalysisGame = nullptr;
    FImpCHB = nullptr;
    AboutBox = nullptr;
    SortForm = nullptr;
    ListForm = nullptr;
    HeadersEdit = nullptr;
    InterfaceForm = nullptr;
    SelectColors = nullptr;
    ExpDiagram = nullptr;
    FMatchPar = nullptr;
    FSetTm = nullptr;
    ebtest = nullptr;
    EDBCompr = nullptr;
}
