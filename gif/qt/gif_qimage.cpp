#include "gif/qt/gif_qimage.h"

namespace {
// The pixels that are more transparent than opaque; empty when there are none.
std::vector<std::uint8_t> AlphaMask(const QImage& image) {
    if (!image.hasAlphaChannel()) return {};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width(), h = argb.height();
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    bool any = false;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x)
            if (qAlpha(row[x]) < 128) {
                mask[static_cast<std::size_t>(y) * w + x] = 1;
                any = true;
            }
    }
    if (!any) mask.clear();
    return mask;
}

TBitmap ColourBitmap(const QImage& image);
} // namespace

TBitmap BitmapFromQImage(const QImage& image) {
    if (image.isNull()) return {};
    TBitmap bitmap = ColourBitmap(image);
    bitmap.SetMask(AlphaMask(image));
    return bitmap;
}

namespace {
TBitmap ColourBitmap(const QImage& image) {
    const int w = image.width(), h = image.height();
    if (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
        image.format() == QImage::Format_MonoLSB) {
        const bool mono = image.format() != QImage::Format_Indexed8;
        TBitmap bitmap(w, h, mono ? pf1bit : pf8bit);
        TPalette palette;
        for (QRgb c : image.colorTable())
            palette.push_back({static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
                               static_cast<std::uint8_t>(qBlue(c)), 0});
        bitmap.SetPalette(std::move(palette));
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = bitmap.ScanLine(y);
            for (int x = 0; x < w; ++x) {
                const int index = image.pixelIndex(x, y);
                if (mono)
                    row[x >> 3] |= static_cast<std::uint8_t>(index << (7 - (x & 7)));
                else
                    row[x] = static_cast<std::uint8_t>(index);
            }
        }
        return bitmap;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    TBitmap bitmap(w, h, pf24bit);
    for (int y = 0; y < h; ++y) {
        const uchar* src = rgb.constScanLine(y);
        std::uint8_t* dst = bitmap.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return bitmap;
}
} // namespace

QImage QImageFromBitmap(const TBitmap& bitmap) {
    if (bitmap.Empty()) return {};
    const int w = bitmap.Width(), h = bitmap.Height();
    if (IsIndexed(bitmap.PixelFormat())) {
        QImage image(w, h, QImage::Format_Indexed8);
        QList<QRgb> table;
        for (const TPaletteEntry& e : bitmap.Palette())
            table.push_back(qRgb(e.Red, e.Green, e.Blue));
        int maxIndex = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                maxIndex = std::max(maxIndex, bitmap.PixelIndex(x, y));
        while (table.size() <= maxIndex)
            table.push_back(qRgb(0, 0, 0));
        image.setColorTable(table);
        for (int y = 0; y < h; ++y) {
            uchar* row = image.scanLine(y);
            for (int x = 0; x < w; ++x)
                row[x] = static_cast<uchar>(bitmap.PixelIndex(x, y));
        }
        return image;
    }
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const TColor c = bitmap.PixelColor(x, y);
            row[3 * x] = RedOf(c);
            row[3 * x + 1] = GreenOf(c);
            row[3 * x + 2] = BlueOf(c);
        }
    }
    return image;
}
