#include "app/core/window_layout.h"

#include <algorithm>

int FitBoardSize(int w, int h) {
    return std::max(std::min(w - 285, h - 170), MinBoardSize);
}

int AverageBoardSize(int w, int h) {
    return (FitBoardSize(w, h) + MinBoardSize) / 2;
}

TWindowLayout ComputeWindowLayout(int w, int h, int size, int& setting, int treeLabelWidth, bool clockVisible,
                                  int gameTypeTextWidth) {
    const int fit = FitBoardSize(w, h);
    if (size != 0) setting = size;
    if (setting < MinBoardSize) setting = MinBoardSize;
    // The setting stays what was asked for: a window made smaller and then larger again gets its
    // board back, instead of keeping the size the smaller window forced on it.
    const int b = std::min(setting, fit);
    TWindowLayout l;
    l.board = b;
    l.rightWidth = std::max(w - b - 40, 250);
    l.rightLeft = b + 30;
    if (l.rightLeft + l.rightWidth > w - 8) l.rightLeft = w - 8 - l.rightWidth;
    l.gameTypeTop = b + 45;
    l.label2Width = l.rightWidth - treeLabelWidth - 30;
    l.gamePanelHeight = clockVisible ? h - 252 : h - 220;
    l.depthLeft = l.rightLeft;
    l.evalLeft = l.rightLeft + 135;
    l.engineLeft = l.rightLeft + 220;
    const int p = (w - l.rightWidth - 140) / 2;
    for (int i = 0; i < 4; ++i)
        l.navLeft[i] = p + 35 * i;
    l.navTop = b + 55;
    const int e = (w - l.rightWidth - 75) / 2;
    l.setupDoneLeft = e;
    l.clearLeft = e - 35;
    l.newLeft = e + 85;
    l.fenLeft = e + 120;
    if (gameTypeTextWidth > 0 &&
        GameTypeLeft + gameTypeTextWidth + GameTypeGap > std::min(l.navLeft[0], l.clearLeft))
        l.navTop = l.gameTypeTop + GameTypeHeight + 2;
    l.infoTop = b + 105;
    l.infoWidth = b;
    l.infoHeight = h - 110 - b;
    return l;
}
