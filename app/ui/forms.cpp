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

#include <memory>

TMainForm* CreateForms() {
    auto* main = new TMainForm;
    QWidget* owner = main;
    TMainForm::TForms& f = main->m_forms;
    f.FEngineOpt = new TFEngineOpt(owner);
    f.NewMoveQ = new TNewMoveQ(owner);
    f.FSelectMove = new TFSelectMove(owner);
    f.WhoMoves = new TWhoMoves(owner);
    f.CommDlg = new TCommDlg(owner);
    f.UseComBoard = new TUseComBoard(owner);
    f.GameInfoForm = new TGameInfoForm(owner);
    f.DatabaseForm = new TDatabaseForm(owner);
    f.DatabaseForm->SetFileChooser(std::make_unique<TQtFileChooser>());
    f.FAnalysisGame = new TFAnalysisGame(owner);
    f.FImpCHB = new TFImpCHB(owner);
    f.DatabaseForm->Session().progress = f.FImpCHB; // the one progress window, for the window's long commands
    TDatabaseForm::TDialogs dialogs;
    dialogs.GameInfoForm = f.GameInfoForm;
    dialogs.FSearch = new TFSearch(owner);
    f.AboutBox = new TAboutBox(owner);
    f.AboutBox->LoadPicture(QString::fromStdString(ResourcePath("About.jpg")));
    dialogs.SortForm = new TSortForm(owner);
    f.ebtest = new Tebtest(owner);
    dialogs.ListForm = new TListForm(owner);
    f.InterfaceForm = new TInterfaceForm(owner);
    dialogs.HeadersEdit = new THeadersEdit(owner);
    f.SelectColors = new TSelectColors(
        main->BoardPicture(), [main](bool withFrame) { main->DrawBoard(withFrame); }, owner);
    f.ExpDiagram = new TExpDiagram(main->BoardPicture(), main->CopyBoard, owner);
    dialogs.FMatchPar = new TFMatchPar(owner);
    f.FSetTm = new TFSetTm(owner);
    f.EDBCompr = new TEDBCompr(owner);
    f.DatabaseForm->SetDialogs(dialogs);
    // The message boxes of the database window and of every database the program opens with it.
    f.DatabaseForm->SetPrompt(std::make_unique<TQtUserPrompt>());
    main->ConnectDatabaseWindow();
    return main;
}

void ForgetForms() {
    ResetDatabaseHooks();
}
