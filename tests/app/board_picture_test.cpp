#include "app/core/board_geometry.h"
#include "app/core/shell_state.h"
#include "app/ui/board_picture.h"
#include "qt_test_app.h"
#include "rules/notation.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cctype>

namespace {
const QRgb kDark = qRgb(0x40, 0x80, 0x80); // Windows colour $808040
const QRgb kLight = qRgb(0xE3, 0xF0, 0xF0);
const QRgb kRed = qRgb(255, 0, 0);

// Where a square lies on the screen, from the square's board coordinates: columns from the left,
// rows from the top. The Italian board is mirrored; a reversed board is turned by 180 degrees.
struct TCell {
    int col, row;
};
TCell ScreenCell(int sq, TGameType v, bool reversed) {
    const int n = SquaresOf(v) == 50 ? 10 : 8;
    const TSquareXY xy = SquareToXY(sq, GeometryOf(v));
    TCell c{v == gtItalian ? n - 1 - xy.x : xy.x, n - 1 - xy.y};
    if (reversed) c = {n - 1 - c.col, n - 1 - c.row};
    return c;
}

int SquareAt(int col, int row, TGameType v, bool reversed) {
    for (int sq = 1; sq <= SquaresOf(v); ++sq) {
        const TCell c = ScreenCell(sq, v, reversed);
        if (c.col == col && c.row == row) return sq;
    }
    return 0;
}

TBoardView View(TGameType v, bool reversed, bool play) {
    TBoardView view;
    view.variant = v;
    view.reversed = reversed;
    view.playMode = play;
    return view;
}

std::array<bool, MaxSquares + 1> NoFlags() {
    return {};
}

bool HasLightPixel(const QImage& img, int x, int y) {
    for (int dy = 0; dy < 30; ++dy)
        for (int dx = 0; dx < 30; ++dx)
            if (x + dx < img.width() && y + dy < img.height() && img.pixel(x + dx, y + dy) == kLight)
                return true;
    return false;
}
} // namespace

class BoardPictureTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureQtApp(); }
};

TEST_F(BoardPictureTest, LabelsNameTheAdjacentSquaresAndPlayingSquaresAreDark) {
    for (int v = 1; v <= 7; ++v)
        for (bool reversed : {false, true}) {
            SCOPED_TRACE(testing::Message() << "variant " << v << (reversed ? " reversed" : ""));
            const TGameType variant = static_cast<TGameType>(v);
            const int n = SquaresOf(variant) == 50 ? 10 : 8;
            const int s = SquarePixels(variant);
            TBoardPicture pic;
            pic.Draw(View(variant, reversed, false), EmptyBoard, NoFlags(), true);
            const QImage& img = pic.Image();
            ASSERT_EQ(img.size(), QSize(880, 880));
            for (int sq = 1; sq <= SquaresOf(variant); ++sq) {
                const TCell c = ScreenCell(sq, variant, reversed);
                const int x = 40 + c.col * s, y = 40 + c.row * s;
                EXPECT_EQ(img.pixel(x + s / 2, y + s / 2), kDark) << "square " << sq;
                // The light neighbour in the same row.
                const int lx = 40 + (c.col ^ 1) * s;
                EXPECT_EQ(img.pixel(lx + s / 2, y + s / 2), kLight) << "square " << sq;
            }
            const auto labels = BoardLabels(variant, reversed);
            EXPECT_EQ(labels.size(), v == 1 || v == 3 || v == 7 ? 16u : SquaresOf(variant) == 50 ? 20u : 16u);
            for (const TBoardLabel& l : labels) {
                SCOPED_TRACE(l.text);
                EXPECT_TRUE(HasLightPixel(img, l.x, l.y)); // drawn in the light colour
                const int px = l.x + 10, py = l.y + 12;
                const int col = (px - 40) / s, row = (py - 40) / s;
                if (v == 1 || v == 3 || v == 7) {
                    if (l.x < 38) { // rank digit: any square of that row
                        int sq = SquareAt(0, row, variant, reversed);
                        if (!sq) sq = SquareAt(1, row, variant, reversed);
                        ASSERT_NE(sq, 0);
                        EXPECT_EQ(l.text, SquareToText(sq, variant, false).substr(1));
                    } else { // file letter: any square of that column
                        int sq = SquareAt(col, n - 1, variant, reversed);
                        if (!sq) sq = SquareAt(col, n - 2, variant, reversed);
                        ASSERT_NE(sq, 0);
                        EXPECT_EQ(l.text[0], std::toupper(SquareToText(sq, variant, false)[0]));
                    }
                    continue;
                }
                int sq = 0;
                if (l.y < 38)
                    sq = SquareAt(col, 0, variant, reversed);
                else if (l.y > 843)
                    sq = SquareAt(col, n - 1, variant, reversed);
                else if (l.x < 38)
                    sq = SquareAt(0, row, variant, reversed);
                else
                    sq = SquareAt(n - 1, row, variant, reversed);
                ASSERT_NE(sq, 0) << "the label is not next to a playing square";
                EXPECT_EQ(l.text, SquareToText(sq, variant, false));
            }
        }
}

