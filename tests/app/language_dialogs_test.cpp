// Every dialog in the user's language, chosen from the main window's language menu: the texts of our
// own dialogs that the phrase table holds, and the toolkit's own dialogs and message-box buttons,
// each shown modally as the program shows it.
#include "app/ui/about_box.h"
#include "app/ui/captions.h"
#include "app/ui/exp_diagram.h"
#include "app/ui/f_analysis_game.h"
#include "app/ui/f_engine_opt.h"
#include "app/ui/f_set_tm.h"
#include "app/ui/forms.h"
#include "app/ui/main_form.h"
#include "app/ui/select_colors.h"
#include "main_window_fixture.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

struct TLanguageRow {
    const char* item; // of the language menu
    int language;
    const char* cancel; // the toolkit's "Cancel" in that language
};
const TLanguageRow kLanguages[] = {{"Russian1", 2, "Отмена"},
                                   {"Portuguese1", 3, "Cancelar"},
                                   {"French1", 4, "Annuler"},
                                   {"Italian1", 5, "Annulla"},
                                   {"English1", 1, "Cancel"}};

class LanguageDialogs : public TMainWindowFixture {
  protected:
    void SetUp() override {
        TMainWindowFixture::SetUp();
        f = Start();
    }
    void TearDown() override {
        SetLanguage(1);
        TMainWindowFixture::TearDown();
    }
    // Runs `show` (which shows a dialog modally) and `look` at the dialog once it is up; the dialog
    // is then cancelled. False when no dialog came up.
    static bool WhileShown(const std::function<void()>& show, const std::function<void(QWidget*)>& look) {
        bool seen = false;
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [&, poll] {
            QWidget* d = QApplication::activeModalWidget();
            if (!d || !d->isVisible()) return;
            poll->stop();
            seen = true;
            look(d);
            if (auto* dialog = qobject_cast<QDialog*>(d)) dialog->reject();
        });
        poll->start(5);
        QTimer::singleShot(test_support::WatchdogLimit, poll, [] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
        });
        show();
        delete poll;
        return seen;
    }
    static QStringList ButtonTexts(QWidget* w) {
        QStringList texts;
        for (const QAbstractButton* b : w->findChildren<QAbstractButton*>())
            texts << b->text().remove('&');
        return texts;
    }

    TMainForm* f = nullptr;
};

} // namespace

TEST_F(LanguageDialogs, TheToolkitsDialogsAndButtonsSpeakTheChosenLanguage) {
    for (const TLanguageRow& r : kLanguages) {
        SCOPED_TRACE(r.item);
        f->Item(r.item)->trigger();
        const QString cancel = QString::fromUtf8(r.cancel);
        // The colour, font and file dialogs, as the program runs them.
        QString colourTitle, fontTitle;
        EXPECT_TRUE(WhileShown([] { QColorDialog::getColor(Qt::red, nullptr); },
                               [&](QWidget* d) {
                                   colourTitle = d->windowTitle();
                                   EXPECT_TRUE(ButtonTexts(d).contains(cancel))
                                       << ButtonTexts(d).join("|").toStdString();
                               }));
        EXPECT_TRUE(WhileShown(
            [] {
                bool ok = false;
                QFontDialog::getFont(&ok, QFont(), nullptr);
            },
            [&](QWidget* d) {
                fontTitle = d->windowTitle();
                EXPECT_TRUE(ButtonTexts(d).contains(cancel));
            }));
        EXPECT_TRUE(WhileShown(
            [] {
                QFileDialog::getOpenFileName(nullptr, QString(), QString(), "*.vqb", nullptr,
                                             QFileDialog::DontUseNativeDialog);
            },
            [&](QWidget* d) { EXPECT_TRUE(ButtonTexts(d).contains(cancel)); }));
        EXPECT_EQ(colourTitle == "Select Color", r.language == 1) << colourTitle.toStdString();
        EXPECT_EQ(fontTitle == "Select Font", r.language == 1) << fontTitle.toStdString();
        // The standard buttons of a message box.
        EXPECT_TRUE(WhileShown(
            [] {
                QMessageBox box(QMessageBox::Question, "Vantor Quillan 2.0", "?",
                                QMessageBox::Ok | QMessageBox::Cancel);
                box.exec();
            },
            [&](QWidget* d) { EXPECT_TRUE(ButtonTexts(d).contains(cancel)); }));
    }
}

TEST_F(LanguageDialogs, OurDialogsTakeEveryTextThePhraseTableHolds) {
    for (const TLanguageRow& r : kLanguages) {
        SCOPED_TRACE(r.item);
        f->Item(r.item)->trigger();
        EXPECT_EQ(form->FEngineOpt()->cancelbutt->text(), PhraseString(83));
        EXPECT_EQ(form->SelectColors()->windowTitle(), PhraseString(157));
        EXPECT_EQ(form->SelectColors()->Button2->text(), PhraseString(106));
        EXPECT_EQ(form->ExpDiagram()->windowTitle(), PhraseString(150));
        EXPECT_EQ(form->FSetTm()->findChild<QLabel*>("LabelSec")->text(), PhraseString(60));
        EXPECT_EQ(form->FAnalysisGame()->WhiteM->text(), PhraseString(64));
        EXPECT_EQ(form->FAnalysisGame()->BlackM->text(), PhraseString(65));
        // The "none" entries of the two mark lists of the game panel's pop-up menu.
        EXPECT_EQ(f->Item("N52")->text(), PhraseString(50));
        EXPECT_EQ(f->Item("N53")->text(), PhraseString(50));
        // The about box names the variants as the table does.
        EXPECT_TRUE(WhileShown(
            [this] { form->AboutBox()->exec(); },
            [&](QWidget* d) {
                EXPECT_EQ(d, form->AboutBox());
                EXPECT_EQ(d->windowTitle(), PhraseString(40));
                for (int phrase : {5, 6, 7, 8, 9, 10, 146})
                    EXPECT_TRUE(form->AboutBox()->Copyright->text().contains(PhraseString(phrase))) << phrase;
            }));
    }
    EXPECT_EQ(form->FEngineOpt()->cancelbutt->text(), "Cancel");
}
