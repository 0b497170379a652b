// Every small window of the program, and every message box, is as wide as its title as a window
// manager shows it (with the program's name after it), measured in the title font, in every language.

#include "app/core/phrase_table.h"
#include "app/ui/captions.h"
#include "app/ui/forms.h"
#include "app/ui/shell_prompts.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/f_imp_chb.h"
#include "gamedb/ui/qt_prompts.h"
#include "main_window_fixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

namespace {

class DialogTitles : public TMainWindowFixture {
  protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        m_name = QGuiApplication::applicationDisplayName();
        QGuiApplication::setApplicationDisplayName("Vantor Quillan 2.0");
    }
    void TearDown() override {
        TMainWindowFixture::TearDown();
        QGuiApplication::setApplicationDisplayName(m_name);
    }
    // The title's text as a window manager draws it: bold title font, the program's name after it.
    static int TextWidth(const QString& title) {
        QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
        font.setBold(true);
        const QString name = "Vantor Quillan 2.0";
        return QFontMetrics(font).horizontalAdvance(
            title.isEmpty() ? name : title + QString::fromUtf8(" \u2014 ") + name);
    }

  private:
    QString m_name;
};

TEST_F(DialogTitles, EverySmallWindowIsAsWideAsItsTitleInEveryLanguage) {
    Start();
    std::vector<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != form && w != form->DatabaseForm() && w->parentWidget() == form) windows.push_back(w);
    ASSERT_GE(windows.size(), 15u);
    for (int language = 1; language <= kLanguageCount; ++language) {
        SetLanguage(language);
        for (QWidget* w : windows) {
            SCOPED_TRACE(language);
            SCOPED_TRACE(w->objectName().toStdString() + " \"" + w->windowTitle().toStdString() + "\"");
            w->show();
            QApplication::processEvents();
            EXPECT_GE(w->width(), TextWidth(w->windowTitle()));
            w->hide();
        }
    }
    // A title set while the window is shown widens it at once.
    form->FImpCHB()->BeginProgress("Import of a database with a long and descriptive name", "x", 10, 10);
    EXPECT_GE(form->FImpCHB()->width(), TextWidth(form->FImpCHB()->windowTitle()));
    form->FImpCHB()->EndProgress();
}

// A box with no title of its own shows the program's name alone.
TEST_F(DialogTitles, MessageBoxesAreAsWideAsTheProgramsName) {
    SetShellPrompts(nullptr);
    TQtUserPrompt database;
    const std::function<void()> shows[] = {
        [] { ShellPrompts().ShowMessage(nullptr, "ok"); },
        [&] { database.ShowMessage("OK!"); },
        [&] { database.Confirm("Create new?"); },
        [&] { database.AskYesNo("Replace?"); },
    };
    for (const auto& show : shows) {
        int width = -1;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            poll.stop();
            width = box->width();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        poll.start(5);
        show();
        EXPECT_GE(width, TextWidth(QString()));
    }
}

} // namespace