TEST_F(BoardPictureTest, HighlightMarksFromAndLandingSquaresInPlayModeOnly) {
    TGame g;
    InitGame(g, gtRussian);
    g.header.nodeCount = 1;
    TMove& m = g.nodes[1];
    m.parent = 0;
    m.mainLine = 1;
    m.from = 9;
    m.captures = 2;
    m.squares = {14, 18, 23, 27}; // captured 14, landing 18, captured 23, landing 27
    const auto flags = HighlightFlags(g, 1);
    TBoard b = EmptyBoard;
    b[27] = sqKing0; // the piece that moved: its transparent corners show the highlight
    for (bool play : {true, false}) {
        SCOPED_TRACE(play ? "play mode" : "analysis mode");
        TBoardPicture pic;
        pic.Draw(View(gtRussian, false, play), b, flags, true);
        for (int sq = 1; sq <= 32; ++sq) {
            const TCell c = ScreenCell(sq, gtRussian, false);
            const QRgb px = pic.Image().pixel(40 + c.col * 100 + 11, 40 + c.row * 100 + 11);
            const bool marked = sq == 9 || sq == 18 || sq == 27;
            EXPECT_EQ(px, play && marked ? kRed : kDark) << "square " << sq;
        }
    }
    EXPECT_EQ(HighlightFlags(g, 0), NoFlags()); // the root has no move
}

TEST_F(BoardPictureTest, SideZeroIsDrawnBlackInEnglishAndPool) {
    for (TGameType v : {gtRussian, gtEnglish, gtPool, gtInternational}) {
        SCOPED_TRACE(int(v));
        TBoardPicture pic;
        TBoard b = EmptyBoard;
        b[1] = sqMan0;
        pic.Draw(View(v, false, false), b, NoFlags(), true);
        const TCell c = ScreenCell(1, v, false);
        const int s = SquarePixels(v), d = PieceInset(v);
        const QColor centre = pic.Image().pixelColor(40 + c.col * s + d + 35, 40 + c.row * s + d + 35);
        const bool drawnBlack = centre.lightness() < 128;
        EXPECT_EQ(drawnBlack, v == gtEnglish || v == gtPool);
    }
}

TEST_F(BoardPictureTest, PiecePicturesLoadOnlyFromReadableFiles) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString() + "/";
    QImage red(70, 70, QImage::Format_RGB32);
    red.fill(Qt::red);
    red.setPixel(0, 69, qRgb(0, 0, 255)); // the transparent colour
    ASSERT_TRUE(red.save(QString::fromStdString(root + "red.bmp"), "BMP"));
    QFile bad(QString::fromStdString(root + "bad.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("BM this is no bitmap");
    bad.close();

    TBoardPicture pic;
    const QImage before = pic.PiecePicture(pcBlackMan);
    EXPECT_EQ(
        pic.LoadPieceBitmaps({root + "missing.bmp", root + "bad.bmp", root + "red.bmp", root + "bad.bmp"}),
        1);
    EXPECT_EQ(pic.PiecePicture(pcBlackMan), before); // an unreadable file keeps the picture there was
    EXPECT_FALSE(pic.PiecePicture(pcBlackKing).isNull());
    EXPECT_EQ(pic.PiecePicture(pcWhiteMan).pixel(10, 10), qRgb(255, 0, 0));

    TBoard b = EmptyBoard;
    b[1] = sqMan0;
    pic.Draw(View(gtRussian, false, false), b, NoFlags(), true);
    EXPECT_EQ(pic.Image().pixel(40 + 15 + 30, 740 + 15 + 30), qRgb(255, 0, 0));
    EXPECT_EQ(pic.Image().pixel(40 + 15, 740 + 15 + 69), kDark); // the lower-left colour is transparent
}

TEST_F(BoardPictureTest, GeneratedPiecePicturesAreSeventyPixelsWithTransparentCorners) {
    const QString runDir = QString::fromStdString(RunDir());
    for (const char* name : {"bk.bmp", "bs.bmp", "ws.bmp", "wk.bmp"}) {
        SCOPED_TRACE(name);
        const QImage img(runDir + "/Pics/default/" + name);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.size(), QSize(70, 70));
        const QRgb key = img.pixel(0, 69);
        EXPECT_EQ(img.pixel(69, 0), key);
        EXPECT_NE(img.pixel(35, 35), key);
    }
    // Kings carry a crown: they differ from the men.
    EXPECT_NE(QImage(runDir + "/Pics/default/wk.bmp"), QImage(runDir + "/Pics/default/ws.bmp"));
    EXPECT_NE(QImage(runDir + "/Pics/default/bk.bmp"), QImage(runDir + "/Pics/default/bs.bmp"));
}
