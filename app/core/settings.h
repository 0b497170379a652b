#pragma once
// Every value of "tavrix.ini", with its default, read and written in one place.
// The shell reads the file once at start-up and writes it once at shutdown; the dialogs only
// change the values in memory. User-interface thread only.

#include "app/core/ini_file.h"

#include <array>
#include <cstdint>
#include <string>

struct TFontSetting {
    std::string name;
    int charSet = 1; // 0..255
    int size = 10;   // points, > 0
    bool operator==(const TFontSetting&) const = default;
};

// The values of the engine-options dialog, kept here until that dialog binds to them.
struct TEngineOptionSettings {
    std::array<bool, 7> useBook{true, true, true, true, true, true, true};
    std::array<std::string, 7> book; // Russian .. Czech
    int vantorMemory = 7, trevaloMemory = 1, oskeenMemory = 1, marrakMemory = 8, marrakItalianMemory = 8;
    std::array<int, 7> engine{1, 1, 0, 0, 1, 0, 0}; // item index of each variant's engine box
    bool operator==(const TEngineOptionSettings&) const = default;
};

struct TShellSettings {
    bool playingMode = false;
    int typeOfGame = 1;
    bool sound = true;
    bool highlightMove = true;
    int boardSize = 10000;
    std::uint32_t darkSquares = 0x808040;
    std::uint32_t lightSquares = 0xF0F0E3;
    std::array<std::string, 4> pictures; // bk, bs, ws, wk
    int language = 1;
    int notation = 0; // 0 short, 1 full
    int takeChar = 0; // 0 ":", 1 "x"
    TEngineOptionSettings engines;
    TFontSetting gameFont, databaseFont;
    std::string database; // the ".vqb" file open at the last exit
    bool operator==(const TShellSettings&) const = default;
};

// The defaults of a start with no settings file in `appDir`. Colours and fonts are "the current
// values": the caller passes them in `current`.
TShellSettings DefaultShellSettings(const std::string& appDir, const TShellSettings& current);

// Reads every key into `s`, whose values are the defaults (see DefaultShellSettings). A missing
// key, a value that does not parse, or one outside its range keeps the default. A font key that is
// missing or out of range leaves that font property unchanged.
void ReadShellSettings(const TIniFile& ini, TShellSettings& s);
void ReadFontSetting(const TIniFile& ini, const std::string& prefix, TFontSetting& font);

// Writes every key in the order of the shutdown: "Database" first, then the rest.
void WriteShellSettings(TIniFile& ini, const TShellSettings& s);
void WriteFontSetting(TIniFile& ini, const std::string& prefix, const TFontSetting& font);
