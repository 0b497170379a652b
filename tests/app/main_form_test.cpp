#include "app/core/board_geometry.h"
#include "app/core/builtin_engine.h"
#include "app/core/language.h"
#include "app/core/move_sound.h"
#include "app/core/shell_state.h"
#include "app/ui/captions.h"
#include "app/ui/forms.h"
#include "app/ui/interface_form.h"
#include "app/ui/main_form.h"
#include "app/ui/radio_group.h"
#include "app/ui/select_colors.h"
#include "app/ui/shell_prompts.h"
#include "main_window_fixture.h"
#include "rules/variant_state.h"
#include "session_fixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

// Starts the program in a directory of its own, as the program entry does.
using MainFormTest = TMainWindowFixture;
} // namespace

TEST_F(MainFormTest, FirstStartShowsTheDefaultsAndTheCloseWritesTheFile) {
    TMainForm* f = Start();
    EXPECT_EQ(Shell.AppDir, Dir() + "/");
    EXPECT_EQ(CurrentVariant, gtRussian);
    EXPECT_EQ(CurrentBoard(), StartPosition64);
    EXPECT_EQ(SideToMove(), 0);
    EXPECT_EQ(CurrentNode(), 0);
    EXPECT_EQ(Shell.AnalysisMode, 1);
    EXPECT_TRUE(f->Item("Analysis_Mode")->isChecked());
    EXPECT_TRUE(f->Item("N9")->isChecked());
    EXPECT_FALSE(f->Control("ClockLabel")->isVisible());
    EXPECT_TRUE(Shell.SoundOn);
    EXPECT_TRUE(form->InterfaceForm()->Highlight->isChecked());
    EXPECT_EQ(Shell.CaptureSeparator, ":");
    EXPECT_FALSE(Shell.FullNotation);
    EXPECT_EQ(BuiltinEngine().HashTable().Size(), 262'144u)
        << "the built-in engine's table from its 7 MB default";
    EXPECT_EQ(f->LanguageForSettings(), 1);
    EXPECT_EQ(static_cast<QLabel*>(f->Control("GameType"))->text(), "Russian");
    EXPECT_EQ(MoveSoundData.size(), 2612u);
    EXPECT_TRUE(f->windowState() & Qt::WindowMaximized);
    // As large as the window allows.
    const QWidget* client = f->Client();
    EXPECT_EQ(f->Layout().board, FitBoardSize(client->width(), client->height()));
    EXPECT_EQ(f->Control("BoardImage")->width(), f->Layout().board);
    EXPECT_EQ(Shell.BoardSizeSetting, 10000) << "the request stays; the board is what fits";
    EXPECT_EQ(f->BoardPicture().Image().size(), QSize(880, 880));

    EXPECT_FALSE(std::filesystem::exists(Ini()));
    Stop();
    ASSERT_TRUE(std::filesystem::exists(Ini()));
    TIniFile ini(Ini());
    EXPECT_EQ(ini.Find("Main", "PlayingMode"), "0");
    EXPECT_EQ(ini.Find("Main", "TypeOfGame"), "1");
    EXPECT_EQ(ini.Find("Main", "FigBKName"), Shell.AppDir + "Pics/default/bk.bmp");
    EXPECT_EQ(ini.Find("Engines", "PoolBook"), Shell.AppDir + "Books/Russian.cbk");
    EXPECT_TRUE(ini.Find("Main", "GameFontName"));
    EXPECT_EQ(ini.Find("Main", "Database"), "");
}

TEST_F(MainFormTest, SecondStartReadsTheSavedValuesBack) {
    {
        TIniFile ini(Ini());
        ini.WriteBool("Main", "PlayingMode", true);
        ini.WriteInteger("Main", "TypeOfGame", 6);
        ini.WriteBool("Main", "Sound", false);
        ini.WriteBool("Main", "HighlightMove", false);
        ini.WriteInteger("Main", "BoardSize", 250);
        ini.WriteInteger("Main", "BoardDarkSquares", 0x102030);
        ini.WriteInteger("Main", "Notation", 1);
        ini.WriteInteger("Main", "TakeChar", 1);
        ini.WriteInteger("Main", "Language", 3);
        ini.WriteString("Main", "FigWSName", RunDir() + "/Pics/default/bs.bmp");
        ini.WriteString("Main", "GameFontName", "DejaVu Serif");
        ini.WriteInteger("Main", "GameFontSize", 13);
        ini.WriteInteger("Main", "GameFontCharSet", 204);
        ini.WriteString("Main", "Database", "/nowhere/games.vqb");
        ini.WriteInteger("Engines", "VantorMemory", 33);
        ASSERT_TRUE(ini.Save());
    }
    TMainForm* f = Start();
    EXPECT_EQ(Shell.AnalysisMode, 0);
    EXPECT_TRUE(f->Item("PlayMode")->isChecked());
    EXPECT_TRUE(f->Control("ClockLabel")->isVisible());
    EXPECT_EQ(CurrentVariant, gtInternational);
    EXPECT_EQ(CurrentBoard(), StartPosition100);
    EXPECT_TRUE(f->Item("N22")->isChecked());
    // The variant label is built after the captions, in the saved language (Portuguese).
    EXPECT_EQ(static_cast<QLabel*>(f->Control("GameType"))->text(), PhraseString(10));
    EXPECT_NE(PhraseString(10), "International");
    EXPECT_EQ(CurrentLanguage(), 3);
    EXPECT_FALSE(Shell.SoundOn);
    EXPECT_FALSE(form->InterfaceForm()->Highlight->isChecked());
    EXPECT_EQ(f->Layout().board, 250);
    EXPECT_EQ(Shell.DarkSquareColor, 0x102030u);
    EXPECT_EQ(Shell.CaptureSeparator, "x");
    EXPECT_TRUE(Shell.FullNotation);
    EXPECT_EQ(f->LanguageForSettings(), 3);
    EXPECT_EQ(f->BoardPicture().PiecePicture(pcWhiteMan), f->BoardPicture().PiecePicture(pcBlackMan));
    EXPECT_EQ(f->Control("GamePanel")->font().pointSize(), 13);
    EXPECT_EQ(f->EngineOptionValues().vantorMemory, 33);
    Stop();
    // Written back unchanged, the database name included.
    TIniFile ini(Ini());
    EXPECT_EQ(ini.Find("Main", "TypeOfGame"), "6");
    EXPECT_EQ(ini.Find("Main", "BoardSize"), "250");
    EXPECT_EQ(ini.Find("Main", "GameFontCharSet"), "204");
    EXPECT_EQ(ini.Find("Main", "GameFontSize"), "13");
    EXPECT_EQ(ini.Find("Main", "Database"), "/nowhere/games.vqb");
    EXPECT_EQ(ini.Find("Engines", "VantorMemory"), "33");
    EXPECT_EQ(ini.Find("Main", "PlayingMode"), "1");
}

TEST_F(MainFormTest, GarbageInTheFileStartsWithTheDefaults) {
    {
        std::ofstream out(Ini());
        out << "[Main]\nTypeOfGame=0\nLanguage=77\nNotation=5\nTakeChar=9\nBoardSize=-300\nSound=yes\n"
               "FigBKName="
            << Dir() << "/broken.bmp\n";
        std::ofstream(Dir() + "/broken.bmp") << "not a picture";
    }
    TMainForm* f = Start();
    EXPECT_EQ(CurrentVariant, gtRussian);
    EXPECT_EQ(f->LanguageForSettings(), 1);
    EXPECT_EQ(form->InterfaceForm()->notation->ItemIndex(), 0);
    EXPECT_EQ(Shell.CaptureSeparator, ":");
    EXPECT_EQ(f->Layout().board, 200); // a board size below zero gives the smallest board
    EXPECT_TRUE(Shell.SoundOn);
    EXPECT_FALSE(f->BoardPicture().PiecePicture(pcBlackKing).isNull());
}

TEST_F(MainFormTest, TheBoardRegrowsWithTheWindow) {
    TMainForm* f = Start();
    f->showNormal();
    const auto resizeTo = [&](int w, int h) {
        f->resize(w, h);
        QCoreApplication::processEvents();
        const QWidget* client = f->Client();
        return std::pair{f->Layout().board, FitBoardSize(client->width(), client->height())};
    };
    const auto [large, largeFit] = resizeTo(1400, 950);
    EXPECT_EQ(large, largeFit);
    const auto [small, smallFit] = resizeTo(700, 520);
    EXPECT_EQ(small, smallFit);
    EXPECT_LT(small, large);
    const auto [again, againFit] = resizeTo(1400, 950);
    EXPECT_EQ(again, large) << "the board grows back with the window";
    EXPECT_EQ(f->Control("BoardImage")->width(), large);
}

TEST_F(MainFormTest, TheWindowSpeaksTheChosenLanguage) {
    TMainForm* f = Start();
    const std::pair<const char*, int> hints[] = {
        {"ToolButton2", 47},  {"ToolButton5", 12},  {"ToolButton4", 13},  {"ToolButton6", 2},
        {"ToolButton8", 14},  {"ToolButton9", 15},  {"ToolButton16", 36}, {"ToolButton12", 38},
        {"ToolButton17", 48}, {"ToolButton11", 35}, {"ToolButton18", 49}, {"ToolButton13", 39}};
    const char* items[5] = {"English1", "Russian1", "Portuguese1", "French1", "Italian1"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(items[i]);
        f->Item(items[i])->trigger();
        for (int j = 0; j < 5; ++j)
            EXPECT_EQ(f->Item(items[j])->isChecked(), i == j);
        EXPECT_EQ(static_cast<QLabel*>(f->Control("GameType"))->text(), PhraseString(5)); // Russian draughts
        EXPECT_EQ(static_cast<QTabWidget*>(f->Control("PageControl1"))->tabText(0), PhraseString(46));
        for (const auto& [name, phrase] : hints) {
            SCOPED_TRACE(name);
            auto* b = static_cast<QToolButton*>(f->Control(name));
            ASSERT_NE(b, nullptr);
            EXPECT_FALSE(b->icon().isNull()) << "a picture, not a clipped word";
            EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonIconOnly);
            EXPECT_EQ(b->toolTip(), PhraseString(phrase));
        }
    }
    EXPECT_EQ(PhraseString(46), QString::fromUtf8("Albero"));
    // The depth panel's word follows the language; its figures stay.
    static_cast<QLabel*>(f->Control("DepthPanel"))->setText(PhraseString(59) + " 7 (12/30)");
    f->Item("Russian1")->trigger();
    EXPECT_EQ(static_cast<QLabel*>(f->Control("DepthPanel"))->text(), PhraseString(59) + " 7 (12/30)");
    EXPECT_EQ(PhraseString(59), QString::fromUtf8("Глубина"));
}

