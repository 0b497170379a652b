#include "app/ui/about_box.h"
#include "app/ui/comm_dlg.h"
#include "app/ui/f_analysis_game.h"
#include "app/ui/f_select_move.h"
#include "app/ui/ibtn.h"
#include "app/ui/jpeg_image.h"
#include "app/ui/new_move_q.h"
#include "app/ui/shell_prompts.h"
#include "app/ui/who_moves.h"
#include "qt_test_app.h"
#include "scripted_prompts.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

namespace {

class SmallDialogsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureQtApp(); }
    void SetUp() override { SetShellPrompts(&prompts); }
    void TearDown() override { SetShellPrompts(nullptr); }
    TScriptedPrompts prompts;
};

void Escape(QWidget* w) {
    QTest::keyClick(w, Qt::Key_Escape);
}
} // namespace

TEST_F(SmallDialogsTest, NewMoveQuestionAnswersOneTwoOrThree) {
    TNewMoveQ d;
    EXPECT_TRUE(d.ButtonNew->isDefault());
    EXPECT_EQ(RunModal(&d, [&] { d.ButtonNew->click(); }), 1);
    EXPECT_EQ(RunModal(&d, [&] { d.ButtonRepl->click(); }), 3);
    EXPECT_EQ(RunModal(&d, [&] { d.ButtonCanc->click(); }), 2);
    EXPECT_EQ(RunModal(&d, [&] { Escape(&d); }), 2);
    EXPECT_EQ(RunModal(&d, [&] { d.close(); }), 2);
}

TEST_F(SmallDialogsTest, ChooseMovePicksTheSelectedItemOnAnyKeyOrPress) {
    TFSelectMove d;
    d.ListBox1->addItems({"cd4", "gh4"});
    d.ListBox1->setCurrentRow(1);
    EXPECT_EQ(RunModal(&d, [&] { QTest::keyClick(d.ListBox1, Qt::Key_A); }), 1);
    EXPECT_EQ(RunModal(&d, [&] { Escape(d.ListBox1); }), 1); // Escape too picks the item
    EXPECT_EQ(d.ListBox1->currentRow(), 1);
    EXPECT_EQ(RunModal(&d,
                       [&] {
                           const QRect r = d.ListBox1->visualItemRect(d.ListBox1->item(0));
                           QTest::mousePress(d.ListBox1->viewport(), Qt::LeftButton, {}, r.center());
                       }),
              1);
    EXPECT_EQ(d.ListBox1->currentRow(), 0); // the press selected the item under the pointer first
    // The arrows move the selection and Return takes it: the second move, not the first.
    d.ListBox1->setCurrentRow(0);
    EXPECT_EQ(RunModal(&d,
                       [&] {
                           QTest::keyClick(d.ListBox1, Qt::Key_Down);
                           QTest::keyClick(d.ListBox1, Qt::Key_Return);
                       }),
              1);
    EXPECT_EQ(d.ListBox1->currentRow(), 1);
    d.ListBox1->clear(); // nothing to select: a key leaves the dialog open
    EXPECT_EQ(RunModal(&d,
                       [&] {
                           QTest::keyClick(d.ListBox1, Qt::Key_A);
                           if (d.isVisible()) d.close();
                       }),
              2);
}

TEST_F(SmallDialogsTest, WhoMovesDoneIsAlsoTheCancelButton) {
    TWhoMoves d;
    EXPECT_TRUE(d.RadioButton1->isChecked());
    EXPECT_EQ(d.SpinEdit1->minimum(), 1);
    EXPECT_EQ(d.SpinEdit1->maximum(), 128);
    EXPECT_EQ(RunModal(&d, [&] { d.Button1->click(); }), 1);
    EXPECT_EQ(RunModal(&d, [&] { Escape(&d); }), 1);
    EXPECT_EQ(RunModal(&d, [&] { d.close(); }), 2);
}

TEST_F(SmallDialogsTest, CommentEnterConfirmsWithoutALineBreak) {
    TCommDlg d;
    EXPECT_EQ(RunModal(&d,
                       [&] {
                           EXPECT_TRUE(d.Memo1->hasFocus() || !QApplication::focusWidget());
                           QTest::keyClicks(d.Memo1, "good");
                           QTest::keyClick(d.Memo1, Qt::Key_Return);
                       }),
              1);
    EXPECT_EQ(d.Memo1->toPlainText(), "good");
    EXPECT_EQ(RunModal(&d, [&] { d.CancelBtn->click(); }), 2);
    EXPECT_EQ(RunModal(&d, [&] { Escape(&d); }), 2);
    EXPECT_EQ(RunModal(&d, [&] { d.OKBtn->click(); }), 1);
}

