#include "app/core/shell_state.h"

std::string AppDir;
std::atomic<std::uint8_t> AnalysisMode{1};
std::uint8_t SetupMode = 0;
std::uint32_t DarkSquareColor = DefaultDarkSquareColor;
std::uint32_t LightSquareColor = DefaultLightSquareColor;
int BoardSizeSetting = 10000;
std::uint8_t BoardReversed = 0;
std::atomic<bool> SoundOn{true};
bool HighlightLastMove = true;
std::string CaptureSeparator = ":";
bool FullNotation = false;
std::array<std::string, 4> PiecePictures;

std::array<std::string, 4> DefaultPiecePictures(const std::string& appDir) {
    return {appDir + "Pics/default/bk.bmp", appDir + "Pics/default/bs.bmp", appDir + "Pics/default/ws.bmp",
            appDir + "Pics/default/wk.bmp"};
}
