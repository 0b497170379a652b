// The game information dialog offscreen, driven as a user drives it: Cancel keeps the header, OK
// copies every control back, names outside the lists are kept and stored, the player rows follow
// the variant, and stored values no control can show survive an untouched OK.

#include "gamedb/ui/database_hooks.h"
#include "gamedb/ui/game_info_form.h"
#include "tests/support/random_games.h"
#include "tests/support/temp_dir.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

class GameInfoDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog = new TGameInfoForm;
        DatabaseHooks().phrase = [](int k) {
            return std::string(k == 56 ? "White" : k == 57 ? "Black" : "");
        };
    }
    void TearDown() override {
        delete dialog;
        ResetDatabaseHooks();
        CloseDatabase(GameDatabase);
    }

    TGameInfoForm* dialog = nullptr;
    // The database the name lists come from (closed unless a test opens it).
    TGameDatabase GameDatabase;

    // Opens the dialog on `h`; `user` runs once it shows and ends with a button.
    bool Edit(TQuickGameHeader& h, const std::function<void(TGameInfoForm&)>& user) {
        QTimer::singleShot(0, dialog, [this, user] { user(*dialog); });
        return EditGameInfo(dialog, h, &GameDatabase);
    }

    static TQuickGameHeader Sample() {
        TQuickGameHeader h;
        h.white = "Ivanov";
        h.black = "Petrov";
        h.tournament = "Cup";
        h.site = "Riga";
        h.annotator = "Smith";
        TGameIndexRecord& r = h.header;
        r.whiteTitle = 2;
        r.whiteRating = 2400;
        r.blackTitle = 4;
        r.blackRating = 2300;
        r.round = 3;
        r.subround = 1;
        r.year = 1999;
        r.month = 5;
        r.day = 17;
        r.result = 1;
        r.variant = gtRussian;
        return h;
    }
};

