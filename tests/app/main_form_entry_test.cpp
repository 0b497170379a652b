// Playing on the board of the real main window (offscreen): clicks, navigation, set-up, the game
// commands and the engine seams they call.
#include "app/core/board_geometry.h"
#include "app/core/language.h"
#include "app/core/shell_state.h"
#include "app/ui/captions.h"
#include "app/ui/comm_dlg.h"
#include "app/ui/forms.h"
#include "app/ui/game_panel.h"
#include "app/ui/main_form.h"
#include "app/ui/new_move_q.h"
#include "app/ui/shell_prompts.h"
#include "app/ui/who_moves.h"
#include "gamedb/ui/game_info_form.h"
#include "main_window_fixture.h"
#include "platform/codepage.h"
#include "platform/shell_open.h"
#include "rules/movegen.h"
#include "rules/notation.h"
#include "rules/variant_state.h"
#include "session_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

class MainFormEntry : public TMainWindowFixture {
  protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        f = Start();
        Shell.SoundOn = false;
        CountEngine();
        f->Seams().engineLongName = [] { return std::string("Vantor"); };
    }
    // A left (or other) click in the middle of a square of the board image.
    void Click(int square, int button = 0) {
        const TSquareCells c = SquareCells(square, CurrentVariant, Shell.BoardReversed != 0);
        const double k = f->Control("BoardImage")->width() / 880.0;
        f->BoardImageMouseDown(button, static_cast<int>((c.darkX + c.size / 2) * k),
                               static_cast<int>((c.y + c.size / 2) * k));
    }
    static int Sq(int x, int y) { return XYToSquare(x, y, 1); }
    void Key(int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(f, &e);
    }
    void PanelPress(int x, int y, Qt::MouseButton b = Qt::LeftButton) {
        QWidget* panel = f->GamePanelWidget();
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(x, y), panel->mapToGlobal(QPointF(x, y)), b, b,
                      Qt::NoModifier);
        QApplication::sendEvent(panel, &e);
    }
    // The panel point of the move item of `node`.
    QPoint PanelPointOf(int node) {
        const TGamePanel* p = f->GamePanelWidget();
        for (const TDisplayItem& it : p->Layout().Items())
            if (it.node == node)
                return {10 + (it.xStart + it.xEnd) / 2,
                        60 + (it.line - p->FirstLineShown()) * p->LineHeight() + 2};
        ADD_FAILURE() << "no item of node " << node;
        return {};
    }

    TMainForm* f = nullptr;
};
} // namespace

TEST_F(MainFormEntry, MovesEnteredWithTheMouseGrowTheGameAndTheArrowKeysWalkIt) {
    ASSERT_EQ(CurrentVariant, gtRussian);
    Click(Sq(2, 2)); // c3: two moves, nothing entered yet
    EXPECT_EQ(CurrentNode(), 0);
    Click(Sq(3, 3)); // d4
    ASSERT_EQ(CurrentNode(), 1);
    EXPECT_EQ(SideToMove(), 1);
    EXPECT_EQ(CurrentBoard()[Sq(3, 3)], sqMan0);
    EXPECT_EQ(starts, 1) << "analysis mode without a stop request restarts the engine";
    Click(Sq(1, 5)); // b6
    Click(Sq(0, 4)); // a5
    ASSERT_EQ(CurrentNode(), 2);
    EXPECT_EQ(CurrentGame().header.nodeCount, 2);
    // The game panel shows both moves, the current one marked.
    int moves = 0;
    for (const TDisplayItem& it : f->GamePanelWidget()->Layout().Items())
        moves += it.node != 0;
    EXPECT_EQ(moves, 2);

    Key(Qt::Key_Left);
    EXPECT_EQ(CurrentNode(), 1);
    EXPECT_EQ(SideToMove(), 1);
    EXPECT_EQ(CurrentBoard()[Sq(1, 5)], sqMan1);
    Key(Qt::Key_Left);
    EXPECT_EQ(CurrentBoard(), StartPosition64);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    EXPECT_EQ(CurrentNode(), 2);
    // The wheel: away from the user is back.
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(f, &wheel);
    EXPECT_EQ(CurrentNode(), 1);
    f->SpeedButtonClick(4);
    EXPECT_EQ(CurrentNode(), 2);
    f->SpeedButtonClick(1);
    EXPECT_EQ(CurrentNode(), 0);
    // A panel click on a move shows its position.
    const QPoint p = PanelPointOf(2);
    PanelPress(p.x(), p.y());
    EXPECT_EQ(CurrentNode(), 2);
    // A node that is not in use is not shown.
    f->GoToNode(700, true);
    EXPECT_EQ(CurrentNode(), 2);
}

