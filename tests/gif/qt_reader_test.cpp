// A board picture reduced and saved by the codec, read back by Qt's own GIF reader.

#include "board_picture.h"
#include "qt_gif_app.h"

#include "gif/gif_image.h"
#include "gif/qt/gif_qimage.h"

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
