#include "app/core/ini_file.h"
#include "app/core/settings.h"
#include "platform/file_io.h"
#include "tests/support/odd_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {
class TempDir {
  public:
    TempDir() {
        char tmpl[] = "/tmp/vq_settings_XXXXXX";
        m_path = mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(m_path); }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    std::string Dir() const { return m_path + "/"; }

  private:
    std::string m_path;
};

TShellSettings Current() {
    TShellSettings cur;
    cur.gameFont = {"DejaVu Sans", 204, 11};
    cur.databaseFont = {"DejaVu Serif", 0, 9};
    return cur;
}

// Every value differs from its default.
TShellSettings Changed(const std::string& dir) {
    TShellSettings s = DefaultShellSettings(dir, Current());
    s.playingMode = true;
    s.typeOfGame = 6;
    s.sound = false;
    s.highlightMove = false;
    s.boardSize = 640;
    s.darkSquares = 0x112233;
    s.lightSquares = 0xABCDEF;
    s.pictures = {dir + "a/bk 1.bmp", dir + "b=bs.bmp", dir + "c,ws.bmp", "C:/x;wk.bmp"};
    s.language = 2;
    s.notation = 1;
    s.takeChar = 1;
    for (int i = 0; i < 7; ++i) {
        s.engines.useBook[i] = i % 2 == 1;
        s.engines.book[i] = dir + "Books/b" + std::to_string(i) + ".cbk";
        s.engines.engine[i] = 3 + i;
    }
    s.engines.vantorMemory = 64;
    s.engines.trevaloMemory = 2;
    s.engines.oskeenMemory = 3;
    s.engines.marrakMemory = 16;
    s.engines.marrakItalianMemory = 32;
    s.gameFont = {"Liberation Mono", 238, 14};
    s.databaseFont = {"Noto Sans", 1, 8};
    s.database = dir + "Bases/My games.vqb";
    return s;
}
} // namespace

