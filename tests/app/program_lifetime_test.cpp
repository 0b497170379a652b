// The program ends only when the user ends it: each modal path of the database window and of the main
// window, walked in the program's own message loop with the real message boxes and file dialogs,
// keys sent to the widget that has the focus. After every box and dialog the program still runs,
// the main window comes back when the database window ends, and Exit writes the settings file (a
// first run leaves one).

#include "app/ui/about_box.h"
#include "app/ui/exp_diagram.h"
#include "app/ui/f_engine_opt.h"
#include "app/ui/forms.h"
#include "app/ui/main_form.h"
#include "app/ui/message_loop.h"
#include "app/ui/shell_prompts.h"
#include "app/ui/use_com_board.h"
#include "gamedb/game_database.h"
#include "gamedb/pdn_export.h"
#include "gamedb/progress.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/f_match_par.h"
#include "gamedb/ui/f_search.h"
#include "gamedb/ui/headers_edit.h"
#include "gamedb/ui/list_form.h"
#include "gamedb/ui/sort_form.h"
#include "main_window_fixture.h"
#include "tests/gamedb/chb_test_file.h"
#include "tests/support/random_games.h"
#include "tests/support/temp_dir.h"
#include "user_script.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

constexpr int Games = 30;

class ProgramLifetime : public TMainWindowFixture {
  protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        SetShellPrompts(nullptr); // the real boxes and dialogs of the shell too
        bases = Dir() + "/Bases/";
        fs::create_directories(bases);
        ASSERT_TRUE(test_support::WriteRandomDatabase(bases + "games.vqb", Games, 11));
        {
            TGameDatabase db;
            OpenDatabase(bases + "games.vqb", db);
            ASSERT_TRUE(db.open);
            ASSERT_TRUE(ExportPdnGames(db, {1, 2, 3}, bases + "imported.pdn", SilentProgress()).ok);
            CloseDatabase(db);
        }
        // A CHB file of one game read whole and one whose second move matches nothing.
        chb_test::TGameRecord good;
        good.codes = {0x049B, 0x0B64}; // c3-d4 f6-e5
        chb_test::TGameRecord bad = good;
        bad.codes[1] = chb_test::CodeOf(1, 32);
        chb_test::WriteRecords(bases + "old.chb", {chb_test::JunkRecord(), chb_test::MakeRecord(good),
                                                   chb_test::MakeRecord(bad)});
        // The index of a database whose move file is missing.
        std::ofstream(bases + "half.vqb", std::ios::binary) << std::string(52, '\0');
    }

    // A box or dialog belongs to the window shown beneath it, which gets the focus back.
    static void ExpectOwned(const QWidget* w) {
        const QWidget* owner = w->parentWidget() ? w->parentWidget()->window() : nullptr;
        EXPECT_TRUE(owner && owner->isVisible())
            << w->metaObject()->className() << " \"" << w->windowTitle().toStdString() << "\" "
            << (owner ? "belongs to a hidden window" : "has no owner");
    }

    // ---- what the user does ----
    void OpenDatabaseWindow() {
        script->Then(
            "the main window", [this] { return TUserScript::KeyboardWindow() == form; },
            [] { TUserScript::Press(Qt::Key_F2); });
    }
    void DatabaseCommand(const char* item) {
        script->Then(
            std::string("the database window for ") + item,
            [this] { return TUserScript::KeyboardWindow() == form->DatabaseForm(); },
            [this, item] { form->DatabaseForm()->Item(item)->trigger(); });
    }
    void MainCommand(const char* item) {
        script->Then(
            std::string("the main window for ") + item,
            [this] { return TUserScript::KeyboardWindow() == form; },
            [this, item] { form->Item(item)->trigger(); });
    }
    // Types a name into the file dialog and presses Enter.
    void ChooseFile(const QString& name) {
        script->Then(
            "a file dialog for " + name.toStdString(),
            [] {
                auto* d = TUserScript::Active<QFileDialog>();
                return d && qobject_cast<QLineEdit*>(QApplication::focusWidget());
            },
            [this, name] {
                auto* d = TUserScript::Active<QFileDialog>();
                ExpectOwned(d);
                folders << d->directory().absolutePath();
                TUserScript::Type(name);
                TUserScript::Press(Qt::Key_Return);
            });
    }
    // Reads the message box and presses Enter on its default button.
    void AnswerBox(const std::string& what) {
        script->Then(
            "a message box: " + what, [] { return TUserScript::Active<QMessageBox>() != nullptr; },
            [this] {
                auto* box = TUserScript::Active<QMessageBox>();
                ExpectOwned(box);
                boxes << box->text();
                TUserScript::Press(Qt::Key_Return);
            });
    }
    // A dialog of the program, answered with a key.
    void AnswerDialog(QDialog* dialog, Qt::Key key) {
        script->Then(
            "the dialog " + dialog->objectName().toStdString(),
            [dialog] { return TUserScript::KeyboardWindow() == dialog; }, [key] { TUserScript::Press(key); });
    }
    void CloseDatabaseWindow() {
        script->Then(
            "the database window, to close it",
            [this] { return TUserScript::KeyboardWindow() == form->DatabaseForm(); },
            [] { TUserScript::Press(Qt::Key_Escape); });
    }
    void OpenGames() {
        DatabaseCommand("Open");
        ChooseFile("games.vqb");
    }

    // Runs the script in the program's message loop, then asks that it ended only at Exit.
    void Run() {
        script->Then(
            "the main window back, to exit", [this] { return TUserScript::KeyboardWindow() == form; },
            [this] { form->Item("N3")->trigger(); });
        script->Start();
        const int rc = RunMessageLoop(*form);
        EXPECT_TRUE(script->Finished()) << "the program ended while waiting for " << script->Waiting()
                                        << "; boxes seen: " << boxes.join(" | ").toStdString();
        EXPECT_EQ(rc, 0);
        EXPECT_TRUE(fs::exists(Ini())) << "Exit writes the settings";
    }

    std::string bases;
    std::unique_ptr<TUserScript> script;
    QStringList boxes, folders;
};

