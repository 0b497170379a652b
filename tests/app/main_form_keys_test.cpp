// The navigation keys and the wheel of the real main window, with the focus where a user leaves it:
// right after start-up, after a move made with the mouse, after STOP!, on a tool button, the tab
// bar or the game panel. The keys go to the widget that has the focus, inside the window's own
// event loop, as they come from the keyboard.
#include "app/core/board_geometry.h"
#include "app/core/shell_state.h"
#include "app/ui/game_panel.h"
#include "app/ui/main_form.h"
#include "main_window_fixture.h"
#include "rules/board.h"
#include "rules/movegen.h"
#include "session_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

namespace {

class MainFormKeys : public TMainWindowFixture {
  protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        f = Start();
        Shell.SoundOn = false;
        CountEngine();
        f->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    }
    // Runs `step` inside an event loop of its own, as the running program handles input.
    static void InLoop(const std::function<void()>& step) {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            step();
            loop.quit();
        });
        QTimer::singleShot(test_support::WatchdogLimit, &loop, [&] {
            ADD_FAILURE() << "the step did not end";
            loop.quit();
        });
        loop.exec();
    }
    // A left click with the mouse in the middle of a square of the board.
    void ClickSquare(int square) {
        QWidget* board = f->Control("BoardImage");
        const TSquareCells c = SquareCells(square, CurrentVariant, Shell.BoardReversed != 0);
        const double k = board->width() / 880.0;
        QTest::mouseClick(board, Qt::LeftButton, {},
                          QPoint(int((c.darkX + c.size / 2) * k), int((c.y + c.size / 2) * k)));
    }
    static int Sq(int x, int y) { return XYToSquare(x, y, 1); }
    // c3-d4 and b6-a5, entered with the mouse: the board then shows node 2.
    void PlayTwoMoves() {
        InLoop([&] {
            ClickSquare(Sq(2, 2));
            ClickSquare(Sq(3, 3));
            ClickSquare(Sq(1, 5));
            ClickSquare(Sq(0, 4));
        });
        ASSERT_EQ(CurrentNode(), 2);
    }
    // The key, pressed and released, at the widget that has the focus.
    static void PressKey(Qt::Key key) {
        InLoop([key] {
            QWidget* w = QApplication::focusWidget();
            ASSERT_NE(w, nullptr);
            QTest::keyClick(w, key);
        });
    }
    static void Wheel(QWidget* w, int delta) {
        InLoop([w, delta] {
            const QPointF at(w->width() / 2.0, w->height() / 2.0);
            QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
            // As the window system delivers it (QTest does the same for keys): a spontaneous event
            // climbs to the parents of a widget that does not take it.
            QSpontaneKeyEvent::setSpontaneous(&e);
            QApplication::instance()->notify(w, &e);
        });
    }

    TMainForm* f = nullptr;
};

} // namespace

TEST_F(MainFormKeys, LeftAndRightWalkTheGameWhereverTheFocusIsAndStayThere) {
    const struct {
        const char* where;
        std::function<void()> focus; // leaves the focus there as the user would
    } cases[] = {
        {"right after start-up and a move made with the mouse", [] {}},
        {"after STOP!",
         [&] { InLoop([&] { QTest::mouseClick(f->Control("StopButton"), Qt::LeftButton); }); }},
        {"a tool button", [&] { f->Control("ToolButton2")->setFocus(Qt::TabFocusReason); }},
        {"the tab bar",
         [&] { f->findChild<QTabWidget*>("PageControl1")->tabBar()->setFocus(Qt::TabFocusReason); }},
        {"the game panel", [&] { f->GamePanelWidget()->setFocus(Qt::MouseFocusReason); }},
    };
    PlayTwoMoves();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        f->GoToNode(2, true);
        c.focus();
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(focused->window(), f);
        PressKey(Qt::Key_Left);
        EXPECT_EQ(CurrentNode(), 1);
        PressKey(Qt::Key_Left);
        EXPECT_EQ(CurrentNode(), 0);
        EXPECT_EQ(CurrentBoard(), StartPosition64);
        PressKey(Qt::Key_Right);
        EXPECT_EQ(CurrentNode(), 1);
        // Consumed: the focus has not moved on to a neighbour, nor the tab bar to another tab.
        EXPECT_EQ(QApplication::focusWidget(), focused);
    }
}

TEST_F(MainFormKeys, TheWheelWalksTheGameOverEveryPartOfTheWindow) {
    // A game long enough for the game panel's scroll bar, which must not take the wheel for itself.
    for (int ply = 0; ply < 60; ++ply) {
        TMoveList legal;
        FindMoves(CurrentBoard(), SideToMove(), legal, CurrentVariant);
        if (legal.empty()) break;
        ASSERT_NE(f->AddMoveToTree(legal[ply % legal.size()], true), 0);
    }
    const int end = CurrentNode();
    ASSERT_GT(end, 20);
    QWidget* panel = f->GamePanelWidget();
    panel->resize(panel->width(), 120);
    f->GoToNode(end, true);
    QScrollBar* bar = f->GamePanelWidget()->ScrollBar();
    ASSERT_TRUE(bar->isVisible());
    for (QWidget* w : {static_cast<QWidget*>(bar), f->Control("ToolButton2"), f->Control("StopButton"),
                       static_cast<QWidget*>(f->findChild<QTabWidget*>("PageControl1")->tabBar()),
                       f->Control("BoardImage")}) {
        SCOPED_TRACE(w->metaObject()->className());
        f->GoToNode(end, true);
        const int back = CurrentGame().nodes[end].parent;
        Wheel(w, 120); // away from the user: back
        EXPECT_EQ(CurrentNode(), back);
        Wheel(w, -120);
        EXPECT_EQ(CurrentNode(), end);
    }
}
