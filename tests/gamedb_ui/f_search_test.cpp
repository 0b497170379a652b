// The search dialog offscreen: what its controls put into the criteria, the pattern board edited by
// clicks and buttons and drawn with its pictures, the side captions of each board kind, the quick
// search's preset, and the database window's New search finding games by a name part.

#include "gamedb/game_list.h"
#include "gamedb/search_board.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/database_hooks.h"
#include "gamedb/ui/f_search.h"
#include "gamedb/ui/search_board_image.h"
#include "platform/codepage.h"
#include "tests/gamedb_ui/database_window_fixture.h"
#include "tests/support/qt/qt_test_app.h"
#include "tests/support/random_games.h"
#include "tests/support/scripted_database_prompts.h"
#include "tests/support/temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class SearchDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        d = new TFSearch;
        d->SetSession(&searched);
        DatabaseHooks().phrase = [](int k) {
            return std::string(k == 128   ? "White moves"
                               : k == 129 ? "Black moves"
                               : k == 86  ? "Database not opened."
                                          : "");
        };
    }
    void TearDown() override {
        delete d;
        ResetDatabaseHooks();
    }
    // The colour of the image at the middle of a square's dark cell.
    QColor SquareMiddle(int square) const {
        const TPatternCells c = PatternSquareCells(d->BoardKind(), square);
        return d->SearchBrdImage->Image().pixelColor(c.darkX + c.cell / 2, c.y + c.cell / 2);
    }
    static bool Light(const QColor& c) { return c.lightness() > 200; }
    static bool Dark(const QColor& c) { return c.lightness() < 60; }

    TFSearch* d = nullptr;
    TDatabaseSession searched; // what the dialog searches when no window gives it a session (none open)
};