TEST_F(SmallDialogsTest, GameAnalysisRefusesOkWithNeitherSide) {
    TFAnalysisGame d;
    EXPECT_EQ(d.MinCountSpin->value(), 3);
    EXPECT_TRUE(d.NewAlg->isChecked());
    bool stayedOpen = false;
    EXPECT_EQ(RunModal(&d,
                       [&] {
                           d.OKBtn->click();
                           stayedOpen = d.isVisible();
                           d.CancelBtn->click();
                       }),
              2);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(prompts.messages, QStringList{"Select color(s)"});
    d.BlackM->setChecked(true);
    EXPECT_EQ(RunModal(&d, [&] { d.OKBtn->click(); }), 1);
    EXPECT_EQ(prompts.messages.size(), 1);
}

TEST_F(SmallDialogsTest, AboutBoxShowsItsPictureAndOpensItsLinks) {
    TAboutBox d;
    EXPECT_TRUE(d.LoadPicture(QString::fromStdString(RunDir() + "/Resources/About.jpg")));
    EXPECT_FALSE(d.ProgramIcon->pixmap().isNull());
    EXPECT_EQ(d.Version->text(), "Version 2.0");
    EXPECT_EQ(RunModal(&d,
                       [&] {
                           QEvent enter(QEvent::Enter);
                           QApplication::sendEvent(d.Label1, &enter);
                           EXPECT_TRUE(d.Label1->font().underline());
                           QEvent leave(QEvent::Leave);
                           QApplication::sendEvent(d.Label1, &leave);
                           EXPECT_FALSE(d.Label1->font().underline());
                           QTest::mouseClick(d.Label1, Qt::LeftButton);
                           QTest::mouseClick(d.Label2, Qt::LeftButton);
                           d.OKButton->click();
                       }),
              1);
    EXPECT_EQ(prompts.urls, (QStringList{QString("mailto:") + AboutMailAddress, AboutWebAddress}));
    EXPECT_EQ(RunModal(&d, [&] { Escape(&d); }), 2);
}

TEST_F(SmallDialogsTest, DamagedJpegGivesAnErrorNotACrash) {
    QFile f(QString::fromStdString(RunDir() + "/Resources/About.jpg"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    const auto* p = reinterpret_cast<const std::uint8_t*>(whole.constData());
    QString err;
    const QImage good = DecodeJpeg(p, static_cast<std::size_t>(whole.size()), &err);
    EXPECT_EQ(good.size(), QSize(240, 240));
    for (std::size_t cut : {std::size_t(0), std::size_t(3), std::size_t(20), std::size_t(200)}) {
        SCOPED_TRACE(cut);
        err.clear();
        EXPECT_TRUE(DecodeJpeg(p, cut, &err).isNull());
        EXPECT_FALSE(err.isEmpty());
    }
    QByteArray garbage = whole;
    for (int i = 2; i < 400 && i < garbage.size(); ++i)
        garbage[i] = static_cast<char>(0x5A);
    EXPECT_TRUE(DecodeJpeg(reinterpret_cast<const std::uint8_t*>(garbage.constData()),
                           static_cast<std::size_t>(garbage.size()), &err)
                    .isNull());
}

TEST_F(SmallDialogsTest, PictureButtonShiftsWhilePressed) {
    QWidget parent;
    IBtn b(&parent);
    EXPECT_EQ(b.size(), QSize(80, 25));
    EXPECT_EQ(b.MoveDown, 1);
    EXPECT_EQ(b.MoveRight, 1);
    b.setGeometry(10, 20, 35, 35);
    b.SetPath(QString(300, 'p'));
    EXPECT_EQ(b.Path().size(), 255);
    int clicks = 0;
    QObject::connect(&b, &IBtn::clicked, [&] { ++clicks; });
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b.pos(), QPoint(11, 21));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(4, 4));
    EXPECT_EQ(b.pos(), QPoint(10, 20));
    EXPECT_EQ(clicks, 1);
    b.MoveDown = 3;
    b.MoveRight = 0;
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(b.pos(), QPoint(10, 23));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(100, 100)); // released outside: no command
    EXPECT_EQ(b.pos(), QPoint(10, 20));
    EXPECT_EQ(clicks, 1);
}