// Each row starts the program on a first run (no settings file) and walks one path.
struct TPath {
    const char* name;
    std::function<void()> walk;
    std::function<void()> check;
};

TEST_F(ProgramLifetime, EveryModalPathLeavesTheProgramRunning) {
    const TPath paths[] = {
        {"Import PDN and its closing message",
         [this] {
             OpenDatabaseWindow();
             DatabaseCommand("ImportPDN1");
             ChooseFile("imported.pdn");
             AnswerBox("the games imported");
             CloseDatabaseWindow();
         },
         [this] {
             EXPECT_TRUE(fs::exists(bases + "imported.vqb")) << "a typed name is looked for in Bases";
             ASSERT_EQ(boxes.size(), 1);
             EXPECT_TRUE(boxes[0].contains("3 games imported")) << boxes[0].toStdString();
         }},
        {"Import CHB, its question and its closing message",
         [this] {
             OpenDatabaseWindow();
             DatabaseCommand("OpenCHB");
             ChooseFile("old.chb");
             AnswerBox("the question");
             AnswerBox("a game not read whole");
             CloseDatabaseWindow();
         },
         [this] {
             EXPECT_TRUE(fs::exists(bases + "old.vqb")) << "a typed name is looked for in Bases";
             ASSERT_EQ(boxes.size(), 2);
             EXPECT_TRUE(boxes[0].contains("Russian")) << boxes[0].toStdString();
             EXPECT_TRUE(boxes[1].contains("1 of 2 games")) << boxes[1].toStdString();
         }},
        {"Open a new name: Create new?",
         [this] {
             OpenDatabaseWindow();
             DatabaseCommand("Open");
             ChooseFile("new.vqb");
             AnswerBox("Create new?");
             CloseDatabaseWindow();
         },
         [this] {
             EXPECT_TRUE(fs::exists(bases + "new.vqb"));
             EXPECT_NE(test_support::ReadText(Ini()).find("new.vqb"), std::string::npos)
                 << "the new database is the one reopened next time";
         }},
        {"Open a database that does not open",
         [this] {
             OpenDatabaseWindow();
             DatabaseCommand("Open");
             ChooseFile("half.vqb");
             AnswerBox("Error Opening database");
             CloseDatabaseWindow();
         },
         [this] {
             ASSERT_EQ(boxes.size(), 1);
             EXPECT_TRUE(boxes[0].contains("Error Opening database")) << boxes[0].toStdString();
         }},
        {"Copy into a new database",
         [this] {
             OpenDatabaseWindow();
             OpenGames();
             DatabaseCommand("Copy1");
             ChooseFile("copy.vqb");
             AnswerBox("Create new?");
             CloseDatabaseWindow();
         },
         [this] {
             TGameDatabase copy;
             OpenDatabase(bases + "copy.vqb", copy);
             ASSERT_TRUE(copy.open);
             EXPECT_EQ(copy.gameCount, 1);
             CloseDatabase(copy);
         }},
        {"Search, sort, match, tournaments, headers, check, build tree",
         [this] {
             OpenDatabaseWindow();
             OpenGames();
             DatabaseCommand("Search1");
             AnswerDialog(form->DatabaseForm()->FSearch(), Qt::Key_Return);
             DatabaseCommand("Sortgameslist1");
             AnswerDialog(form->DatabaseForm()->SortForm(), Qt::Key_Return);
             DatabaseCommand("Delect1");
             AnswerDialog(form->DatabaseForm()->FMatchPar(), Qt::Key_Return);
             DatabaseCommand("Maketournamentslist1");
             AnswerDialog(form->DatabaseForm()->ListForm(), Qt::Key_Escape);
             DatabaseCommand("Set1");
             AnswerDialog(form->DatabaseForm()->HeadersEdit(), Qt::Key_Escape);
             DatabaseCommand("Checkdatabase1");
             AnswerBox("OK!");
             DatabaseCommand("ABuildtree1");
             ChooseFile("tree.cbk");
             AnswerBox("Total");
             CloseDatabaseWindow();
         },
         [this] {
             ASSERT_EQ(boxes.size(), 2);
             EXPECT_EQ(boxes[0], "OK!");
             EXPECT_TRUE(boxes[1].startsWith("Total ")) << boxes[1].toStdString();
         }},
        {"Quick search from the main window",
         [this] {
             OpenDatabaseWindow();
             OpenGames();
             CloseDatabaseWindow();
             MainCommand("Quicksearch1");
             CloseDatabaseWindow();
         },
         {}},
        {"Engine settings, diagram export, the electronic board, About",
         [this] {
             MainCommand("Engineoptions1");
             AnswerDialog(form->FEngineOpt(), Qt::Key_Escape);
             MainCommand("ExportGif");
             AnswerDialog(form->ExpDiagram(), Qt::Key_Return);
             ChooseFile("board.gif");
             MainCommand("N36");
             script->Then(
                 "the port dialog", [this] { return TUserScript::KeyboardWindow() == form->UseComBoard(); },
                 [] {
                     TUserScript::Press(Qt::Key_A, Qt::ControlModifier);
                     TUserScript::Type("/nonexistent/port");
                     TUserScript::Press(Qt::Key_Return);
                 });
             AnswerBox("the port did not open");
             MainCommand("N14");
             AnswerDialog(form->AboutBox(), Qt::Key_Return);
         },
         [this] {
             ASSERT_EQ(folders.size(), 1);
             EXPECT_TRUE(fs::exists(folders[0].toStdString() + "/board.gif"));
             EXPECT_EQ(boxes.size(), 1);
         }},
    };
    for (const TPath& path : paths) {
        SCOPED_TRACE(path.name);
        fs::remove(Ini());
        boxes.clear();
        folders.clear();
        Start();
        script = std::make_unique<TUserScript>(*form);
        path.walk();
        Run();
        if (path.check) path.check();
        script.reset();
        Stop();
    }
}

} // namespace