TEST_F(GameInfoDialog, CancelAfterEditsChangesNothing) {
    TQuickGameHeader h = Sample();
    const TQuickGameHeader before = h;
    const bool ok = Edit(h, [](TGameInfoForm& f) {
        QTest::keyClicks(f.WhiteName->lineEdit(), "xyz");
        f.BlackTitle->setCurrentIndex(7);
        f.Year->setValue(1800);
        f.Result->setCurrentIndex(3);
        f.Cancel->click();
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(h.header, before.header);
    EXPECT_EQ(h.white, before.white);
    EXPECT_EQ(h.tournament, before.tournament);

    // Escape is Cancel too.
    EXPECT_FALSE(Edit(h, [](TGameInfoForm& f) {
        f.Day->setValue(1);
        QTest::keyClick(&f, Qt::Key_Escape);
    }));
    EXPECT_EQ(h.header, before.header);
}

TEST_F(GameInfoDialog, OkCopiesEveryField) {
    TQuickGameHeader h = Sample();
    const bool ok = Edit(h, [](TGameInfoForm& f) {
        f.WhiteName->setEditText("Kuznetsov");
        f.BlackName->setEditText("Baker");
        f.Tournament->setEditText("Open");
        f.Site->setEditText("Kiev");
        f.Annotatorname->setEditText("");
        f.WhiteTitle->setCurrentIndex(9);
        f.WhiteRat->setValue(1500);
        f.WhiteCountry->setCurrentIndex(0);
        f.BlackTitle->setCurrentIndex(0);
        f.BlackRat->setValue(0);
        f.Round->setValue(255);
        f.Subround->setValue(99);
        f.Year->setValue(2100);
        f.Month->setValue(12);
        f.Day->setValue(31);
        f.Result->setCurrentIndex(5);
        f.OkButton->click();
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(h.white, "Kuznetsov");
    EXPECT_EQ(h.black, "Baker");
    EXPECT_EQ(h.tournament, "Open");
    EXPECT_EQ(h.site, "Kiev");
    EXPECT_EQ(h.annotator, "");
    const TGameIndexRecord& r = h.header;
    EXPECT_EQ(r.whiteTitle, 9);
    EXPECT_EQ(r.whiteRating, 1500);
    EXPECT_EQ(r.whiteCountry, 0);
    EXPECT_EQ(r.blackTitle, 0);
    EXPECT_EQ(r.blackRating, 0);
    EXPECT_EQ(r.round, 255);
    EXPECT_EQ(r.subround, 99);
    EXPECT_EQ(r.year, 2100);
    EXPECT_EQ(r.month, 12);
    EXPECT_EQ(r.day, 31);
    EXPECT_EQ(r.result, 5);
}

TEST_F(GameInfoDialog, CyrillicNamesRoundTripThroughTheControls) {
    TQuickGameHeader h = Sample();
    h.white = "\xC8\xE2\xE0\xED\xEE\xE2"; // "Иванов" in CP1251
    ASSERT_TRUE(Edit(h, [](TGameInfoForm& f) {
        EXPECT_EQ(f.WhiteName->currentText(), QString::fromUtf8("Иванов"));
        f.BlackName->setEditText(QString::fromUtf8("Пётр"));
        f.OkButton->click();
    }));
    EXPECT_EQ(h.white, "\xC8\xE2\xE0\xED\xEE\xE2");
    EXPECT_EQ(h.black, "\xCF\xB8\xF2\xF0");
    // Letters code page 1251 lacks keep their base letter rather than becoming "?".
    ASSERT_TRUE(Edit(h, [](TGameInfoForm& f) {
        f.WhiteName->setEditText(QString::fromUtf8("Loïc Müller-Łukasz"));
        f.OkButton->click();
    }));
    EXPECT_EQ(h.white, "Loic Muller-Lukasz");
}

TEST_F(GameInfoDialog, UnknownNameIsKeptAndStoredIntoTheList) {
    test_support::TTempDir dir("gameinfo");
    const std::string file = dir.File("g.vqb");
    ASSERT_TRUE(test_support::WriteRandomDatabase(file, 3, 11));
    OpenDatabase(file, GameDatabase);
    ASSERT_TRUE(GameDatabase.open);
    TQuickGameHeader h;
    ASSERT_EQ(ReadQuickHeader(GameDatabase, 2, h), TDbStatus::Ok);
    const std::size_t players = GameDatabase.players.Size();

    ASSERT_TRUE(Edit(h, [](TGameInfoForm& f) {
        // The lists come from the open database.
        EXPECT_GT(f.BlackName->count(), 0);
        EXPECT_EQ(f.WhiteName->count(), f.BlackName->count());
        f.WhiteName->setEditText("Zzyzx Newcomer");
        f.OkButton->click();
    }));
    EXPECT_EQ(h.white, "Zzyzx Newcomer");
    ASSERT_EQ(WriteQuickHeader(GameDatabase, 2, h), TDbStatus::Ok);
    EXPECT_EQ(GameDatabase.players.Size(), players + 1);
    CloseDatabase(GameDatabase);

    OpenDatabase(file, GameDatabase);
    ASSERT_TRUE(GameDatabase.open);
    TQuickGameHeader back;
    ASSERT_EQ(ReadQuickHeader(GameDatabase, 2, back), TDbStatus::Ok);
    EXPECT_EQ(back.white, "Zzyzx Newcomer");
    EXPECT_EQ(back.black, h.black);
}

TEST_F(GameInfoDialog, ThePlayerRowsFollowTheVariantBeingEdited) {
    const struct {
        TGameType variant;
        const char* first;
    } cases[] = {{gtRussian, "White"}, {gtEnglish, "Black"},       {gtBrazilian, "White"}, {gtPool, "Black"},
                 {gtItalian, "White"}, {gtInternational, "White"}, {gtCzech, "White"}};
    for (const auto& c : cases) {
        TQuickGameHeader h = Sample();
        h.header.variant = static_cast<std::uint8_t>(c.variant);
        QString first, second;
        Edit(h, [&](TGameInfoForm& f) {
            first = f.Label1->text();
            second = f.Label2->text();
            f.Cancel->click();
        });
        EXPECT_EQ(first, c.first) << int(c.variant);
        EXPECT_EQ(second, QString(c.first) == "White" ? "Black" : "White") << int(c.variant);
    }
}

TEST_F(GameInfoDialog, StoredValuesNoControlCanShowSurviveAnUntouchedOk) {
    TQuickGameHeader h = Sample();
    TGameIndexRecord& r = h.header;
    r.whiteCountry = 3;
    r.blackCountry = 200;
    r.whiteTitle = 12;
    r.result = 7;
    r.whiteRating = 3500;
    r.blackRating = 65535;
    r.subround = 150;
    r.year = 2500;
    r.month = 13;
    r.day = 40;
    const TQuickGameHeader before = h;
    ASSERT_TRUE(Edit(h, [](TGameInfoForm& f) { f.OkButton->click(); }));
    EXPECT_EQ(h.header, before.header);

    // A control the user does change takes its new value; the others stay.
    ASSERT_TRUE(Edit(h, [](TGameInfoForm& f) {
        f.Month->setValue(2);
        f.Result->setCurrentIndex(2);
        f.OkButton->click();
    }));
    EXPECT_EQ(h.header.month, 2);
    EXPECT_EQ(h.header.result, 2);
    EXPECT_EQ(h.header.day, 40);
    EXPECT_EQ(h.header.whiteRating, 3500);
    EXPECT_EQ(h.header.whiteTitle, 12);
    EXPECT_EQ(h.header.whiteCountry, 3);
}

} // namespace
