#include "app/core/shell_state.h"

TShellState Shell;

std::array<std::string, 4> DefaultPiecePictures(const std::string& appDir) {
    return {appDir + "Pics/default/bk.bmp", appDir + "Pics/default/bs.bmp", appDir + "Pics/default/ws.bmp",
            appDir + "Pics/default/wk.bmp"};
}
