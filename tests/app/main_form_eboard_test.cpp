// The electronic board on the real main window (offscreen), with a pseudo-terminal as the board:
// the connect dialog, moves and take-backs made on the board, set-up, the pulled cable, shutdown.
#include "app/core/board_geometry.h"
#include "app/core/eboard_thread.h"
#include "app/core/shell_state.h"
#include "app/ui/captions.h"
#include "app/ui/forms.h"
#include "app/ui/main_form.h"
#include "app/ui/use_com_board.h"
#include "app/ui/who_moves.h"
#include "main_window_fixture.h"
#include "rules/variant_state.h"
#include "session_fixture.h"
#include "tests/support/eboard_packets.h"
#include "tests/support/pty_board.h"

#include <gtest/gtest.h>

#include <memory>

#include <QAction>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace eboard_test;

namespace {

class EBoardWindowTest : public TMainWindowFixture {
  protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        f = Start(false);
        f->show();
        QApplication::processEvents();
        Shell.SoundOn = false;
        CountEngine();
        form->UseComBoard()->listPorts = [] {
            return std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB0"};
        };
    }
    void TearDown() override {
        Stop();
        EXPECT_FALSE(BoardThread().EBoardConnected()) << "closing the window ends the reader";
        // A test's board is unplugged as it ends, often before the window closes; that loss must
        // not reach the next test's window, whose board gets the same pseudo-terminal name.
        BoardThread().TakeLineLost();
        TMainWindowFixture::TearDown();
    }
    // "Connect to electronic draughts board" with `path` typed into the port list.
    void Connect(const std::string& path) {
        WhenShown([&] {
            form->UseComBoard()->ComboBox1->setEditText(QString::fromStdString(path));
            form->UseComBoard()->OKBtn->click();
        });
        f->Item("N36")->trigger();
    }
    // The guard closes a dialog left open only when `act` never ran, so that it can never close the
    // dialog of a later call.
    void WhenShown(std::function<void()> act) {
        auto acted = std::make_shared<bool>(false);
        QTimer::singleShot(0, form->UseComBoard(), [this, act, acted] {
            if (!form->UseComBoard()->isVisible()) return;
            *acted = true;
            act();
        });
        QTimer::singleShot(test_support::WatchdogLimit, form->UseComBoard(), [this, acted] {
            if (!*acted && form->UseComBoard()->isVisible()) form->UseComBoard()->done(-1);
        });
    }
    // Ticks the timer until `done` holds.
    bool TickUntil(const std::function<bool()>& done) {
        return WaitUntil([&] {
            f->Timer1Timer();
            return done();
        });
    }

    TMainForm* f = nullptr;
};

} // namespace

TEST_F(EBoardWindowTest, TheDialogListsThePortsAnewAndTakesATypedPath) {
    EXPECT_TRUE(f->Item("N36")->isEnabled());
    EXPECT_TRUE(form->UseComBoard()->ComboBox1->isEditable());
    std::vector<std::string> ports = {"/dev/ttyS0"};
    form->UseComBoard()->listPorts = [&] { return ports; };
    ports.push_back("/dev/ttyUSB0"); // plugged in after start-up
    QStringList listed;
    WhenShown([&] {
        for (int i = 0; i < form->UseComBoard()->ComboBox1->count(); ++i)
            listed << form->UseComBoard()->ComboBox1->itemText(i);
        EXPECT_EQ(form->UseComBoard()->ComboBox1->currentIndex(), 0);
        form->UseComBoard()->CancelBtn->click();
    });
    f->N36Click();
    EXPECT_EQ(listed, (QStringList{"/dev/ttyS0", "/dev/ttyUSB0"}));
    EXPECT_FALSE(BoardThread().EBoardConnected());
    EXPECT_TRUE(prompts.messages.isEmpty());

    // A port that cannot be opened: "Error", and no reader.
    Connect("/nonexistent/ttyUSB7");
    EXPECT_EQ(prompts.messages, QStringList{"Error"});
    EXPECT_FALSE(BoardThread().EBoardConnected());

    TPtyBoard board;
    Connect(board.Path());
    EXPECT_TRUE(BoardThread().EBoardConnected());
    // A second connection is refused while one runs: the dialog does not even open.
    bool shown = false;
    WhenShown([&] {
        shown = true;
        form->UseComBoard()->CancelBtn->click();
    });
    f->N36Click();
    EXPECT_FALSE(shown);
}