TEST_F(MainFormEntry, EnteringAMoveThatAlreadyFollowsGoesThereAndAnotherAsksTheQuestion) {
    Click(Sq(2, 2));
    Click(Sq(3, 3));
    f->GoToNode(0, true);
    Click(Sq(2, 2));
    Click(Sq(3, 3)); // the same move: no question
    EXPECT_EQ(CurrentNode(), 1);
    EXPECT_EQ(CurrentGame().header.nodeCount, 1);
    f->GoToNode(0, true);
    QStringList listed;
    WhenShown(form->NewMoveQ(), [&] {
        for (int i = 0; i < form->NewMoveQ()->ListBox1->count(); ++i)
            listed << form->NewMoveQ()->ListBox1->item(i)->text();
        form->NewMoveQ()->ButtonNew->click();
    });
    Click(Sq(2, 2));
    Click(Sq(1, 3)); // c3-b4 as a new variation
    EXPECT_EQ(listed, QStringList{"cd4"});
    EXPECT_EQ(CurrentNode(), 2);
    EXPECT_EQ(CurrentGame().nodes[2].mainLine, 0);
    f->GoToNode(0, true);
    WhenShown(form->NewMoveQ(), [this] { form->NewMoveQ()->ButtonCanc->click(); });
    Click(Sq(6, 2)); // g3
    Click(Sq(7, 3)); // h4, cancelled
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(CurrentBoard(), StartPosition64);
    EXPECT_EQ(ListChildNodes(0, CurrentGame()).size(), 2u);
}

TEST_F(MainFormEntry, AFullTreeSaysSoAndLeavesTheBoard) {
    const TMove m = CurrentGame().nodes[1]; // any record: the slots only have to be in use
    for (int n = 1; n <= MaxNodes; ++n) {
        EditGame().nodes[n] = m;
        EditGame().nodes[n].free = 0;
        EditGame().nodes[n].parent = 1000; // not the root, so the root has no children
    }
    EditGame().header.nodeCount = MaxNodes;
    Click(Sq(6, 2));
    Click(Sq(7, 3));
    EXPECT_EQ(prompts.messages, QStringList{PhraseString(53)});
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(CurrentBoard(), StartPosition64);
}

TEST_F(MainFormEntry, TheEngineSeams) {
    // Analysis mode: a board move first stops the running analysis, before the game changes.
    busy = true;
    int nodesAtStop = -1;
    f->Seams().stopEngineAndWait = [&] {
        nodesAtStop = CurrentGame().header.nodeCount;
        busy = false;
    };
    Click(Sq(6, 2));
    Click(Sq(7, 3));
    EXPECT_EQ(nodesAtStop, 0);
    EXPECT_EQ(CurrentNode(), 1);
    // With a stop requested, analysis mode does not restart the engine.
    stopRequested = true;
    const int before = starts;
    Key(Qt::Key_Left);
    EXPECT_EQ(starts, before);

    // Play mode: while the engine thinks, clicks and navigation are ignored; after a move the
    // engine starts.
    f->PlayModeClick();
    busy = true;
    Click(Sq(2, 2));
    Click(Sq(3, 3));
    EXPECT_EQ(CurrentNode(), 0);
    for (std::uint8_t q : f->ClickRing().Squares())
        EXPECT_EQ(q, 0) << "ignored clicks are not stored";
    Key(Qt::Key_Right);
    EXPECT_EQ(CurrentNode(), 0);
    busy = false;
    WhenShown(form->NewMoveQ(), [this] { form->NewMoveQ()->ButtonNew->click(); });
    Click(Sq(2, 2));
    Click(Sq(3, 3));
    EXPECT_EQ(CurrentNode(), 2);
    EXPECT_EQ(starts, before + 1);
}