TEST_F(MainFormTest, ToolButtonsWithoutACommandAreDisabledAndLookIt) {
    TMainForm* f = Start();
    // The darkest pixel of the button as it is drawn.
    const auto darkest = [&](const char* name) {
        const QImage img = f->Control(name)->grab().toImage();
        int d = 255;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                d = std::min(d, qGray(img.pixel(x, y)));
        return d;
    };
    for (const char* name : {"ToolButton17", "ToolButton18"}) { // "Search", "Internet game"
        SCOPED_TRACE(name);
        EXPECT_FALSE(f->Control(name)->isEnabled());
        EXPECT_GE(darkest(name), 150) << "drawn faded, as a disabled button";
    }
    // The same measure tells an enabled picture.
    for (const char* name : {"ToolButton12", "ToolButton11"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(f->Control(name)->isEnabled());
        EXPECT_LT(darkest(name), 150);
    }
}

TEST_F(MainFormTest, TheBoardSizeMenuShowsTheChoice) {
    TMainForm* f = Start();
    EXPECT_TRUE(f->Item("N20")->isChecked()) << "Large by default";
    for (const char* item : {"N18", "N19", "N20"}) {
        SCOPED_TRACE(item);
        f->Item(item)->trigger();
        for (const char* other : {"N18", "N19", "N20"})
            EXPECT_EQ(f->Item(other)->isChecked(), std::string(item) == other);
    }
}

TEST_F(MainFormTest, BoardSizeCommandsAndReversal) {
    TMainForm* f = Start();
    const int fit = FitBoardSize(f->Client()->width(), f->Client()->height());
    f->N18Click();
    EXPECT_EQ(f->Layout().board, 200);
    f->N19Click();
    EXPECT_EQ(f->Layout().board, (fit + 200) / 2);
    f->N20Click();
    EXPECT_EQ(f->Layout().board, fit);
    EXPECT_EQ(Shell.BoardSizeSetting, 10000);
    const QImage before = f->BoardPicture().Image();
    f->N28Click();
    EXPECT_EQ(Shell.BoardReversed, 1);
    EXPECT_TRUE(f->Item("N28")->isChecked());
    EXPECT_NE(f->BoardPicture().Image(), before);
    f->N28Click();
    EXPECT_EQ(f->BoardPicture().Image(), before);
    EXPECT_FALSE(TMainForm::FormCanResize(499, 800));
    EXPECT_FALSE(TMainForm::FormCanResize(800, 379));
    EXPECT_TRUE(TMainForm::FormCanResize(500, 380));
}

TEST_F(MainFormTest, VariantChangeKeepsTheGameUnlessTheBoardSizeChanges) {
    TMainForm* f = Start();
    TBoard changed = CurrentBoard();
    changed[1] = 0;
    GameSession().NewGame(changed, 0); // a changed position
    f->SetGameType(gtEnglish, false);
    EXPECT_EQ(CurrentBoard()[1], 0);
    EXPECT_EQ(static_cast<QLabel*>(f->Control("GameType"))->text(), "English");
    f->SetGameType(gtInternational, false);
    EXPECT_EQ(CurrentBoard(), StartPosition100);
    f->SetGameType(gtRussian, false);
    EXPECT_EQ(CurrentBoard(), StartPosition64);
}

TEST_F(MainFormTest, InterfaceDialogSetsTheNotationAndTheSound) {
    TMainForm* f = Start();
    // The dialog takes SoundOn when shown; the main window reads the radio groups after it closes.
    QTimer::singleShot(0, [this] {
        EXPECT_TRUE(form->InterfaceForm()->Sound->isChecked());
        form->InterfaceForm()->Sound->setChecked(false);
        form->InterfaceForm()->TakeChar->SetItemIndex(1);
        form->InterfaceForm()->notation->SetItemIndex(1);
        form->InterfaceForm()->close();
    });
    f->Interface1Click();
    EXPECT_FALSE(Shell.SoundOn);
    EXPECT_EQ(Shell.CaptureSeparator, "x");
    EXPECT_TRUE(Shell.FullNotation);
}

TEST_F(MainFormTest, HighlightLastMoveSwitchesTheHighlightOnTheBoardAtOnce) {
    TMainForm* f = Start();
    CountEngine();
    Shell.SoundOn = false;
    f->PlayModeClick();
    // c3-d4 with the mouse; c3 is then empty, so its square shows the highlight alone.
    const int from = XYToSquare(2, 2, 1), to = XYToSquare(3, 3, 1);
    for (int sq : {from, to}) {
        const TSquareCells c = SquareCells(sq, CurrentVariant, false);
        const double k = f->Control("BoardImage")->width() / 880.0;
        QTest::mouseClick(f->Control("BoardImage"), Qt::LeftButton, {},
                          QPoint(int((c.darkX + c.size / 2) * k), int((c.y + c.size / 2) * k)));
    }
    ASSERT_EQ(CurrentNode(), 1);
    const auto highlighted = [&] {
        const TSquareCells c = SquareCells(from, CurrentVariant, false);
        return f->BoardPicture().Image().pixel(c.darkX + c.size / 2, c.y + c.size / 2) == qRgb(255, 0, 0);
    };
    EXPECT_TRUE(highlighted());
    // The box switched in the dialog, the board behind it redrawn by the running timer.
    for (bool on : {false, true}) {
        SCOPED_TRACE(on);
        bool seen = false;
        WhenShown(form->InterfaceForm(), [&] {
            // On the box itself: the check box is as wide as the dialog, its label is not.
            const int h = form->InterfaceForm()->Highlight->height();
            QTest::mouseClick(form->InterfaceForm()->Highlight, Qt::LeftButton, {}, QPoint(h / 2, h / 2));
            auto* poll = new QTimer(form->InterfaceForm());
            QObject::connect(poll, &QTimer::timeout, form->InterfaceForm(), [&, poll] {
                if (highlighted() != on) return;
                seen = true;
                poll->deleteLater();
                form->InterfaceForm()->Button1->click();
            });
            poll->start(5);
        });
        f->Interface1Click();
        EXPECT_TRUE(seen);
        EXPECT_EQ(form->InterfaceForm()->Highlight->isChecked(), on);
    }
    // Saved as it was left.
    WhenShown(form->InterfaceForm(), [this] {
        form->InterfaceForm()->Highlight->setChecked(false);
        form->InterfaceForm()->Button1->click();
    });
    f->Interface1Click();
    Stop();
    EXPECT_EQ(TIniFile(Ini()).Find("Main", "HighlightMove"), "0");
}

TEST_F(MainFormTest, DefaultColorsAskForARestartWhenPicturesAreMissing) {
    Start();
    Shell.DarkSquareColor = 0x010203;
    form->SelectColors()->Button2Click();
    EXPECT_EQ(Shell.DarkSquareColor, DefaultDarkSquareColor);
    EXPECT_EQ(Shell.PiecePictures[0], Shell.AppDir + "Pics/default/bk.bmp");
    EXPECT_EQ(prompts.messages, QStringList{"To see changes for figures please restart application"});
}

TEST_F(MainFormTest, SettingsFollowTheCurrentDirectoryHoweverLongItsName) {
    // A directory name far past 255 characters: the settings file is still found and written there.
    std::filesystem::path deep = Dir();
    for (int i = 0; i < 6; ++i)
        deep /= std::string(60, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    Start();
    EXPECT_EQ(Shell.AppDir, deep.string() + "/");
    EXPECT_GT(Shell.AppDir.size(), 255u);
    Stop();
    EXPECT_TRUE(std::filesystem::exists(deep / "tavrix.ini"));
    EXPECT_FALSE(std::filesystem::exists(Ini())); // not in the directory of the first start
    EXPECT_EQ(TIniFile((deep / "tavrix.ini").string()).Find("Main", "FigBKName"),
              Shell.AppDir + "Pics/default/bk.bmp");
}

TEST_F(MainFormTest, MoveSoundComesFromTheResourcesAndADamagedOneStaysSilent) {
    EXPECT_TRUE(LoadMoveSound(RunDir() + "/Resources/Move.wav"));
    EXPECT_EQ(MoveSoundData.size(), 2612u);
    const std::string damaged = Dir() + "/Move.wav";
    {
        std::ifstream in(RunDir() + "/Resources/Move.wav", std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        bytes.resize(60); // the data chunk is cut off
        std::ofstream(damaged, std::ios::binary) << bytes;
    }
    EXPECT_FALSE(LoadMoveSound(damaged));
    EXPECT_TRUE(MoveSoundData.empty());
    EXPECT_FALSE(LoadMoveSound(Dir() + "/none.wav"));
    PlayMoveSound(); // no data: returns at once, plays nothing
}

TEST_F(MainFormTest, SelectColorsTakesEffectAtOnceAndKeepsPicturesThatDoNotLoad) {
    TMainForm* f = Start();
    prompts.color = 0x0000FF; // red in a Windows colour value
    form->SelectColors()->lightcolorClick();
    EXPECT_EQ(Shell.LightSquareColor, 0x0000FFu);
    const QImage& img = f->BoardPicture().Image();
    EXPECT_TRUE(img.pixel(37, 400) == qRgb(255, 0, 0) || img.pixel(38, 400) == qRgb(255, 0, 0)); // the frame
    prompts.color.reset();
    form->SelectColors()->darkcolorClick(); // cancelled: nothing changes
    EXPECT_EQ(Shell.DarkSquareColor, DefaultDarkSquareColor);

    const std::string bad = Dir() + "/bad.bmp";
    std::ofstream(bad) << "BM broken";
    prompts.file = QString::fromStdString(bad);
    const QImage before = f->BoardPicture().PiecePicture(pcWhiteKing);
    const std::string nameBefore = Shell.PiecePictures[pcWhiteKing];
    form->SelectColors()->PictureClick(pcWhiteKing);
    EXPECT_EQ(prompts.openedWith, (QStringList{"*.BMP", QString::fromStdString(Shell.AppDir + "Pics")}));
    EXPECT_EQ(f->BoardPicture().PiecePicture(pcWhiteKing), before);
    EXPECT_EQ(Shell.PiecePictures[pcWhiteKing], nameBefore);
    EXPECT_EQ(prompts.messages.size(), 1);

    prompts.file = QString::fromStdString(RunDir() + "/Pics/default/bk.bmp");
    form->SelectColors()->PictureClick(pcWhiteKing);
    EXPECT_EQ(Shell.PiecePictures[pcWhiteKing], RunDir() + "/Pics/default/bk.bmp");
    EXPECT_EQ(f->BoardPicture().PiecePicture(pcWhiteKing), f->BoardPicture().PiecePicture(pcBlackKing));

    // The dialog shows the pictures as the board draws them: no background colour around the piece.
    form->SelectColors()->ShowPictures();
    for (QLabel* label : {form->SelectColors()->bk, form->SelectColors()->bs, form->SelectColors()->ws,
                          form->SelectColors()->wk}) {
        SCOPED_TRACE(label->objectName().toStdString());
        const QImage shown = label->pixmap().toImage();
        ASSERT_FALSE(shown.isNull());
        EXPECT_EQ(qAlpha(shown.pixel(0, shown.height() - 1)), 0);
        EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(shown.pixel(shown.width() / 2, shown.height() / 2)), 255);
    }
}
