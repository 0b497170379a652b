// Pictures saved by the codec through the QImage adapter, read back by Qt's own GIF reader and
// by netpbm's giftopnm.

#include "board_picture.h"
#include "netpbm_reader.h"
#include "qt_gif_app.h"

#include "gif/gif_image.h"
#include "gif/qt/gif_qimage.h"
#include "tests/support/temp_dir.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <gtest/gtest.h>

namespace {
QImage ReadWithQt(const std::vector<std::uint8_t>& bytes) {
    QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    return reader.read();
}
} // namespace

class QtReader : public TQtGifTest {};

TEST_F(QtReader, BoardPictureWithinTheDitherError) {
    const int size = 320;
    const TBitmap board = MakeBoardPicture(size);
    // Through QImage and back, as the diagram export hands its picture over.
    const QImage picture = QImageFromBitmap(board);
    ASSERT_EQ(picture.format(), QImage::Format_RGB888);
    for (int compression : {0, 1}) {
        SCOPED_TRACE(compression ? "RLE" : "LZW");
        TGIFImage image;
        image.SetCompression(compression);
        image.Assign(BitmapFromQImage(picture));
        TMemoryStream stream;
        image.SaveToStream(stream);
        const QImage read = ReadWithQt(stream.Bytes());
        ASSERT_FALSE(read.isNull());
        ASSERT_EQ(read.width(), size);
        ASSERT_EQ(read.height(), size);

        // Each pixel is exactly the table colour of the index we wrote ...
        TGIFSubImage& frame = image.Images()[0];
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb got = read.pixel(x, y);
                const TColor want = frame.ColorMap().Colors(frame.Pixels(x, y));
                ASSERT_EQ(RGBColor(qRed(got), qGreen(got), qBlue(got)), want) << x << "," << y;
            }
        // ... and close to the source: small per pixel on average, smaller still over 8 x 8 blocks,
        // where error diffusion keeps the local mean.
        double sum = 0;
        int worstBlock = 0;
        for (int by = 0; by < size; by += 8)
            for (int bx = 0; bx < size; bx += 8) {
                int block[3] = {0, 0, 0};
                for (int y = by; y < by + 8; ++y)
                    for (int x = bx; x < bx + 8; ++x) {
                        const QRgb got = read.pixel(x, y);
                        const TColor src = board.PixelColor(x, y);
                        const int d[3] = {qRed(got) - RedOf(src), qGreen(got) - GreenOf(src),
                                          qBlue(got) - BlueOf(src)};
                        for (int c = 0; c < 3; ++c) {
                            sum += std::abs(d[c]);
                            block[c] += d[c];
                        }
                    }
                for (int c = 0; c < 3; ++c)
                    worstBlock = std::max(worstBlock, std::abs(block[c]) / 64);
            }
        EXPECT_LT(sum / (size * size * 3.0), 6.0);
        EXPECT_LE(worstBlock, 6);
    }
}

TEST_F(QtReader, AdapterKeepsIndexedImages) {
    QImage indexed(5, 3, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 0), qRgb(9, 9, 9)});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            indexed.setPixel(x, y, static_cast<uint>((x + y) % 3));
    const TBitmap bitmap = BitmapFromQImage(indexed);
    ASSERT_EQ(bitmap.PixelFormat(), pf8bit);
    EXPECT_EQ(bitmap.PixelIndex(4, 2), 0);
    EXPECT_EQ(bitmap.PixelColor(1, 0), RGBColor(200, 100, 0));
    TGIFImage image;
    image.Assign(bitmap);
    EXPECT_EQ(image.Images()[0].ColorMap().Count(), 3) << "no reduction for indexed pictures";
    TMemoryStream stream;
    image.SaveToStream(stream);
    const QImage read = ReadWithQt(stream.Bytes());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(read.pixel(x, y), indexed.pixel(x, y));

    QImage mono(10, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    mono.setPixel(9, 1, 1);
    const TBitmap bits = BitmapFromQImage(mono);
    ASSERT_EQ(bits.PixelFormat(), pf1bit);
    EXPECT_EQ(bits.PixelIndex(9, 1), 1);
    EXPECT_EQ(bits.PixelIndex(8, 1), 0);

    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(10, 20, 30, 40));
    argb.setPixel(1, 0, qRgba(250, 20, 30, 255));
    const TBitmap rgb = BitmapFromQImage(argb);
    ASSERT_EQ(rgb.PixelFormat(), pf24bit);
    EXPECT_EQ(rgb.PixelColor(1, 0), RGBColor(250, 20, 30));
    EXPECT_TRUE(BitmapFromQImage(QImage()).Empty());
}

TEST_F(QtReader, TransparentPicturesStayTransparent) {
    // Clear where alpha is below 128. Read back by netpbm's alpha plane and by Qt's GIF reader.
    test_support::TTempDir dir("gif_qt_alpha");
    const int w = 12, h = 7;
    const auto alphaAt = [](int x, int y) { return (x * 37 + y * 91) % 256; };
    QImage straight(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            straight.setPixel(x, y, qRgba(x * 20, y * 30, 90, alphaAt(x, y)));
    QImage indexed(w, h, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 0, 0), qRgb(200, 10, 10), qRgb(10, 200, 10)});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            indexed.setPixel(x, y, static_cast<uint>(alphaAt(x, y) < 128 ? 0 : 1 + x % 2));
    QImage opaque = straight.convertToFormat(QImage::Format_ARGB32);
    opaque.fill(qRgba(5, 6, 7, 255));
    const struct {
        const char* name;
        QImage picture;
        bool clear;
    } rows[] = {
        {"ARGB32", straight, true},
        {"premultiplied", straight.convertToFormat(QImage::Format_ARGB32_Premultiplied), true},
        {"indexed with a clear colour", indexed, true},
        {"an alpha channel, all opaque", opaque, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const TBitmap bitmap = BitmapFromQImage(row.picture);
        EXPECT_EQ(bitmap.HasMask(), row.clear);
        TGIFImage image;
        image.Assign(bitmap);
        TMemoryStream stream;
        image.SaveToStream(stream);
        const TNetpbmAlpha alpha = AlphaByGiftopnm(stream.Bytes(), dir.Path().string());
        ASSERT_TRUE(alpha.Ok) << alpha.Error;
        const QImage read = ReadWithQt(stream.Bytes()).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(read.size(), QSize(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool clear = row.clear && alphaAt(x, y) < 128;
                EXPECT_EQ(alpha.Transparent[static_cast<std::size_t>(y * w + x)], clear ? 1 : 0)
                    << x << "," << y;
                EXPECT_EQ(qAlpha(read.pixel(x, y)), clear ? 0 : 255) << x << "," << y;
            }
    }
}
