#include "app/core/language.h"
#include "app/ui/captions.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <tuple>

namespace {

struct CaptionsTest : testing::Test {
    void TearDown() override { SetLanguage(langEnglish); }
};

template <class T> T* Named(QObject* parent, const char* name) {
    auto* o = new T(nullptr);
    o->setObjectName(name);
    if constexpr (std::is_base_of_v<QWidget, T>)
        o->setParent(qobject_cast<QWidget*>(parent));
    else
        o->setParent(parent);
    return o;
}

TCaptionResult ResultOf(const std::vector<TCaptionOutcome>& outcomes, const std::string& form,
                        const std::string& control, int index = 0) {
    for (const auto& o : outcomes)
        if (o.row->form == form && o.row->control == control && o.row->index == index) return o.result;
    ADD_FAILURE() << "no row " << form << "." << control;
    return TCaptionResult::Unsupported;
}

// A main window holding a few of its captioned controls, and a child window that reuses one name.
struct FakeMainForm {
    QMainWindow window;
    QMenu* game;
    QAction *fresh, *three, *five, *sixty, *newGameHint;
    QPushButton* stop;
    QToolButton* newBoard;
    QDialog* database;
    QToolButton* databaseOpen;

    FakeMainForm() {
        window.setObjectName("MainForm");
        game = window.menuBar()->addMenu("Game");
        game->setObjectName("N1");
        fresh = game->addAction("New");
        fresh->setObjectName("N2");
        QMenu* time = window.menuBar()->addMenu("Time");
        time->menuAction()->setObjectName("N29");
        three = Named<QAction>(time, "min1");
        five = Named<QAction>(time, "N5min1");
        sixty = Named<QAction>(time, "N60min1");
        time->addActions({three, five, sixty});
        QToolBar* bar = window.addToolBar("tools");
        newGameHint = bar->addAction("new");
        newGameHint->setObjectName("ToolButton2");
        stop = Named<QPushButton>(&window, "StopButton");
        newBoard = Named<QToolButton>(&window, "NewBrdBtn");
        database = new QDialog(&window);
        database->setObjectName("DatabaseForm");
        databaseOpen = Named<QToolButton>(database, "ToolButton2");
    }
};

} // namespace

TEST(CaptionTable, RowsNamePhrasesThatExistAndNoControlTwice) {
    std::set<std::tuple<std::string, std::string, TCaptionPart, int>> seen;
    for (const TCaptionRow& r : CaptionTable()) {
        SCOPED_TRACE(r.form + "." + r.control);
        EXPECT_FALSE(PhraseText(r.phrase, langEnglish).empty()) << "phrase " << r.phrase;
        EXPECT_TRUE(seen.insert({r.form, r.control, r.part, r.index}).second);
    }
}

TEST(CaptionTable, CompoundCaptions) {
    const auto text = [](const std::string& form, const std::string& control, int language) {
        for (const TCaptionRow& r : CaptionTable())
            if (r.form == form && r.control == control) return CaptionText(r, language).toStdString();
        return std::string("<no row>");
    };
    EXPECT_EQ(text("MainForm", "min1", langRussian), "3 минуты");
    EXPECT_EQ(text("MainForm", "N5min1", langRussian), "5 минут");
    EXPECT_EQ(text("MainForm", "N10min1", langRussian), "10 минут");
    EXPECT_EQ(text("MainForm", "N30min1", langEnglish), "30 minutes");
    EXPECT_EQ(text("MainForm", "N60min1", langItalian), "60 minuti");
    EXPECT_EQ(text("DatabaseForm", "OpenCHB", langEnglish), "Import CHB");
    EXPECT_EQ(text("DatabaseForm", "ImportPDN1", langFrench), "Importer PDN");
    EXPECT_EQ(text("FEngineOpt", "TabSheet6", langEnglish), "International");
    EXPECT_EQ(text("FEngineOpt", "TabSheet7", langEnglish), "Czech");
    EXPECT_EQ(text("FEngineOpt", "Label23", langEnglish), "Book");
}

TEST_F(CaptionsTest, AbsentFormsAreSkipped) {
    for (const auto& o : ApplyCaptions(langRussian))
        EXPECT_EQ(o.result, TCaptionResult::FormAbsent);
    SetLanguage(langRussian);
    EXPECT_EQ(CurrentLanguage(), langRussian);
}

TEST_F(CaptionsTest, MainFormMenusButtonsAndHints) {
    FakeMainForm f;
    Russian1Click();
    EXPECT_EQ(CurrentLanguage(), langRussian);
    EXPECT_EQ(f.game->title(), "Партия");
    EXPECT_EQ(f.fresh->text(), "Новая");
    EXPECT_EQ(f.three->text(), "3 минуты");
    EXPECT_EQ(f.five->text(), "5 минут");
    EXPECT_EQ(f.sixty->text(), "60 минут");
    EXPECT_EQ(f.stop->text(), "СТОП!");
    EXPECT_EQ(f.newGameHint->toolTip(), "Новая партия");
    EXPECT_EQ(f.newBoard->toolTip(), "Начальная позиция");
    // The child window is a form of its own: each gets its own form's row for "ToolButton2".
    EXPECT_EQ(f.databaseOpen->toolTip(), "Открыть базу");
    EXPECT_EQ(FindControl(&f.window, "ToolButton2"), f.newGameHint);
    EXPECT_EQ(FindControl(f.database, "ToolButton2"), f.databaseOpen);
    EXPECT_EQ(FindControl(&f.window, "Database1"), nullptr);
    // The menu items get no check mark.
    EXPECT_FALSE(f.fresh->isChecked());

    English1Click();
    EXPECT_EQ(f.game->title(), "Game");
    EXPECT_EQ(f.three->text(), "3 minutes");
    EXPECT_EQ(f.stop->text(), "STOP!");
    French1Click();
    EXPECT_EQ(f.newGameHint->toolTip(), "Nouvelle partie");
    Portuguese1Click();
    EXPECT_EQ(f.fresh->text(), "Nova");
    Italian1Click();
    EXPECT_EQ(CurrentLanguage(), langItalian);
    EXPECT_EQ(f.five->text(), "5 minuti");
}