TEST_F(SearchDialog, StartsWithTheGivenDefaultsAndAnyEverywhere) {
    const TSearchCriteria c = d->Criteria();
    const TSearchCriteria defaults;
    EXPECT_EQ(c.whiteText, "");
    EXPECT_EQ(c.yearFrom, 0);
    EXPECT_EQ(c.yearTo, 2100);
    EXPECT_EQ(c.movesFrom, 0);
    EXPECT_EQ(c.movesTo, 255);
    EXPECT_EQ(c.results, defaults.results);
    EXPECT_FALSE(c.ignoreColours || c.deleted || c.comments || c.variations || c.position || c.reversed);
    EXPECT_TRUE(c.whiteMoves && c.blackMoves);
    EXPECT_EQ(c.board, TSearchBoard::b64);
    EXPECT_EQ(c.pattern, AnyPattern());
    EXPECT_EQ(d->objectName(), "FSearch");
    EXPECT_FALSE(d->Button3->isVisibleTo(d)); // "Clear" is hidden
    EXPECT_EQ(d->Yearstart->maximum(), 2100);
    // The result boxes in flag order.
    const QCheckBox* results[6] = {d->wwin, d->draw, d->bwin, d->unknown, d->wwint, d->bwint};
    const char* texts[6] = {"*", "1-0", "=", "0-1", "1-0t", "0-1t"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(results[i]->text(), texts[i]);
}

TEST_F(SearchDialog, EachControlSetsItsField) {
    struct TCase {
        const char* what;
        std::function<void(TFSearch&)> set;
        std::function<bool(const TSearchCriteria&)> holds;
    };
    const TCase cases[] = {
        // Texts are stored lower case in CP1251, Cyrillic folded too.
        {"white text", [](TFSearch& f) { f.Whitename->setEditText("ИваНОВ Ё"); },
         [](const TSearchCriteria& c) { return c.whiteText == Utf8ToCp1251("иванов ё"); }},
        {"black text", [](TFSearch& f) { f.BlackName->setEditText("SMITH"); },
         [](const TSearchCriteria& c) { return c.blackText == "smith"; }},
        {"tournament", [](TFSearch& f) { f.Tournament->setEditText("Кубок MIR"); },
         [](const TSearchCriteria& c) { return c.tournamentText == Utf8ToCp1251("кубок mir"); }},
        {"years", [](TFSearch& f) { f.Yearstart->setValue(1950), f.Yearend->setValue(1999); },
         [](const TSearchCriteria& c) { return c.yearFrom == 1950 && c.yearTo == 1999; }},
        {"moves past 255", [](TFSearch& f) { f.MoveStart->setValue(40), f.MoveEnd->setValue(300); },
         [](const TSearchCriteria& c) { return c.movesFrom == 40 && c.movesTo == 300; }},
        {"ignore colours", [](TFSearch& f) { f.Ignorecol->setChecked(true); },
         [](const TSearchCriteria& c) { return c.ignoreColours; }},
        {"deleted", [](TFSearch& f) { f.Deleted->setChecked(true); },
         [](const TSearchCriteria& c) { return c.deleted; }},
        {"comments", [](TFSearch& f) { f.comments->setChecked(true); },
         [](const TSearchCriteria& c) { return c.comments && !c.variations; }},
        {"variations", [](TFSearch& f) { f.variations->setChecked(true); },
         [](const TSearchCriteria& c) { return c.variations && !c.comments; }},
        {"position", [](TFSearch& f) { f.PosCheckBox->setChecked(true); },
         [](const TSearchCriteria& c) { return c.position; }},
        {"white moves off", [](TFSearch& f) { f.Whitemove->setChecked(false); },
         [](const TSearchCriteria& c) { return !c.whiteMoves && c.blackMoves; }},
        {"black moves off", [](TFSearch& f) { f.BlackMove->setChecked(false); },
         [](const TSearchCriteria& c) { return c.whiteMoves && !c.blackMoves; }},
        {"reversed", [](TFSearch& f) { f.Reversed->setChecked(true); },
         [](const TSearchCriteria& c) { return c.reversed; }},
        {"100", [](TFSearch& f) { f.b100->click(); },
         [](const TSearchCriteria& c) { return c.board == TSearchBoard::b100; }},
        {"64 it", [](TFSearch& f) { f.b64i->click(); },
         [](const TSearchCriteria& c) { return c.board == TSearchBoard::b64i; }},
        {"64 en", [](TFSearch& f) { f.b64e->click(); },
         [](const TSearchCriteria& c) { return c.board == TSearchBoard::b64e; }},
    };
    for (const TCase& t : cases) {
        SCOPED_TRACE(t.what);
        TFSearch f;
        t.set(f);
        EXPECT_TRUE(t.holds(f.Criteria()));
    }
    // Each result box clears its own flag only.
    QCheckBox* TFSearch::*boxes[6] = {&TFSearch::wwin,    &TFSearch::draw,  &TFSearch::bwin,
                                      &TFSearch::unknown, &TFSearch::wwint, &TFSearch::bwint};
    for (std::size_t i = 0; i < 6; ++i) {
        TFSearch f;
        (f.*boxes[i])->setChecked(false);
        std::array<std::uint8_t, 6> want{1, 1, 1, 1, 1, 1};
        want[i] = 0;
        EXPECT_EQ(f.Criteria().results, want) << i;
    }
}

TEST_F(SearchDialog, PositionWidensTheDialogForTheBoard) {
    EXPECT_EQ(d->width(), 430);
    d->PosCheckBox->click();
    EXPECT_EQ(d->width(), 630);
    EXPECT_LE(d->SearchBrdImage->geometry().right(), 630);
    d->PosCheckBox->click();
    EXPECT_EQ(d->width(), 430);
}

TEST_F(SearchDialog, ClicksCycleTheSquareAndRedrawIt) {
    d->FormShow();
    const TPatternCells c1 = PatternSquareCells(TSearchBoard::b64, 1);
    const int x = c1.darkX + 10, y = c1.y + 10;
    // Left: any -> 1 (a light disc); right: 1 -> 0 (no piece); middle: 0 -> any.
    d->SearchBrdImageMouseDown(0, x, y);
    EXPECT_EQ(d->pattern[1], 1);
    EXPECT_TRUE(Light(SquareMiddle(1)));
    d->SearchBrdImageMouseDown(1, x, y);
    EXPECT_EQ(d->pattern[1], 0);
    EXPECT_EQ(SquareMiddle(1), QColor(0x40, 0x80, 0x80)); // the dark square itself
    d->SearchBrdImageMouseDown(1, x, y);
    EXPECT_EQ(d->pattern[1], -1);
    EXPECT_TRUE(Dark(SquareMiddle(1)));
    d->SearchBrdImageMouseDown(2, x, y);
    EXPECT_EQ(d->pattern[1], sqAny);
    // A light square and the frame change nothing.
    const TSearchPattern before = d->pattern;
    d->SearchBrdImageMouseDown(0, c1.lightX + 10, y);
    d->SearchBrdImageMouseDown(0, 3, 3);
    d->SearchBrdImageMouseDown(0, 168, y);
    EXPECT_EQ(d->pattern, before);

    // On 10x10 the same pixels hit square 1 through its own cells.
    d->b100->click();
    const TPatternCells c100 = PatternSquareCells(TSearchBoard::b100, 50);
    d->SearchBrdImageMouseDown(0, c100.darkX + 8, c100.y + 8);
    d->SearchBrdImageMouseDown(0, c100.darkX + 8, c100.y + 8);
    EXPECT_EQ(d->pattern[50], 2);
}

TEST_F(SearchDialog, TheButtonsFillThePattern) {
    TBoard main = EmptyBoard;
    main[3] = 2;
    main[30] = -1;
    d->Hooks().currentBoard = [&] { return main; };
    d->Button5->click(); // Copy
    for (int s = 1; s <= 50; ++s)
        EXPECT_EQ(d->pattern[std::size_t(s)], main[s]) << s;
    d->Button4->click(); // Clean
    EXPECT_EQ(d->pattern, AnyPattern());
    d->Button3Click(); // Clear (hidden)
    for (int s = 1; s <= 50; ++s)
        EXPECT_EQ(d->pattern[std::size_t(s)], 0);
    d->Button6->click(); // Start: 8x8
    for (int s = 1; s <= 50; ++s)
        EXPECT_EQ(d->pattern[std::size_t(s)], StartPosition64[s]) << s;
    d->b100->click();
    d->Button6->click();
    for (int s = 1; s <= 50; ++s)
        EXPECT_EQ(d->pattern[std::size_t(s)], StartPosition100[s]) << s;
}

TEST_F(SearchDialog, EnglishBoardShowsTheColoursAndTheSideNamesSwapped) {
    d->Button6->click(); // the 8x8 start: side 0's men on 1..12
    EXPECT_TRUE(Light(SquareMiddle(1)));
    EXPECT_TRUE(Dark(SquareMiddle(32)));
    d->b64e->click();
    EXPECT_TRUE(Dark(SquareMiddle(1)));
    EXPECT_TRUE(Light(SquareMiddle(32)));
    EXPECT_EQ(d->Whitemove->text(), "Black moves");
    EXPECT_EQ(d->BlackMove->text(), "White moves");
    EXPECT_EQ(d->pattern[1], 1); // only the picture changes
    d->b64i->click();
    EXPECT_EQ(d->Whitemove->text(), "White moves");
    EXPECT_EQ(d->BlackMove->text(), "Black moves");
    EXPECT_TRUE(Light(SquareMiddle(1)));
}

TEST_F(SearchDialog, OkStoresTheCriteriaAndEndsWithOne) {
    searched.SearchCriteria = TSearchCriteria{};
    d->Whitename->setEditText("ABC");
    d->Reversed->setChecked(true);
    const int result = RunModal(d, [this] { d->Button1->click(); });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(searched.SearchCriteria.whiteText, "abc");
    EXPECT_TRUE(searched.SearchCriteria.reversed);
    EXPECT_TRUE(d->isEnabled());
    EXPECT_EQ(RunModal(d, [this] { d->Button2->click(); }), 2);
}

// The quick search's preset, per variant: board kind, captions (set although setChecked emits no
// clicked), the one side box, and the pattern taken from the board.
TEST_F(SearchDialog, QuickSearchPresetsTheDialogForTheVariantAndSide) {
    struct TCase {
        TGameType variant;
        int side;
        QRadioButton* TFSearch::*kind;
        const char* whiteCaption;
    };
    const TCase cases[] = {
        {gtRussian, 0, &TFSearch::b64, "White moves"},   {gtEnglish, 1, &TFSearch::b64e, "Black moves"},
        {gtBrazilian, 1, &TFSearch::b64, "White moves"}, {gtPool, 0, &TFSearch::b64e, "Black moves"},
        {gtItalian, 0, &TFSearch::b64i, "White moves"},  {gtInternational, 1, &TFSearch::b100, "White moves"},
        {gtCzech, 0, &TFSearch::b64, "White moves"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(int(c.variant));
        d->b100->setChecked(true); // something else first
        d->b64Click();
        d->comments->setChecked(true);
        d->Deleted->setChecked(true);
        d->Reversed->setChecked(true);
        d->Whitename->setEditText("kept");
        const TBoard& board = StartPositionOf(c.variant);
        d->QuickSearch(board, c.side, c.variant);
        EXPECT_TRUE((d->*c.kind)->isChecked());
        EXPECT_EQ(d->Whitemove->text(), c.whiteCaption);
        EXPECT_EQ(d->Whitemove->isChecked(), c.side == 0);
        EXPECT_EQ(d->BlackMove->isChecked(), c.side == 1);
        EXPECT_TRUE(d->PosCheckBox->isChecked());
        EXPECT_EQ(d->width(), 630);
        EXPECT_FALSE(d->comments->isChecked() || d->variations->isChecked() || d->Deleted->isChecked() ||
                     d->Reversed->isChecked());
        for (int s = 1; s <= 50; ++s)
            EXPECT_EQ(d->pattern[std::size_t(s)], board[s]) << s;
        // The search ran with open header conditions; the dialog keeps the user's text.
        EXPECT_EQ(searched.SearchCriteria.whiteText, "");
        EXPECT_TRUE(searched.SearchCriteria.position);
        EXPECT_EQ(searched.SearchCriteria.pattern, d->pattern);
        EXPECT_EQ(d->Whitename->currentText(), "kept");
    }
}

// ---- the database window's New search --------------------------------------------------------

class NewSearch : public test_support::DatabaseWindowTest<SearchDialog> {
  protected:
    NewSearch() : DatabaseWindowTest("fsearch") {}
    void SetUp() override {
        SearchDialog::SetUp();
        Hand(&TDatabaseForm::TDialogs::FSearch, d);
        ASSERT_NO_FATAL_FAILURE(OpenRandomDatabase(Games, 11));
        Show(1000, 700);
    }

    static constexpr int Games = 120;
};

TEST_F(NewSearch, APlayersNamePartInAnotherCaseFindsTheGamesAndTheCaptionSaysFound) {
    // A Cyrillic White name of the database, and a part of it in upper case.
    std::vector<std::string> whites(Games + 1);
    std::string part;
    for (int n = 1; n <= Games; ++n) {
        TQuickGameHeader h;
        ASSERT_EQ(ReadQuickHeader(session().GameDatabase, n, h), TDbStatus::Ok);
        whites[std::size_t(n)] = Cp1251LowerString(h.white);
        if (part.empty() && h.white.size() >= 4 && static_cast<unsigned char>(h.white[1]) >= 0xC0)
            part = h.white.substr(1, 3);
    }
    ASSERT_FALSE(part.empty()) << "no Cyrillic name among the generated games";
    std::string upper;
    for (const char ch : part)
        upper += static_cast<char>(Cp1251Upper(static_cast<unsigned char>(ch)));
    std::vector<std::int32_t> expected;
    for (int n = 1; n <= Games; ++n)
        if (whites[std::size_t(n)].find(Cp1251LowerString(part)) != std::string::npos) expected.push_back(n);
    ASSERT_LT(expected.size(), std::size_t(Games));

    bool listsFilled = false;
    WhenShown(d, [&] {
        listsFilled = d->Whitename->count() > 0 && d->Tournament->count() > 0;
        d->Whitename->setEditText(QString::fromStdString(Cp1251ToUtf8(upper)));
        d->Button1->click();
    });
    form->Item("Search1")->trigger();
    EXPECT_TRUE(listsFilled);
    std::vector<std::int32_t> found;
    for (std::int32_t p = 1; p <= session().GameListCount(); ++p)
        found.push_back(session().GameList[p].gameNumber);
    EXPECT_EQ(found, expected);
    EXPECT_EQ(session().GameDatabase.currentGame, expected.empty() ? 0 : 1);
    const QString title = form->windowTitle();
    EXPECT_TRUE(title.endsWith(QString(" (found %1)").arg(expected.size()))) << title.toStdString();

    // Cancel leaves the list as the search left it.
    WhenShown(d, [this] {
        d->Whitename->setEditText("no such player at all");
        d->Button2->click();
    });
    form->Button("ToolButton4")->click();
    EXPECT_EQ(session().GameListCount(), std::int32_t(expected.size()));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(NewSearch, NeedsAnOpenDatabase) {
    CloseDatabase(session().GameDatabase);
    form->Search1Click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], "Database not opened.");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(form->Item("Search1")->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_TRUE(form->Item("Search1")->isEnabled());
    EXPECT_TRUE(form->Button("ToolButton4")->isEnabled());
}

} // namespace
