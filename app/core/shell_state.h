#pragma once
// Process-wide state of the shell: the display settings and the modes (the game and the position
// shown belong to the game session, game_session.h). Written on the user-interface thread. The
// atomics are also read by the engine thread (the move sound, the mode); the others belong to the
// user-interface thread alone.

#include "rules/board.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

// The current directory at start-up followed by "/"; the base of every relative path.
extern std::string AppDir;

// 1 analysis/view mode, 0 play mode.
extern std::atomic<std::uint8_t> AnalysisMode;
// 1 while a position is being set up.
extern std::uint8_t SetupMode;

// Display settings.
constexpr std::uint32_t DefaultDarkSquareColor = 0x808040; // Windows colour value, blue high
constexpr std::uint32_t DefaultLightSquareColor = 0xF0F0E3;
extern std::uint32_t DarkSquareColor;
extern std::uint32_t LightSquareColor;
extern int BoardSizeSetting;       // requested board edge in screen pixels
extern std::uint8_t BoardReversed; // 1 when the board is shown turned by 180 degrees
extern std::atomic<bool> SoundOn;
// "Highlight last move" of the interface dialog: the play mode's highlight of the last move.
extern bool HighlightLastMove;
extern std::string CaptureSeparator; // ":" or "x"
extern bool FullNotation;

// Picture files of the pieces: black king, black man, white man, white king.
enum : int { pcBlackKing = 0, pcBlackMan = 1, pcWhiteMan = 2, pcWhiteKing = 3 };
extern std::array<std::string, 4> PiecePictures;
// The four default file names below AppDir, in the order above.
std::array<std::string, 4> DefaultPiecePictures(const std::string& appDir);

// Windows colour value (0x00BBGGRR) to red, green and blue.
struct TRgb {
    std::uint8_t r, g, b;
};
constexpr TRgb ColorToRgb(std::uint32_t c) {
    return {std::uint8_t(c & 0xFF), std::uint8_t((c >> 8) & 0xFF), std::uint8_t((c >> 16) & 0xFF)};
}
constexpr std::uint32_t RgbToColor(int r, int g, int b) {
    return std::uint32_t(r & 0xFF) | (std::uint32_t(g & 0xFF) << 8) | (std::uint32_t(b & 0xFF) << 16);
}
