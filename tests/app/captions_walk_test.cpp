// Walks the caption table against every form that exists, so a form that is built later cannot
// miss a caption. A form is picked up here once its header exists at the usual place: the class
// T<Name> in <folder>/ui/<name in snake case>.h, constructible from a parent widget.
#include "app/core/language.h"
#include "app/ui/captions.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>

#include "app/ui/board_picture.h"
#include "app/ui/exp_diagram.h"
#include "app/ui/main_form.h"
#include "app/ui/select_colors.h"
#if __has_include("app/ui/about_box.h")
#include "app/ui/about_box.h"
#define VQ_HAVE_ABOUT_BOX 1
#endif
#if __has_include("gamedb/ui/game_info_form.h")
#include "gamedb/ui/game_info_form.h"
#define VQ_HAVE_GAME_INFO_FORM 1
#endif
#if __has_include("app/ui/who_moves.h")
#include "app/ui/who_moves.h"
#define VQ_HAVE_WHO_MOVES 1
#endif
#if __has_include("app/ui/use_com_board.h")
#include "app/ui/use_com_board.h"
#define VQ_HAVE_USE_COM_BOARD 1
#endif
#if __has_include("app/ui/comm_dlg.h")
#include "app/ui/comm_dlg.h"
#define VQ_HAVE_COMM_DLG 1
#endif
#if __has_include("app/ui/f_engine_opt.h")
#include "app/ui/f_engine_opt.h"
#define VQ_HAVE_F_ENGINE_OPT 1
#endif
#if __has_include("app/ui/f_analysis_game.h")
#include "app/ui/f_analysis_game.h"
#define VQ_HAVE_F_ANALYSIS_GAME 1
#endif
#if __has_include("app/ui/f_select_move.h")
#include "app/ui/f_select_move.h"
#define VQ_HAVE_F_SELECT_MOVE 1
#endif
#if __has_include("app/ui/new_move_q.h")
#include "app/ui/new_move_q.h"
#define VQ_HAVE_NEW_MOVE_Q 1
#endif
#if __has_include("gamedb/ui/database_form.h")
#include "gamedb/ui/database_form.h"
#define VQ_HAVE_DATABASE_FORM 1
#endif
#if __has_include("gamedb/ui/f_search.h")
#include "gamedb/ui/f_search.h"
#define VQ_HAVE_F_SEARCH 1
#endif
#if __has_include("app/ui/interface_form.h")
#include "app/ui/interface_form.h"
#define VQ_HAVE_INTERFACE_FORM 1
#endif
#if __has_include("app/ui/f_set_tm.h")
#include "app/ui/f_set_tm.h"
#define VQ_HAVE_F_SET_TM 1
#endif

namespace {

using Factory = std::function<std::unique_ptr<QWidget>()>;

template <class T> Factory Make() {
    return [] { return std::unique_ptr<QWidget>(new T(nullptr)); };
}

std::map<std::string, Factory> ExistingForms() {
    std::map<std::string, Factory> f;
    f["MainForm"] = Make<TMainForm>();
#ifdef VQ_HAVE_ABOUT_BOX
    f["AboutBox"] = Make<TAboutBox>();
#endif
#ifdef VQ_HAVE_GAME_INFO_FORM
    f["GameInfoForm"] = Make<TGameInfoForm>();
#endif
#ifdef VQ_HAVE_WHO_MOVES
    f["WhoMoves"] = Make<TWhoMoves>();
#endif
#ifdef VQ_HAVE_USE_COM_BOARD
    f["UseComBoard"] = Make<TUseComBoard>();
#endif
#ifdef VQ_HAVE_COMM_DLG
    f["CommDlg"] = Make<TCommDlg>();
#endif
#ifdef VQ_HAVE_F_ENGINE_OPT
    f["FEngineOpt"] = Make<TFEngineOpt>();
#endif
#ifdef VQ_HAVE_F_ANALYSIS_GAME
    f["FAnalysisGame"] = Make<TFAnalysisGame>();
#endif
#ifdef VQ_HAVE_F_SELECT_MOVE
    f["FSelectMove"] = Make<TFSelectMove>();
#endif
#ifdef VQ_HAVE_NEW_MOVE_Q
    f["NewMoveQ"] = Make<TNewMoveQ>();
#endif
#ifdef VQ_HAVE_DATABASE_FORM
    f["DatabaseForm"] = Make<TDatabaseForm>();
#endif
#ifdef VQ_HAVE_F_SEARCH
    f["FSearch"] = Make<TFSearch>();
#endif
#ifdef VQ_HAVE_INTERFACE_FORM
    f["InterfaceForm"] = Make<TInterfaceForm>();
#endif
#ifdef VQ_HAVE_F_SET_TM
    f["FSetTm"] = Make<TFSetTm>();
#endif
    // The two that draw with the main window's board picture.
    static TBoardPicture picture;
    static TBitmap copy;
    f["SelectColors"] = [] {
        return std::unique_ptr<QWidget>(new TSelectColors(
            picture, [](bool) {}, nullptr));
    };
    f["ExpDiagram"] = [] { return std::unique_ptr<QWidget>(new TExpDiagram(picture, copy, nullptr)); };
    return f;
}

// A form that holds no named control at all is still a bare window under construction; once it
// names any control, every row of its form must resolve. Qt names a few internals itself.
bool HasNamedControls(QWidget* form) {
    for (QObject* o : form->findChildren<QObject*>()) {
        const QString n = o->objectName();
        if (!n.isEmpty() && !n.startsWith("qt_") && !n.startsWith('_')) return true;
    }
    return false;
}

const char* Describe(TCaptionResult r) {
    switch (r) {
    case TCaptionResult::Applied:
        return "applied";
    case TCaptionResult::FormAbsent:
        return "form absent";
    case TCaptionResult::ControlMissing:
        return "control missing";
    case TCaptionResult::Unsupported:
        return "control of a kind without a caption";
    }
    return "?";
}

} // namespace

TEST(CaptionWalk, EveryRowOfEveryExistingFormResolves) {
    std::set<std::string> tableForms;
    for (const TCaptionRow& r : CaptionTable())
        tableForms.insert(r.form);

    std::vector<std::unique_ptr<QWidget>> forms;
    std::set<std::string> checked;
    for (const auto& [name, make] : ExistingForms()) {
        forms.push_back(make());
        QWidget* w = forms.back().get();
        EXPECT_EQ(w->objectName().toStdString(), name) << "a form's object name is its class name without T";
        EXPECT_TRUE(w->isWindow()) << name;
        EXPECT_EQ(FindForm(name), w) << name;
        if (HasNamedControls(w))
            checked.insert(name);
        else
            std::printf("[ captions ] %s has no named controls yet: its rows are not checked\n",
                        name.c_str());
    }
    for (const std::string& name : tableForms)
        if (!ExistingForms().count(name))
            std::printf("[ captions ] %s does not exist yet: skipped\n", name.c_str());

    for (int language = langEnglish; language <= kLanguageCount; ++language) {
        for (const TCaptionOutcome& o : ApplyCaptions(language)) {
            if (!checked.count(o.row->form)) continue;
            EXPECT_EQ(o.result, TCaptionResult::Applied)
                << o.row->form << "." << (o.row->control.empty() ? "(caption)" : o.row->control) << " index "
                << o.row->index << ": " << Describe(o.result);
        }
        if (testing::Test::HasFailure()) break; // one language shows every missing control
    }
    SetLanguage(langEnglish);
}
