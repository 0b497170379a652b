#include "app/ui/game_panel.h"

#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>

namespace {
// A main line of `plies` moves shuffling two kings, each move with a comment after it.
std::unique_ptr<TGame> LongGame(int plies) {
    auto g = std::make_unique<TGame>();
    InitGame(*g, gtRussian);
    for (int n = 1; n <= plies; ++n) {
        TMove& m = g->nodes[n];
        m = TMove{};
        m.from = static_cast<std::uint8_t>(n % 2 ? 1 : 32);
        m.squares[0] = static_cast<std::uint8_t>(n % 2 ? 5 : 28);
        m.parent = static_cast<std::uint16_t>(n - 1);
        m.mainLine = 1;
        g->commentAfter[n] = "a comment long enough to wrap onto its own lines";
    }
    g->header.nodeCount = static_cast<std::uint16_t>(plies);
    return g;
}
} // namespace

TEST(GamePanel, HeaderComesFromTheGame) {
    TGamePanel panel;
    auto g = LongGame(0);
    g->white = "Ivanov";
    g->black = "Petrov";
    g->tournament = "Cup";
    g->header.year = 2001;
    panel.ReadGameHeader(*g);
    EXPECT_EQ(panel.Names(), "Ivanov - Petrov");
    EXPECT_EQ(panel.Tournament(), "Cup, 2001");
}

TEST(GamePanel, ScrollBarAndHitTestFollowTheScrollPosition) {
    TGamePanel panel;
    panel.resize(300, 260);
    auto g = LongGame(60);
    panel.DoBuildGameTree(*g);
    const TGameTreeLayout& layout = panel.Layout();
    ASSERT_GT(layout.LastLine(), panel.LinesPerPage());
    EXPECT_FALSE(panel.ScrollBar()->isHidden());

    // The first move item sits on line 0; with the view scrolled, the same pixel row shows another line.
    const TDisplayItem& first = layout.Items()[0];
    const int y = 60 + panel.LineHeight() / 2;
    EXPECT_EQ(panel.GetMoveClick(first.xStart + 1, y), first.node);
    EXPECT_EQ(panel.GetMoveClick(first.xStart + 1, 30), 0) << "header area";

    // Find a move item further down and scroll so that its line is the first one shown.
    const TDisplayItem* later = nullptr;
    for (const TDisplayItem& item : layout.Items())
        if (item.node != 0 && item.line >= 5) {
            later = &item;
            break;
        }
    ASSERT_NE(later, nullptr);
    panel.ScrollBar()->setValue(later->line);
    ASSERT_EQ(panel.FirstLineShown(), later->line);
    EXPECT_EQ(panel.GetMoveClick(later->xStart + 1, y), later->node);

    // The scroll position never shows past the highest first line.
    panel.ScrollBar()->setValue(panel.ScrollBar()->maximum());
    EXPECT_EQ(panel.FirstLineShown(), layout.LastLine() - panel.LinesPerPage() + 1);
}

TEST(GamePanel, ShortGameHidesTheScrollBar) {
    TGamePanel panel;
    panel.resize(300, 400);
    auto g = LongGame(2);
    panel.DoBuildGameTree(*g);
    EXPECT_TRUE(panel.ScrollBar()->isHidden());
    EXPECT_EQ(panel.FirstLineShown(), 0);
}

TEST(GamePanel, CurrentMoveIsDrawnOnGrey) {
    TGamePanel panel;
    panel.resize(300, 300);
    auto g = LongGame(1);
    g->commentAfter[1].clear();
    panel.DoBuildGameTree(*g);
    const TDisplayItem& move = panel.Layout().Items()[0];
    auto pixelOfMove = [&] {
        QImage image(panel.size(), QImage::Format_RGB32);
        QPainter p(&image);
        panel.PaintPanel(p, true);
        p.end();
        return image.pixelColor(10 + move.xStart, 60 + 1); // top-left corner of the item's cell
    };
    EXPECT_NE(pixelOfMove(), QColor(128, 128, 128));
    panel.SetCurrentNode(move.node);
    EXPECT_EQ(pixelOfMove(), QColor(128, 128, 128));
}