TEST_F(EBoardWindowTest, MovesAndTakeBacksOnTheBoardEnterTheGame) {
    f->PlayModeClick();
    QApplication::processEvents();
    TPtyBoard board;
    Connect(board.Path());
    ASSERT_TRUE(BoardThread().EBoardConnected());
    board.Write(PacketOf(StartPosition64, false)); // the board as set up: the root
    const TBoard after = Moved(StartPosition64, 10, 14);
    board.Write(PacketOf(Lifted(StartPosition64, 10), false)); // the piece lifted: nothing yet
    ASSERT_TRUE(WaitUntilHandled(BoardThread(), board));
    f->Timer1Timer();
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(starts, 0);
    board.Write(PacketOf(after, false));
    ASSERT_TRUE(TickUntil([] { return CurrentNode() != 0; }));
    EXPECT_EQ(CurrentBoard(), after);
    EXPECT_EQ(SideToMove(), 1);
    EXPECT_EQ(starts, 1) << "the engine answers in play mode";

    // While the engine thinks, the board's changes are dropped.
    busy = true;
    board.Write(PacketOf(Moved(after, 22, 18), false));
    ASSERT_TRUE(WaitUntilHandled(BoardThread(), board));
    f->Timer1Timer();
    EXPECT_EQ(CurrentNode(), 1);
    busy = false;

    // The move taken back on the board: the earlier position, no new move.
    board.Write(PacketOf(StartPosition64, false));
    ASSERT_TRUE(TickUntil([] { return CurrentNode() == 0; }));
    EXPECT_EQ(CurrentBoard(), StartPosition64);
    EXPECT_EQ(CurrentGame().header.nodeCount, 1);
    EXPECT_EQ(starts, 1);
}

TEST_F(EBoardWindowTest, SetUpTakesTheBoardsPositionAndAPulledCableIsReported) {
    TPtyBoard board;
    Connect(board.Path());
    f->EnterSetupMode();
    TBoard setup = EmptyBoard;
    setup[1] = sqKing0;
    setup[32] = sqMan1;
    board.Write(PacketOf(setup, false));
    ASSERT_TRUE(TickUntil([&] { return CurrentBoard() == setup; }));
    EXPECT_EQ(CurrentGame().header.nodeCount, 0);
    QTimer::singleShot(0, form->WhoMoves(), [this] { form->WhoMoves()->Button1->click(); });
    f->SetupDoneClick();

    board.Write(PacketOf(StartPosition64, false).data(), 17);
    board.Unplug();
    auto* info = f->findChild<QLabel*>("InfoPanel");
    ASSERT_TRUE(info);
    const QString lost = "Error: " + QString::fromStdString(board.Path());
    ASSERT_TRUE(TickUntil([&] { return info->text() == lost; }));
    EXPECT_FALSE(BoardThread().EBoardConnected());
    EXPECT_EQ(CurrentBoard(), setup);

    // And a new connection works.
    TPtyBoard second;
    Connect(second.Path());
    EXPECT_TRUE(BoardThread().EBoardConnected());
    f->FormCloseQuery();
    EXPECT_FALSE(BoardThread().EBoardConnected());
}

TEST_F(EBoardWindowTest, ThePulledCableIsNamedUntilTheNextMove) {
    TPtyBoard board;
    Connect(board.Path());
    board.Write(PacketOf(StartPosition64, false));
    board.Unplug();
    auto* info = f->findChild<QLabel*>("InfoPanel");
    const QString lost = PhraseString(61) + ": " + QString::fromStdString(board.Path());
    // The window's own loop and timer serve the lost line.
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (info->text() == lost) loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(30000, &loop, [&] { loop.quit(); });
    loop.exec();
    ASSERT_EQ(info->text(), lost);
    // It stays while nothing moves, through the ticks and a redraw of the book list ...
    f->ShowBookMoves();
    for (int tick = 0; tick < 3; ++tick)
        f->Timer1Timer();
    EXPECT_EQ(info->text(), lost);
    // ... and goes with the next move, made with the mouse.
    for (int sq : {XYToSquare(2, 2, 1), XYToSquare(3, 3, 1)}) {
        const TSquareCells c = SquareCells(sq, CurrentVariant, false);
        const double k = f->Control("BoardImage")->width() / 880.0;
        QTest::mouseClick(f->Control("BoardImage"), Qt::LeftButton, {},
                          QPoint(int((c.darkX + c.size / 2) * k), int((c.y + c.size / 2) * k)));
    }
    ASSERT_EQ(CurrentNode(), 1);
    EXPECT_FALSE(info->text().contains(lost)) << info->text().toStdString();
}