TEST(SettingsTest, NoFileGivesEveryDefault) {
    TempDir d;
    TIniFile ini(d.File("tavrix.ini"));
    TShellSettings s = DefaultShellSettings(d.Dir(), Current());
    ReadShellSettings(ini, s);
    EXPECT_FALSE(s.playingMode);
    EXPECT_EQ(s.typeOfGame, 1);
    EXPECT_TRUE(s.sound);
    EXPECT_TRUE(s.highlightMove);
    EXPECT_EQ(s.boardSize, 10000);
    EXPECT_EQ(s.darkSquares, 0x808040u);
    EXPECT_EQ(s.lightSquares, 0xF0F0E3u);
    EXPECT_EQ(s.pictures[0], d.Dir() + "Pics/default/bk.bmp");
    EXPECT_EQ(s.pictures[3], d.Dir() + "Pics/default/wk.bmp");
    EXPECT_EQ(s.language, 1);
    EXPECT_EQ(s.notation, 0);
    EXPECT_EQ(s.takeChar, 0);
    EXPECT_EQ(s.engines.book[3], d.Dir() + "Books/Russian.cbk"); // Pool starts with the Russian book
    EXPECT_EQ(s.engines.book[5], d.Dir() + "Books/International.cbk");
    EXPECT_EQ(s.engines.engine, (std::array<int, 7>{1, 1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(s.engines.vantorMemory, 7);
    EXPECT_EQ(s.engines.marrakItalianMemory, 8);
    EXPECT_EQ(s.gameFont, Current().gameFont); // fonts keep their current values
    EXPECT_TRUE(s.database.empty());
}

TEST(SettingsTest, EveryKeyRoundTripsThroughTheFile) {
    TempDir d;
    const TShellSettings written = Changed(d.Dir());
    {
        TIniFile ini(d.File("tavrix.ini"));
        WriteShellSettings(ini, written);
        std::string err;
        ASSERT_TRUE(ini.Save(&err)) << err;
    }
    TIniFile again(d.File("tavrix.ini"));
    TShellSettings read = DefaultShellSettings(d.Dir(), Current());
    ReadShellSettings(again, read);
    EXPECT_EQ(read, written);
    EXPECT_FALSE(fs::exists(d.File("tavrix.ini.tmp")));
}

TEST(SettingsTest, FontsAreKeysOfSectionMain) {
    TIniFile ini;
    TShellSettings s = Changed("/x/");
    WriteShellSettings(ini, s);
    EXPECT_EQ(ini.Find("Main", "GameFontName"), "Liberation Mono");
    EXPECT_EQ(ini.Find("Main", "GameFontCharSet"), "238");
    EXPECT_EQ(ini.Find("Main", "DatabaseFontSize"), "8");
    EXPECT_FALSE(ini.Find("GameFont", "Name"));
    EXPECT_EQ(ini.Find("Engines", "PoolUseBook"), "1");
    EXPECT_EQ(ini.Find("Engines", "CzechBook"), "/x/Books/b6.cbk");
    EXPECT_EQ(ini.Find("Main", "PlayingMode"), "1");
}

TEST(SettingsTest, GarbageAndOutOfRangeValuesGiveDefaults) {
    TIniFile ini;
    ini.Parse("[main]\n"
              "typeofgame=9\nLanguage=0\nNotation=2\nTakeChar=-1\n"
              "Sound=abc\nHighlightMove=\nBoardSize=12px\n"
              "BoardDarkSquares=-5\nBoardLightSquares=99999999999\n"
              "GameFontCharSet=300\nGameFontSize=0\nGameFontName=Mono\n"
              "[ENGINES]\nVantorMemory= 12 \nRussian=x\n");
    TShellSettings s = DefaultShellSettings("/a/", Current());
    ReadShellSettings(ini, s);
    EXPECT_EQ(s.typeOfGame, 1);
    EXPECT_EQ(s.language, 1);
    EXPECT_EQ(s.notation, 0);
    EXPECT_EQ(s.takeChar, 0);
    EXPECT_TRUE(s.sound);
    EXPECT_TRUE(s.highlightMove);
    EXPECT_EQ(s.boardSize, 10000);
    EXPECT_EQ(s.darkSquares, 0x808040u);
    EXPECT_EQ(s.lightSquares, 0xF0F0E3u);
    EXPECT_EQ(s.gameFont.charSet, 204); // out of range: the font keeps its property
    EXPECT_EQ(s.gameFont.size, 11);
    EXPECT_EQ(s.gameFont.name, "Mono");
    EXPECT_EQ(s.engines.vantorMemory, 12); // names without case, values trimmed
    EXPECT_EQ(s.engines.engine[0], 1);
}

TEST(SettingsTest, BooleansReadAnyNonZeroAsTrue) {
    TIniFile ini;
    ini.Parse("[Main]\nPlayingMode=7\nSound=0\n");
    EXPECT_TRUE(ini.ReadBool("Main", "PlayingMode", false));
    EXPECT_FALSE(ini.ReadBool("Main", "Sound", true));
}

TEST(IniFileTest, ValuesStandAsTheyAre) {
    TIniFile ini;
    ini.WriteString("Main", "FigBKName", "C:\\pics\\a,b;c=d.bmp");
    ini.WriteString("Main", "Database", "two\nlines");
    TIniFile back;
    back.Parse(ini.Serialize());
    EXPECT_EQ(back.ReadString("Main", "FigBKName", ""), "C:\\pics\\a,b;c=d.bmp");
    EXPECT_EQ(back.ReadString("Main", "Database", ""), "two lines");
    ini.WriteInteger("main", "figbkname", 5); // same key, other case: replaced, not added
    EXPECT_EQ(ini.Serialize(), "[Main]\nFigBKName=5\nDatabase=two lines\n");
}

// A lone CR ends a line as LF does (found by the fuzz entry: a value holding a CR was written back
// with a blank in its place, so the setting changed on every start).
TEST(IniFileTest, ALoneCarriageReturnEndsALine) {
    TIniFile ini;
    ini.Parse("[Main]\rDatabase=/a/x.vqb\rSound=0\r\n[Engines]\nVantorMemory=9\r");
    EXPECT_EQ(ini.ReadString("Main", "Database", ""), "/a/x.vqb");
    EXPECT_FALSE(ini.ReadBool("Main", "Sound", true));
    EXPECT_EQ(ini.ReadInteger("Engines", "VantorMemory", 0), 9);
    TShellSettings read = DefaultShellSettings("/a/", Current());
    ReadShellSettings(ini, read);
    TIniFile out;
    WriteShellSettings(out, read);
    TShellSettings back = DefaultShellSettings("/a/", Current());
    ReadShellSettings(out, back);
    EXPECT_EQ(back, read);
}

TEST(IniFileTest, SaveFailureKeepsTheOldFile) {
    TempDir d;
    const std::string path = d.File("tavrix.ini");
    { std::ofstream(path) << "[Main]\nSound=0\n"; }
    TIniFile ini(path);
    ini.WriteBool("Main", "Sound", true);
    std::string err;
    {
        test_support::TFileSizeLimit limit(4); // the new file cannot be written whole
        EXPECT_FALSE(ini.Save(&err));
    }
    EXPECT_FALSE(err.empty());
    EXPECT_FALSE(TIniFile(path).ReadBool("Main", "Sound", true));
}

TEST(IniFileTest, ASettingsFileThatIsNoRegularFileIsIgnoredAndKept) {
    // A FIFO would block the start-up in open() for ever, /dev/zero would be read without end;
    // each gives the defaults, says why, and is still there, unchanged, after the save at exit.
    TempDir d;
    const std::string path = d.File("tavrix.ini");
    std::vector<std::string> refusals, saveErrors;
    const auto taken = test_support::OddFilesTaken(path, [&](const std::string& p) {
        TIniFile ini(p);
        const bool read = !ini.Serialize().empty(); // empty: every key gives its default
        refusals.push_back(ini.Refused());
        WriteShellSettings(ini, Changed(d.Dir()));
        std::string error;
        const bool saved = ini.Save(&error);
        saveErrors.push_back(error);
        return read || saved || RegularFileExists(p);
    });
    EXPECT_EQ(taken, std::vector<std::string>{});
    ASSERT_EQ(refusals.size(), 3u);
    for (std::size_t i = 0; i < refusals.size(); ++i) {
        EXPECT_NE(refusals[i].find(path), std::string::npos) << refusals[i];
        EXPECT_NE(refusals[i].find("not a regular file"), std::string::npos) << refusals[i];
        EXPECT_NE(saveErrors[i].find("not written over"), std::string::npos) << saveErrors[i];
    }
    // A missing file is no refusal: it is written at exit.
    TIniFile fresh(d.File("new.ini"));
    EXPECT_EQ(fresh.Refused(), "");
    fresh.WriteInteger("Main", "Language", 2);
    EXPECT_TRUE(fresh.Save());
    EXPECT_EQ(TIniFile(d.File("new.ini")).ReadInteger("Main", "Language", 1), 2);
}

TEST(IniFileTest, PythonConfigParserReadsWhatWeWrite) {
    if (std::system("python3 -c 'import configparser' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 not available";
    TempDir d;
    TIniFile ini(d.File("tavrix.ini"));
    WriteShellSettings(ini, Changed(d.Dir()));
    ASSERT_TRUE(ini.Save());
    const std::string cmd =
        "python3 -c \"import configparser,sys; c=configparser.ConfigParser(interpolation=None); "
        "c.read(sys.argv[1]); assert c['Main']['TypeOfGame']=='6'; "
        "assert c['Engines']['MarrakItalianMemory']=='32'; "
        "assert c['Main']['FigWSName'].endswith('c,ws.bmp')\" " +
        d.File("tavrix.ini");
    EXPECT_EQ(std::system(cmd.c_str()), 0);
}
