#pragma once
// The main window's layout around the board for a client area of W x H pixels. Pure arithmetic;
// the form applies the numbers to its controls.

struct TWindowLayout {
    int board = 0;                     // edge of BoardImage (top 40 and left 16 stay)
    int rightWidth = 0, rightLeft = 0; // the right column
    int gameTypeTop = 0;               // variant label
    int label2Width = 0;
    int gamePanelHeight = 0;
    int depthLeft = 0, evalLeft = 0, engineLeft = 0;
    int navLeft[4] = {0, 0, 0, 0}; // SpeedButton1..4
    int navTop = 0;                // also the top of the set-up buttons
    int setupDoneLeft = 0, clearLeft = 0, newLeft = 0, fenLeft = 0;
    int infoTop = 0, infoWidth = 0, infoHeight = 0;
};

constexpr int MinBoardSize = 200;
// What "Large" asks for: more than any window gives, so the board always fits the window.
constexpr int LargeBoardRequest = 10000;

// The largest board that fits: max(min(W - 285, H - 170), 200).
int FitBoardSize(int clientWidth, int clientHeight);
// "Average": (fit + 200) / 2.
int AverageBoardSize(int clientWidth, int clientHeight);

// SetBoardSize: size 0 keeps `boardSizeSetting`, any other value replaces it; a setting below 200 is
// raised to 200 (0 or less would leave no board and break the click mapping). The board is the
// setting clamped to the fit; the setting itself keeps the request, so the board regrows with the window.
// `gameTypeTextWidth` is the width of the variant label's text: when the navigation or set-up
// buttons would cover it (a small board), their row moves down below the label.
TWindowLayout ComputeWindowLayout(int clientWidth, int clientHeight, int size, int& boardSizeSetting,
                                  int treeLabelWidth, bool clockVisible, int gameTypeTextWidth = 0);

// The variant label's left edge and height, and the gap kept between it and the buttons.
constexpr int GameTypeLeft = 16, GameTypeHeight = 20, GameTypeGap = 6;