TEST_F(MainFormEntry, SetGameTypeKeepsTheGameOnTheSameBoardAndStartsANewOneOnAnother) {
    Click(Sq(2, 2));
    Click(Sq(3, 3));
    const TBoard played = CurrentBoard();
    stops = 0;
    f->SetGameType(gtEnglish, false);
    EXPECT_GE(stops, 1) << "the engine is stopped before the variant changes";
    EXPECT_EQ(CurrentVariant, gtEnglish);
    EXPECT_EQ(CurrentGame().header.nodeCount, 1);
    EXPECT_EQ(CurrentBoard(), played);
    EXPECT_TRUE(f->Item("N10")->isChecked());
    EXPECT_EQ(static_cast<QLabel*>(f->Control("GameType"))->text(), PhraseString(6));
    f->SetGameType(gtInternational, false);
    EXPECT_EQ(CurrentBoard(), StartPosition100);
    EXPECT_EQ(CurrentGame().header.nodeCount, 0);
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(CurrentGame().header.variant, gtInternational);
    // A new game's header.
    EXPECT_EQ(CurrentGame().white, "Player");
    EXPECT_EQ(CurrentGame().black, "Vantor");
    EXPECT_EQ(CurrentGame().tournament, "Test Game 5 min");
    f->Item("N30min1")->setChecked(true);
    f->NewGame();
    EXPECT_EQ(CurrentGame().tournament, "Test Game 30 min");
}

TEST_F(MainFormEntry, AGameWithoutMovesNamesTheEngineThatPlaysTheNewVariant) {
    // The engines chosen per variant, as "Engine settings" leaves them.
    f->Seams().engineLongName = [] {
        switch (CurrentVariant) {
        case gtItalian:
            return std::string("Marrak Italian 1.15");
        case gtEnglish:
            return std::string("Marrak 1.15v");
        default:
            return std::string("Vantor Quillan 2.0");
        }
    };
    const auto shownNames = [&] { return f->GamePanelWidget()->Names().toStdString(); };
    f->SetGameType(gtItalian, false);
    f->NewGame();
    EXPECT_EQ(CurrentGame().black, "Marrak Italian 1.15");
    f->SetGameType(gtRussian, false); // the same board: the game stays, its engine does not
    EXPECT_EQ(CurrentGame().black, "Vantor Quillan 2.0");
    EXPECT_EQ(CurrentGame().white, "Player");
    EXPECT_NE(shownNames().find("Vantor Quillan 2.0"), std::string::npos) << shownNames();
    // A new game started by the change to the other board size names the new variant's engine.
    f->SetGameType(gtEnglish, false);
    EXPECT_EQ(CurrentGame().black, "Marrak 1.15v");
    f->SetGameType(gtInternational, false);
    EXPECT_EQ(CurrentGame().header.variant, gtInternational);
    EXPECT_EQ(CurrentGame().black, "Vantor Quillan 2.0");
    EXPECT_NE(shownNames().find("Vantor Quillan 2.0"), std::string::npos) << shownNames();
    // Names the user gave, and the names of a game with moves, stay.
    f->SetGameType(gtEnglish, false);
    EditGame().black = "Someone";
    f->SetGameType(gtItalian, false);
    EXPECT_EQ(CurrentGame().black, "Someone");
    EditGame().black = "Marrak Italian 1.15";
    TMoveList legal;
    FindMoves(CurrentBoard(), SideToMove(), legal, CurrentVariant);
    ASSERT_NE(f->AddMoveToTree(legal.at(0), false), 0);
    ASSERT_EQ(CurrentGame().header.nodeCount, 1);
    f->SetGameType(gtRussian, false);
    EXPECT_EQ(CurrentGame().black, "Marrak Italian 1.15");
}

