// The book list beside the board of the real main window (offscreen), on the default books of the
// run directory: it follows every move entered or taken back, and the variant.

#include "app/core/shell_state.h"
#include "gamedb/opening_book.h"
#include "main_window_fixture.h"
#include "rules/movegen.h"
#include "rules/notation.h"
#include "rules/variant_state.h"
#include "session_fixture.h"

#include <QAction>
#include <QLabel>
#include <filesystem>

namespace {

// The window runs in a folder of its own with the run directory's Russian and English books.
class BookMainForm : public TMainWindowFixture {
  protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        const std::filesystem::path books = std::filesystem::path(Dir()) / "Books";
        std::filesystem::create_directories(books);
        for (const char* name : {"Russian.cbk", "Russian.cbn", "English.cbk", "English.cbn"})
            std::filesystem::copy_file(std::filesystem::path(RunDir()) / "Books" / name, books / name);
        f = Start();
        Shell.SoundOn = false;
        f->Seams().startEngine = [] {};
    }
    QString Tree() const { return f->findChild<QLabel*>("TreeLabel")->text(); }
    QString Info() const { return f->findChild<QLabel*>("InfoPanel")->text(); }
    // Plays the legal move with this full text through the board, as the mouse would.
    void Play(const std::string& text) {
        TMoveList legal;
        FindMoves(CurrentBoard(), SideToMove(), legal, CurrentVariant);
        for (const TMove& m : legal)
            if (MoveToText(m, CurrentVariant, true, ":") == text) {
                f->HandleBoardClick(m.from, 0);
                f->HandleBoardClick(m.To(), 0);
                return;
            }
        ADD_FAILURE() << "no move " << text;
    }
    // The rows the program's book gives for the position shown, as the label shows them.
    QString ExpectedTree() const {
        TBookMoveList list;
        OpeningBook().ListBookMoves(CurrentBoard(), SideToMove(), CurrentVariant, Shell.CaptureSeparator,
                                    list);
        QString text;
        for (const TBookMoveRow& r : list.rows)
            text += QString::fromStdString(r.text) + "\n";
        return text;
    }

    TMainForm* f = nullptr;
};

} // namespace

TEST_F(BookMainForm, TheListFollowsMovesAndTheVariant) {
    ASSERT_EQ(CurrentVariant, gtRussian);
    ASSERT_TRUE(OpeningBook().IsOpen());
    // Every first move has its row, with its games, best first.
    const QStringList start = Tree().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(start.size(), 7);
    for (const QString& row : start)
        EXPECT_TRUE(row.contains(" +") && row.contains('=')) << row.toStdString();
    EXPECT_EQ(Tree(), ExpectedTree());
    EXPECT_EQ(Info(), "");

    Play("c3-d4");
    EXPECT_EQ(Info().toStdString(), "Straight to the centre, c3-d4: the most direct claim on the middle.");
    EXPECT_NE(Tree(), "");
    EXPECT_EQ(Tree(), ExpectedTree());
    EXPECT_TRUE(Tree().startsWith('b') || Tree().startsWith('d') || Tree().startsWith('f') ||
                Tree().startsWith('h'))
        << Tree().toStdString();
    const QString afterD4 = Tree();
    Play(afterD4.left(5).toStdString()); // black's first listed reply
    EXPECT_EQ(Tree(), ExpectedTree());
    // The reply's position has no name: the panel keeps the opening's.
    EXPECT_EQ(Info().toStdString(), "Straight to the centre, c3-d4: the most direct claim on the middle.");

    f->GoBack();
    EXPECT_EQ(Tree(), afterD4);
    f->GoBack();
    EXPECT_EQ(Tree(), start.join('\n') + "\n");
    EXPECT_EQ(Info(), ""); // the start position clears the name

    f->SetGameType(gtEnglish, false);
    EXPECT_EQ(OpeningBook().FileName(), Shell.AppDir + "Books/English.cbk");
    EXPECT_EQ(Tree(), ExpectedTree());
    EXPECT_TRUE(Tree().contains("11-15")) << Tree().toStdString();
}

TEST_F(BookMainForm, TournamentModeInPlayLeavesTheListAlone) {
    f->PlayModeClick();
    f->Item("N55")->setChecked(true);
    const QString before = Tree();
    Play("c3-d4");
    EXPECT_EQ(Tree(), before);
    f->Item("N55")->setChecked(false);
    f->GoBack();
    EXPECT_EQ(Tree(), ExpectedTree());
}
