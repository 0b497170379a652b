#include "app/core/settings.h"

#include "app/core/shell_state.h"
#include "rules/variant_traits.h"

namespace {
// The settings file names the variants' engine and book keys as the variant table names them.
std::string VariantKey(int index) {
    return VariantTraits(index + 1).name;
}
const char* const kMain = "Main";
const char* const kEngines = "Engines";
const char* const kPictureKeys[4] = {"FigBKName", "FigBSName", "FigWSName", "FigWKName"};
// Pool has no book of its own: it starts with the Russian one.
const char* const kDefaultBooks[7] = {"Books/Russian.cbk", "Books/English.cbk", "Books/Brazilian.cbk",
                                      "Books/Russian.cbk", "Books/Italian.cbk", "Books/International.cbk",
                                      "Books/Czech.cbk"};

// A value outside [lo, hi] keeps the default instead of indexing a table out of range later.
int ReadRanged(const TIniFile& ini, const char* section, const std::string& key, int def, int lo, int hi) {
    const int v = ini.ReadInteger(section, key, def);
    return v >= lo && v <= hi ? v : def;
}

std::uint32_t ReadColor(const TIniFile& ini, const char* key, std::uint32_t def) {
    return static_cast<std::uint32_t>(ReadRanged(ini, kMain, key, static_cast<int>(def), 0, 0xFFFFFF));
}
} // namespace

TShellSettings DefaultShellSettings(const std::string& appDir, const TShellSettings& current) {
    TShellSettings s;
    s.darkSquares = current.darkSquares;
    s.lightSquares = current.lightSquares;
    s.gameFont = current.gameFont;
    s.databaseFont = current.databaseFont;
    s.pictures = DefaultPiecePictures(appDir);
    for (int i = 0; i < 7; ++i)
        s.engines.book[i] = appDir + kDefaultBooks[i];
    return s;
}

void ReadFontSetting(const TIniFile& ini, const std::string& prefix, TFontSetting& font) {
    font.name = ini.ReadString(kMain, prefix + "Name", font.name);
    font.charSet = ReadRanged(ini, kMain, prefix + "CharSet", font.charSet, 0, 255);
    font.size = ReadRanged(ini, kMain, prefix + "Size", font.size, 1, 1000);
}

void WriteFontSetting(TIniFile& ini, const std::string& prefix, const TFontSetting& font) {
    ini.WriteString(kMain, prefix + "Name", font.name);
    ini.WriteInteger(kMain, prefix + "CharSet", font.charSet & 0xFF);
    ini.WriteInteger(kMain, prefix + "Size", font.size);
}

void ReadShellSettings(const TIniFile& ini, TShellSettings& s) {
    s.playingMode = ini.ReadBool(kMain, "PlayingMode", s.playingMode);
    s.typeOfGame = ReadRanged(ini, kMain, "TypeOfGame", s.typeOfGame, 1, 7);
    s.sound = ini.ReadBool(kMain, "Sound", s.sound);
    s.highlightMove = ini.ReadBool(kMain, "HighlightMove", s.highlightMove);
    s.boardSize = ini.ReadInteger(kMain, "BoardSize", s.boardSize); // clamped by the layout
    s.darkSquares = ReadColor(ini, "BoardDarkSquares", s.darkSquares);
    s.lightSquares = ReadColor(ini, "BoardLightSquares", s.lightSquares);
    for (int i = 0; i < 4; ++i)
        s.pictures[i] = ini.ReadString(kMain, kPictureKeys[i], s.pictures[i]);
    s.language = ReadRanged(ini, kMain, "Language", s.language, 1, 5);
    s.notation = ReadRanged(ini, kMain, "Notation", s.notation, 0, 1);
    s.takeChar = ReadRanged(ini, kMain, "TakeChar", s.takeChar, 0, 1);
    TEngineOptionSettings& e = s.engines;
    for (int i = 0; i < 7; ++i)
        e.useBook[i] = ini.ReadBool(kEngines, VariantKey(i) + "UseBook", e.useBook[i]);
    for (int i = 0; i < 7; ++i)
        e.book[i] = ini.ReadString(kEngines, VariantKey(i) + "Book", e.book[i]);
    e.vantorMemory = ini.ReadInteger(kEngines, "VantorMemory", e.vantorMemory);
    e.trevaloMemory = ini.ReadInteger(kEngines, "TrevaloMemory", e.trevaloMemory);
    e.oskeenMemory = ini.ReadInteger(kEngines, "OskeenMemory", e.oskeenMemory);
    e.marrakMemory = ini.ReadInteger(kEngines, "MarrakMemory", e.marrakMemory);
    e.marrakItalianMemory = ini.ReadInteger(kEngines, "MarrakItalianMemory", e.marrakItalianMemory);
    for (int i = 0; i < 7; ++i)
        e.engine[i] = ini.ReadInteger(kEngines, VariantKey(i), e.engine[i]);
    ReadFontSetting(ini, "GameFont", s.gameFont);
    ReadFontSetting(ini, "DatabaseFont", s.databaseFont);
    s.database = ini.ReadString(kMain, "Database", s.database);
}

void WriteShellSettings(TIniFile& ini, const TShellSettings& s) {
    ini.WriteString(kMain, "Database", s.database);
    ini.WriteBool(kMain, "PlayingMode", s.playingMode);
    ini.WriteInteger(kMain, "TypeOfGame", s.typeOfGame);
    ini.WriteInteger(kMain, "Language", s.language);
    ini.WriteBool(kMain, "Sound", s.sound);
    ini.WriteBool(kMain, "HighlightMove", s.highlightMove);
    ini.WriteInteger(kMain, "Notation", s.notation);
    ini.WriteInteger(kMain, "TakeChar", s.takeChar);
    ini.WriteInteger(kMain, "BoardSize", s.boardSize);
    ini.WriteInteger(kMain, "BoardDarkSquares", static_cast<int>(s.darkSquares));
    ini.WriteInteger(kMain, "BoardLightSquares", static_cast<int>(s.lightSquares));
    for (int i = 0; i < 4; ++i)
        ini.WriteString(kMain, kPictureKeys[i], s.pictures[i]);
    const TEngineOptionSettings& e = s.engines;
    for (int i = 0; i < 7; ++i)
        ini.WriteInteger(kEngines, VariantKey(i), e.engine[i]);
    ini.WriteInteger(kEngines, "VantorMemory", e.vantorMemory);
    ini.WriteInteger(kEngines, "TrevaloMemory", e.trevaloMemory);
    ini.WriteInteger(kEngines, "OskeenMemory", e.oskeenMemory);
    ini.WriteInteger(kEngines, "MarrakMemory", e.marrakMemory);
    ini.WriteInteger(kEngines, "MarrakItalianMemory", e.marrakItalianMemory);
    for (int i = 0; i < 7; ++i)
        ini.WriteBool(kEngines, VariantKey(i) + "UseBook", e.useBook[i]);
    for (int i = 0; i < 7; ++i)
        ini.WriteString(kEngines, VariantKey(i) + "Book", e.book[i]);
    WriteFontSetting(ini, "GameFont", s.gameFont);
    WriteFontSetting(ini, "DatabaseFont", s.databaseFont);
}