TEST_F(MainFormEntry, SettingUpAPositionByHandAndFromAPastedFen) {
    Click(Sq(2, 2));
    Click(Sq(3, 3));
    f->SetGameType(gtEnglish, false);
    f->EnterSetupMode();
    EXPECT_EQ(Shell.SetupMode, 1);
    EXPECT_EQ(CurrentGame().header.nodeCount, 0);
    EXPECT_FALSE(f->Item("N1")->isEnabled());
    EXPECT_FALSE(f->Item("N29")->isEnabled());
    EXPECT_TRUE(f->Control("SetupDone")->isVisible());
    EXPECT_FALSE(f->Control("SpeedButton1")->isVisible());
    EXPECT_EQ(form->WhoMoves()->RadioButton1->text(), PhraseString(57)) << "side 0 is Black in English";

    // The left button cycles empty, man, king, the other side's king and man, empty.
    const int sq = Sq(4, 4);
    const int cycle[] = {1, 2, -2, -1, 0};
    for (int v : cycle) {
        Click(sq);
        EXPECT_EQ(CurrentBoard()[sq], v);
    }
    Click(sq, 1);
    EXPECT_EQ(CurrentBoard()[sq], -1);
    Click(sq, 2);
    EXPECT_EQ(CurrentBoard()[sq], 0);
    Click(sq, 1);
    Click(sq, 1);
    Click(sq, 1);
    EXPECT_EQ(CurrentBoard()[sq], 2);

    // Navigation is ignored while setting up.
    const TBoard editing = CurrentBoard();
    Key(Qt::Key_Left);
    f->SpeedButtonClick(1);
    PanelPress(40, 70);
    EXPECT_EQ(CurrentBoard(), editing);
    EXPECT_EQ(Shell.SetupMode, 1);

    f->ClearBrdBtnClick();
    EXPECT_EQ(CurrentBoard(), EmptyBoard);
    f->NewBrdBtnClick();
    EXPECT_EQ(CurrentBoard(), StartPosition64);

    // Pasted text: a FEN tag sets the board; anything else, or a square off the board, is ignored.
    QGuiApplication::clipboard()->setText("[FEN \"W:W21,22:BK1\"]");
    f->FENPasteBtnClick();
    EXPECT_EQ(CurrentBoard()[4], sqKing0);
    EXPECT_EQ(CurrentBoard()[24], sqMan1); // White's 21
    EXPECT_EQ(CurrentBoard()[23], sqMan1); // White's 22
    EXPECT_EQ(SideToMove(), 1) << "\"W:\" means White, the second side, moves";
    EXPECT_TRUE(form->WhoMoves()->RadioButton2->isChecked());
    const TBoard pasted = CurrentBoard();
    for (const char* bad : {"[FEN \"B:W21,40:B1\"]", "W:W21:B1", "[Event \"x\"]", ""}) {
        QGuiApplication::clipboard()->setText(bad);
        f->FENPasteBtnClick();
        EXPECT_EQ(CurrentBoard(), pasted) << bad;
    }

    WhenShown(form->WhoMoves(), [this] {
        form->WhoMoves()->SpinEdit1->setValue(3);
        form->WhoMoves()->Button1->click();
    });
    f->SetupDoneClick();
    EXPECT_EQ(Shell.SetupMode, 0);
    EXPECT_TRUE(f->Item("N1")->isEnabled());
    EXPECT_TRUE(f->Control("SpeedButton1")->isVisible());
    EXPECT_EQ(CurrentGame().header.startSide, 1);
    EXPECT_EQ(CurrentGame().header.moveNumberOffset, 4);
    EXPECT_EQ(SideToMove(), 1);
    TPositionKey key;
    PositionToKey(pasted, key);
    EXPECT_EQ(CurrentGame().startKey, key);
    // The set-up position is the game's root.
    f->GoToNode(0, true);
    EXPECT_EQ(CurrentBoard(), pasted);
    EXPECT_EQ(SideToMove(), 1);
}

