#include "app/core/window_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(WindowLayoutTest, SetBoardSizeTable) {
    struct Row {
        int w, h, size, settingIn;
        int board, settingOut, rightWidth, rightLeft, nav0, setupDoneRow, infoHeight;
    } rows[] = {
        // Large on a big window: the board fills H - 170.
        {1600, 1000, 10000, 500, 830, 10000, 730, 860, 365, 397, 60},
        // Size 0 keeps the setting when it fits.
        {1600, 1000, 0, 500, 500, 500, 1060, 530, 200, 232, 390},
        // Small.
        {1600, 1000, 200, 500, 200, 200, 1360, 230, 50, 82, 690},
        // A setting larger than the window stays the request; the board fits.
        {1600, 1000, 0, 900, 830, 900, 730, 860, 365, 397, 60},
        // The smallest window: fit is H - 170.
        {500, 380, 10000, 0, 210, 10000, 250, 240, 55, 87, 60},
        // A narrow window: the right column keeps 250 pixels and moves left to W - 8 - 250.
        {600, 1000, 10000, 0, 315, 10000, 250, 342, 105, 137, 575},
        // A saved size of 0 or less is raised to 200 instead of leaving no board.
        {1600, 1000, 0, 0, 200, 200, 1360, 230, 50, 82, 690},
        {1600, 1000, 0, -40, 200, 200, 1360, 230, 50, 82, 690},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << r.w << "x" << r.h << " size " << r.size << " setting " << r.settingIn);
        int setting = r.settingIn;
        const TWindowLayout l = ComputeWindowLayout(r.w, r.h, r.size, setting, 60, false);
        EXPECT_EQ(l.board, r.board);
        EXPECT_EQ(setting, r.settingOut);
        EXPECT_EQ(l.rightWidth, r.rightWidth);
        EXPECT_EQ(l.rightLeft, r.rightLeft);
        EXPECT_EQ(l.navLeft[0], r.nav0);
        EXPECT_EQ(l.navLeft[3], r.nav0 + 105);
        EXPECT_EQ(l.setupDoneLeft, r.setupDoneRow);
        EXPECT_EQ(l.clearLeft, r.setupDoneRow - 35);
        EXPECT_EQ(l.newLeft, r.setupDoneRow + 85);
        EXPECT_EQ(l.fenLeft, r.setupDoneRow + 120);
        EXPECT_EQ(l.infoHeight, r.infoHeight);
        EXPECT_EQ(l.infoTop, r.board + 105);
        EXPECT_EQ(l.navTop, r.board + 55);
        EXPECT_EQ(l.gameTypeTop, r.board + 45);
        EXPECT_EQ(l.label2Width, r.rightWidth - 90);
        EXPECT_EQ(l.evalLeft, r.rightLeft + 135);
        EXPECT_EQ(l.engineLeft, r.rightLeft + 220);
        EXPECT_EQ(l.gamePanelHeight, r.h - 220);
    }
}

TEST(WindowLayoutTest, TheBoardRegrowsWhenTheWindowDoes) {
    int setting = 10000;
    EXPECT_EQ(ComputeWindowLayout(1600, 1000, 0, setting, 60, false).board, 830);
    EXPECT_EQ(ComputeWindowLayout(700, 500, 0, setting, 60, false).board, 330);
    EXPECT_EQ(ComputeWindowLayout(1600, 1000, 0, setting, 60, false).board, 830);
    setting = 0;
    EXPECT_EQ(ComputeWindowLayout(1600, 1000, 600, setting, 60, false).board, 600);
    EXPECT_EQ(ComputeWindowLayout(700, 500, 0, setting, 60, false).board, 330);
    EXPECT_EQ(ComputeWindowLayout(1600, 1000, 0, setting, 60, false).board, 600);
}

TEST(WindowLayoutTest, TheButtonsMoveBelowAVariantLabelTheyWouldCover) {
    struct Row {
        int w, size, textWidth;
        bool below;
    } rows[] = {
        {1600, 10000, 90, false}, // a large board leaves room beside the label
        {1600, 200, 0, false},    // no text: the row stays
        {1600, 200, 60, true},    // "Russian" on the smallest board
        {1600, 200, 25, false},   // a short text still clears the first button
        {1600, 330, 100, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.w << " size " << r.size << " text " << r.textWidth);
        int setting = 0;
        const TWindowLayout l = ComputeWindowLayout(r.w, 1000, r.size, setting, 60, false, r.textWidth);
        const int labelRight = GameTypeLeft + r.textWidth;
        const bool side = labelRight + GameTypeGap <= std::min(l.navLeft[0], l.clearLeft);
        EXPECT_EQ(l.navTop != l.board + 55, r.below);
        // Either beside the label or below it, never over it; and above the information panel.
        EXPECT_TRUE(side || l.navTop >= l.gameTypeTop + GameTypeHeight);
        EXPECT_LE(l.navTop + 35, l.infoTop);
    }
}

TEST(WindowLayoutTest, GamePanelIsShorterWhileTheClockShows) {
    int setting = 400;
    EXPECT_EQ(ComputeWindowLayout(1000, 800, 0, setting, 0, true).gamePanelHeight, 548);
    EXPECT_EQ(ComputeWindowLayout(1000, 800, 0, setting, 0, false).gamePanelHeight, 580);
}

TEST(WindowLayoutTest, AverageIsHalfwayFromSmallToFit) {
    EXPECT_EQ(FitBoardSize(1600, 1000), 830);
    EXPECT_EQ(AverageBoardSize(1600, 1000), 515);
    EXPECT_EQ(FitBoardSize(300, 300), 200); // never below the minimum board
    EXPECT_EQ(AverageBoardSize(300, 300), 200);
}
