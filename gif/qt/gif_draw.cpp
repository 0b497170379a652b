#include "gif/qt/gif_draw.h"

#include "gif/gif_compositor.h"
#include "gif/qt/gif_player.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <QPainter>
#include <QPointer>
#include <QScreen>

#include <array>

namespace {
QImage CanvasImage(const TGIFCompositor& compositor) {
    const QImage view(reinterpret_cast<const uchar*>(compositor.Canvas().data()), compositor.Width(),
                      compositor.Height(), compositor.Width() * 4, QImage::Format_ARGB32);
    return view.copy();
}

// The screen-sized picture scaled into rect, or at its own size in every cell that starts there.
void DrawScreen(QPainter& painter, const QRect& rect, const QImage& screen, bool tile) {
    if (screen.isNull()) return;
    if (!tile) {
        painter.drawImage(rect, screen);
        return;
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    for (int y = rect.top(); y <= rect.bottom(); y += screen.height())
        for (int x = rect.left(); x <= rect.right(); x += screen.width())
            painter.drawImage(QPoint(x, y), screen);
    painter.restore();
}

struct TDrawingGuard {
    TGIFImage& Image;
    explicit TDrawingGuard(TGIFImage& image) : Image(image) { Image.SetDrawing(true); }
    ~TDrawingGuard() { Image.SetDrawing(false); }
};
} // namespace

void ReadScreenDepth() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        GIFPaletteDisplay = PaletteDisplayOf(screen->depth());
}

namespace {
// Every program that draws GIF images reads the screen's depth as its application starts.
void StartDrawing() {
    ReadScreenDepth();
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(StartDrawing)

QImage FrameImage(const TGIFSubImage& frame, bool transparent) {
    if (frame.Width() == 0 || frame.Height() == 0) return {};
    QImage picture(frame.Width(), frame.Height(), QImage::Format_ARGB32);
    if (frame.Empty()) {
        picture.fill(Qt::transparent);
        return picture;
    }
    const TBitmap& bitmap = frame.GetBitmap();
    std::array<QRgb, 256> lut;
    lut.fill(qRgb(0, 0, 0));
    const TPalette& palette = bitmap.Palette();
    for (std::size_t i = 0; i < palette.size() && i < lut.size(); ++i)
        lut[i] = qRgb(palette[i].Red, palette[i].Green, palette[i].Blue);
    const bool masked = transparent && bitmap.HasMask();
    const bool indexed = bitmap.PixelFormat() == pf8bit;
    for (int y = 0; y < frame.Height(); ++y) {
        const std::uint8_t* src = bitmap.ScanLine(y);
        auto* dst = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < frame.Width(); ++x) {
            if (masked && bitmap.Masked(x, y)) {
                dst[x] = qRgba(0, 0, 0, 0);
            } else if (indexed) {
                dst[x] = lut[src[x]];
            } else {
                const TColor c = bitmap.PixelColor(x, y);
                dst[x] = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
            }
        }
    }
    return picture;
}

QImage ImageBitmap(const TGIFImage& image) {
    if (image.Empty()) return {};
    try {
        TGIFCompositor compositor(image, DrawingScreenOptions(image));
        compositor.ComposeTo(0);
        return CanvasImage(compositor);
    } catch (const GIFException&) {
        return {}; // a screen above the size cap
    }
}

void DrawFrame(QPainter& painter, const QRect& rect, const TGIFImage& image, int index, bool transparent,
               bool tile) {
    if (index < 0 || index >= image.Images().Count()) return;
    const TGIFSubImage& frame = image.Images()[index];
    const QImage picture = FrameImage(frame, transparent);
    if (picture.isNull()) return;
    // A screen narrower than its frames (a damaged file) is taken as wide as the frame reaches.
    const std::int64_t sw = std::max(image.Width(), frame.Left() + frame.Width());
    const std::int64_t sh = std::max(image.Height(), frame.Top() + frame.Height());
    if (!tile) {
        const auto l = static_cast<int>(rect.left() + frame.Left() * rect.width() / sw);
        const auto t = static_cast<int>(rect.top() + frame.Top() * rect.height() / sh);
        const auto r = static_cast<int>(rect.left() + (frame.Left() + frame.Width()) * rect.width() / sw);
        const auto b = static_cast<int>(rect.top() + (frame.Top() + frame.Height()) * rect.height() / sh);
        painter.drawImage(QRect(l, t, r - l, b - t), picture);
        return;
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    for (std::int64_t y = rect.top() + frame.Top(); y <= rect.bottom(); y += sh)
        for (std::int64_t x = rect.left() + frame.Left(); x <= rect.right(); x += sw)
            painter.drawImage(QPoint(static_cast<int>(x), static_cast<int>(y)), picture);
    painter.restore();
}

void DrawGIF(QPainter& painter, const QRect& rect, TGIFImage& image, QObject* canvas) {
    if (image.Drawing() || image.Empty()) return;
    const TDrawingGuard guard(image);
    const std::uint16_t options = image.DrawOptions();
    const bool transparent = options & goTransparent, tile = options & goTile;
    if (image.Images().Count() == 1 || !(options & goAnimate)) {
        DrawFrame(painter, rect, image, 0, transparent, tile);
        return;
    }
    if (!canvas || rect.isEmpty()) {
        DrawScreen(painter, rect, ImageBitmap(image), tile);
        return;
    }
    auto* player = dynamic_cast<TGIFPlayer*>(image.CurrentPainter());
    if (!player || player->Canvas() != canvas || player->Rect() != rect) {
        if (player) {
            player->Stop();
            player->deleteLater();
        }
        player = new TGIFPlayer(image, canvas);
        player->SetTarget(canvas, rect);
        const QPointer<QObject> target(canvas);
        QObject::connect(player, &TGIFPlayer::frameReady, canvas, [target] {
            if (target) QMetaObject::invokeMethod(target, "update", Qt::QueuedConnection);
        });
        image.SetCurrentPainter(player);
        player->Start();
    }
    DrawScreen(painter, rect, player->Frame(), tile);
}