TEST_F(MainFormEntry, PopupCommandsMarksCommentsAndLines) {
    Click(Sq(2, 2));
    Click(Sq(3, 3));
    Click(Sq(1, 5));
    Click(Sq(0, 4));
    f->GoToNode(1, true);
    f->Item("N39")->trigger(); // "!"
    f->Item("N50")->trigger(); // "-+"
    EXPECT_EQ(MoveMarkOf(CurrentGame().nodes[1].annotation), 2);
    EXPECT_EQ(PositionMarkOf(CurrentGame().nodes[1].annotation), 5);

    WhenShown(form->CommDlg(), [this] {
        form->CommDlg()->Memo1->setPlainText(QString::fromUtf8("хороший ход"));
        form->CommDlg()->OKBtn->click();
    });
    f->Item("N1231231")->trigger();
    EXPECT_EQ(Cp1251ToUtf8(CurrentGame().commentAfter[1]), "хороший ход");
    QString shown;
    WhenShown(form->CommDlg(), [&] {
        shown = form->CommDlg()->Memo1->toPlainText();
        form->CommDlg()->Memo1->setPlainText("changed");
        form->CommDlg()->CancelBtn->click();
    });
    f->Item("N1231231")->trigger();
    EXPECT_EQ(shown, QString::fromUtf8("хороший ход"));
    EXPECT_EQ(Cp1251ToUtf8(CurrentGame().commentAfter[1]), "хороший ход");
    // Letters code page 1251 lacks keep their base letter instead of becoming "?".
    WhenShown(form->CommDlg(), [this] {
        form->CommDlg()->Memo1->setPlainText(QString::fromUtf8("très jolie, «mañana» – straße"));
        form->CommDlg()->OKBtn->click();
    });
    f->Item("N1231")->trigger();
    EXPECT_EQ(Cp1251ToUtf8(CurrentGame().commentBefore[1]), "tres jolie, «manana» – strasse");
    f->Item("Clearallcomments1")->trigger();
    EXPECT_TRUE(CurrentGame().commentAfter[1].empty());

    f->Item("Deleteaftermove1")->trigger(); // deletes 1 and 2
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(CurrentGame().header.nodeCount, 0);
    EXPECT_EQ(CurrentBoard(), StartPosition64);
    // At the root the command is not offered and does nothing.
    auto* popup = f->findChild<QMenu*>("PopupMenu1");
    emit popup->aboutToShow();
    EXPECT_FALSE(f->Item("Deleteaftermove1")->isEnabled());
    f->Deleteaftermove1Click();
    EXPECT_EQ(CurrentGame().header.nodeCount, 0);
}

TEST_F(MainFormEntry, DeletingASubtreeThatHoldsTheShownNodeShowsItsParent) {
    Click(Sq(2, 2));
    Click(Sq(3, 3)); // node 1
    Click(Sq(1, 5));
    Click(Sq(0, 4)); // node 2
    f->GoToNode(1, true);
    const TBoard afterFirst = CurrentBoard();
    f->DeleteSubtree(2); // below the shown node: it stays
    EXPECT_EQ(CurrentNode(), 1);
    EXPECT_EQ(CurrentBoard(), afterFirst);
    EXPECT_FALSE(CurrentGame().InUse(2));
    f->DeleteSubtree(1); // the shown node itself
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(CurrentBoard(), StartPosition64);
    EXPECT_EQ(SideToMove(), 0);
}