TEST_F(CaptionsTest, LanguageOutsideTheTableShowsEnglish) {
    FakeMainForm f;
    SetLanguage(langRussian);
    for (int language : {0, 9}) {
        SetLanguage(language);
        EXPECT_EQ(CurrentLanguage(), langEnglish);
        EXPECT_EQ(f.game->title(), "Game");
        SetLanguage(langRussian);
    }
}

TEST_F(CaptionsTest, RadioGroupItemsChangeTextButNotSelection) {
    QDialog form;
    form.setObjectName("InterfaceForm");
    auto* layout = new QVBoxLayout(&form);
    auto* sound = Named<QCheckBox>(&form, "Sound");
    auto* notation = Named<QGroupBox>(&form, "notation");
    auto* groupLayout = new QVBoxLayout(notation);
    auto* shortForm = new QRadioButton("short", notation);
    auto* fullForm = new QRadioButton("full", notation);
    groupLayout->addWidget(shortForm);
    groupLayout->addWidget(fullForm);
    fullForm->setChecked(true);
    auto* take = Named<QLabel>(&form, "TakeChar");
    auto* highlight = Named<QCheckBox>(&form, "Highlight");
    for (QWidget* w : std::initializer_list<QWidget*>{sound, notation, take, highlight})
        layout->addWidget(w);

    SetLanguage(langPortuguese);
    EXPECT_EQ(form.windowTitle(), "Interface");
    EXPECT_EQ(sound->text(), "Som");
    EXPECT_EQ(notation->title(), "Notação");
    EXPECT_EQ(shortForm->text(), "Curta (cd4; 4-8)");
    EXPECT_EQ(fullForm->text(), "Completa (c3-d4; 04-08)");
    EXPECT_FALSE(shortForm->isChecked());
    EXPECT_TRUE(fullForm->isChecked());
    EXPECT_EQ(take->text(), "Sinal de captura");
    SetLanguage(langEnglish);
    EXPECT_EQ(highlight->text(), "Highlight last move");
    EXPECT_EQ(fullForm->text(), "Full (c3-d4; 04-08)");
    EXPECT_TRUE(fullForm->isChecked());
}

TEST_F(CaptionsTest, HeaderSectionsAfterTheFirstAndMissingOnesReported) {
    QDialog form;
    form.setObjectName("DatabaseForm");
    auto* header = Named<QTreeWidget>(&form, "HeaderControl2");
    header->setHeaderLabels({"#", "a", "b"});
    auto* chb = Named<QAction>(&form, "OpenCHB");

    const auto outcomes = ApplyCaptions(langRussian);
    EXPECT_EQ(header->headerItem()->text(0), "#");
    EXPECT_EQ(header->headerItem()->text(1), "Имена");
    EXPECT_EQ(header->headerItem()->text(2), "Турнир");
    EXPECT_EQ(ResultOf(outcomes, "DatabaseForm", "HeaderControl2", 2), TCaptionResult::Applied);
    EXPECT_EQ(ResultOf(outcomes, "DatabaseForm", "HeaderControl2", 3), TCaptionResult::ControlMissing);
    EXPECT_EQ(ResultOf(outcomes, "DatabaseForm", "HeaderControl2", 4), TCaptionResult::ControlMissing);
    EXPECT_EQ(ResultOf(outcomes, "DatabaseForm", "Set1"), TCaptionResult::ControlMissing);
    EXPECT_EQ(ResultOf(outcomes, "MainForm", "N1"), TCaptionResult::FormAbsent);
    EXPECT_EQ(chb->text(), "Импорт CHB");
    // ApplyCaptions alone leaves the current language alone.
    EXPECT_EQ(CurrentLanguage(), langEnglish);

    header->setHeaderLabels({"#", "a", "b", "c", "d"});
    SetLanguage(langItalian);
    EXPECT_EQ(header->headerItem()->text(3), "Data");
    EXPECT_EQ(header->headerItem()->text(4), "Ris.");
}

TEST_F(CaptionsTest, TabPagesGetTabTextsAndOddControlsAreReported) {
    QDialog form;
    form.setObjectName("FEngineOpt");
    auto* tabs = new QTabWidget(&form);
    for (int i = 1; i <= 7; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QString("TabSheet%1").arg(i));
        tabs->addTab(page, "x");
    }
    Named<QLineEdit>(&form, "GroupBox1"); // a kind that has no caption

    const auto outcomes = ApplyCaptions(langItalian);
    EXPECT_EQ(form.windowTitle(), "Impostazioni del motore");
    EXPECT_EQ(tabs->tabText(0), "Russa");
    EXPECT_EQ(tabs->tabText(3), "American Pool");
    EXPECT_EQ(tabs->tabText(5), "Internazionale");
    EXPECT_EQ(tabs->tabText(6), "Ceca");
    EXPECT_EQ(ResultOf(outcomes, "FEngineOpt", "GroupBox1"), TCaptionResult::Unsupported);
}