TEST_F(MainFormEntry, HelpOpensTheRussianPageOnlyInRussian) {
    std::vector<std::string> opened;
    SetShellRunner([&](const std::vector<std::string>& argv) {
        opened.push_back(argv.at(1));
        return TOpenJob(TOpenState::Opened);
    });
    for (int language = 1; language <= 5; ++language) {
        SetLanguage(language);
        f->Item("N16")->trigger();
    }
    SetLanguage(1);
    ASSERT_EQ(opened.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(opened[i], Shell.AppDir + (i == 1 ? "Docs/Russian.htm" : "Docs/English.htm"));
    EXPECT_EQ(f->findChild<QTextBrowser*>("HelpBrowser"), nullptr) << "the desktop showed the page";
    // The pages are installed in the run directory.
    for (const char* page : {"/Docs/English.htm", "/Docs/Russian.htm"})
        EXPECT_TRUE(std::filesystem::exists(RunDir() + page)) << page;
}

TEST_F(MainFormEntry, HelpShowsThePageItselfWhenxdgOpenIsMissingOrFails) {
    std::filesystem::create_directories(Shell.AppDir + "Docs");
    std::filesystem::copy_file(RunDir() + "/Docs/English.htm", Shell.AppDir + "Docs/English.htm",
                               std::filesystem::copy_options::overwrite_existing);
    // A PATH whose xdg-open exits as it does on a machine without a browser, or runs on as it does
    // while the browser it started is open.
    const std::string bin = Dir() + "/bin";
    std::filesystem::create_directories(bin);
    const auto stub = [&](const char* body) {
        std::ofstream(bin + "/xdg-open") << "#!/bin/sh\n" << body << "\n";
        std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
    };
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (bin + ":" + oldPath).c_str(), 1);
    const auto helpShown = [&] {
        const auto* browser = f->findChild<QTextBrowser*>("HelpBrowser");
        return browser && browser->window()->isVisible();
    };
    // Runs the window's event loop until the opener has ended.
    const auto untilOpenerEnds = [&] {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            const auto* t = f->findChild<QTimer*>("HelpOpenerPoll");
            if (!t || !t->isActive()) loop.quit();
        });
        poll.start(10);
        QTimer::singleShot(30000, &loop, [&] { loop.quit(); });
        loop.exec();
    };
    const struct {
        const char* xdgOpen;
        bool shown;
    } rows[] = {{"exit 3", true}, {"exit 0", false}, {"sleep 0.1; exit 4", true}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.xdgOpen);
        stub(r.xdgOpen);
        if (auto* w = f->findChild<QDialog*>("HelpWindow")) w->hide();
        f->Item("N16")->trigger();
        untilOpenerEnds();
        EXPECT_EQ(helpShown(), r.shown);
    }
    setenv("PATH", oldPath.c_str(), 1);
    auto* browser = f->findChild<QTextBrowser*>("HelpBrowser");
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("Vantor Quillan"));
    EXPECT_TRUE(prompts.messages.empty());

    // No opener at all: the page at once. A missing page is named rather than nothing happening.
    SetShellRunner([](const std::vector<std::string>&) { return TOpenJob(); });
    browser->window()->close();
    f->Item("N16")->trigger();
    EXPECT_TRUE(helpShown());
    browser->window()->close();
    std::filesystem::remove(Shell.AppDir + "Docs/English.htm");
    f->Item("N16")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("Docs/English.htm")) << prompts.messages[0].toStdString();
}

TEST_F(MainFormEntry, TheGameCommandsAreEnabled) {
    // The database commands are wired with the database window (main_form_database_test.cpp), the
    // engine settings with the bridge.
    EXPECT_TRUE(f->Item("N2")->isEnabled());
    EXPECT_TRUE(f->Item("N24")->isEnabled());
    EXPECT_TRUE(f->Item("Gsmeinformation1")->isEnabled());
    // The header dialog cancelled leaves the game's header.
    WhenShown(f->GameInfoForm(), [this] { f->GameInfoForm()->Cancel->click(); });
    EXPECT_FALSE(f->EditGameHeader());
}
