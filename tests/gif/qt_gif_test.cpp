// The Qt side of the codec: composed frames against Qt's own GIF reader, the clipboard, the
// player on the GUI thread and drawing. Offscreen platform.

#include "gif_bytes.h"
#include "qt_gif_app.h"

#include "gif/gif_app_extension.h"
#include "gif/gif_compositor.h"
#include "gif/gif_image.h"
#include "gif/qt/gif_clipboard.h"
#include "gif/qt/gif_draw.h"
#include "gif/qt/gif_player.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QMovie>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {
std::unique_ptr<TGIFImage> Load(const Bytes& bytes) {
    auto image = std::make_unique<TGIFImage>();
    TMemoryStream stream(bytes);
    image->LoadFromStream(stream);
    return image;
}

// A stand-in for a widget: DrawGIF asks it to update() when a new frame is ready.
class TCanvas : public QObject {
    Q_OBJECT
  public:
    int Updates = 0;
  public slots:
    void update() { ++Updates; }
};

// Waits for the player to end, however long its frames take; the watchdog only catches a hang.
bool WaitForEnd(TGIFPlayer& player) {
    QSignalSpy ended(&player, &TGIFPlayer::endPaint);
    return !player.Running() || ended.wait(20000);
}
} // namespace

class GIFQt : public TQtGifTest {};

TEST_F(GIFQt, ComposedFramesMatchQtsReaderOnItsOpaquePixels) {
    // Where no frame painted, or disposal 2 cleared, GIF89a shows the screen's background and Qt
    // its own choice; a colour no fixture holds marks those pixels on our side. Every pixel a frame
    // painted must be opaque in Qt's frame and of the same colour: composed from the frames' pixels
    // and, as drawing does, from the bitmaps built from them.
    const TRGBA unpainted = OpaqueRGBA(1, 254, 3);
    for (const char* file : {"anim.gif", "extensions.gif", "transparent.gif", "interlace.gif", "noise.gif"})
        for (const bool bitmaps : {false, true}) {
            SCOPED_TRACE(testing::Message() << file << (bitmaps ? " from the frames' bitmaps" : ""));
            const Bytes bytes = ReadFixture(file);
            auto image = Load(bytes);
            QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                            static_cast<qsizetype>(bytes.size()));
            QBuffer buffer(&data);
            QMovie movie(&buffer, "gif");
            ASSERT_TRUE(movie.isValid());
            TGIFComposeOptions options;
            options.Background = unpainted;
            options.FrameBitmaps = bitmaps;
            TGIFCompositor compositor(*image, options);
            int pictures = 0;
            for (int i = 0; i < image->Images().Count(); ++i)
                if (!image->Images()[i].Empty()) ++pictures;
            ASSERT_EQ(movie.frameCount(), pictures);
            for (int i = 0; i < pictures; ++i) {
                SCOPED_TRACE(i);
                ASSERT_TRUE(movie.jumpToFrame(i));
                const QImage theirs = movie.currentImage().convertToFormat(QImage::Format_ARGB32);
                compositor.DrawFrame(i);
                ASSERT_EQ(theirs.width(), compositor.Width());
                ASSERT_EQ(theirs.height(), compositor.Height());
                int painted = 0;
                for (int y = 0; y < theirs.height(); ++y)
                    for (int x = 0; x < theirs.width(); ++x) {
                        const TRGBA ours =
                            compositor.Canvas()[static_cast<std::size_t>(y * theirs.width() + x)];
                        if (ours == unpainted) continue;
                        ++painted;
                        ASSERT_EQ(ours, theirs.pixel(x, y)) << x << "," << y;
                    }
                EXPECT_GT(painted, 0);
            }
        }
}

TEST_F(GIFQt, ClipboardRoundTrip) {
    auto image = Load(ReadFixture("extensions.gif"));
    TMemoryStream file;
    image->SaveToStream(file);
    const QByteArray bytes(reinterpret_cast<const char*>(file.Bytes().data()),
                           static_cast<qsizetype>(file.Bytes().size()));
    QClipboard& clipboard = *QGuiApplication::clipboard();
    SaveToClipboardFormat(clipboard, *image);
    const QMimeData* data = clipboard.mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data("GIF Image"), bytes);
    EXPECT_EQ(data->data("image/gif"), bytes);
    ASSERT_TRUE(data->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_ARGB32),
              ImageBitmap(*image));

    // The file under either name alone reads back whole.
    for (const char* format : {"GIF Image", "image/gif"}) {
        SCOPED_TRACE(format);
        QMimeData only;
        only.setData(format, bytes);
        TGIFImage back;
        LoadFromClipboardFormat(only, back);
        ASSERT_EQ(back.Images().Count(), image->Images().Count());
        TMemoryStream again;
        back.SaveToStream(again);
        EXPECT_EQ(again.Bytes(), file.Bytes());
    }

    // A bitmap alone becomes one frame; other data is refused.
    QMimeData bitmapOnly;
    QImage picture(5, 4, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    bitmapOnly.setImageData(picture);
    TGIFImage fromBitmap;
    LoadFromClipboardFormat(bitmapOnly, fromBitmap);
    ASSERT_EQ(fromBitmap.Images().Count(), 1);
    EXPECT_EQ(fromBitmap.Width(), 5);
    EXPECT_EQ(ImageBitmap(fromBitmap).pixel(2, 2), qRgb(10, 200, 30));
    QMimeData text;
    text.setText("no picture");
    try {
        LoadFromClipboardFormat(text, fromBitmap);
        ADD_FAILURE() << "text taken as a picture";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Unsupported clipboard format");
    }
    // An empty image puts nothing there.
    clipboard.setText("kept");
    TGIFImage empty;
    SaveToClipboardFormat(clipboard, empty);
    EXPECT_EQ(clipboard.text(), "kept");
}

TEST_F(GIFQt, PlayerEventsAndLoops) {
    // anim.gif: four frames, loop count 2. At 2000 % the waits are short.
    auto image = Load(ReadFixture("anim.gif"));
    image->SetAnimationSpeed(2000);
    struct TRun {
        std::uint16_t options;
        int passes; // -1: for ever
    } runs[] = {
        {GIFDefaultDrawOptions, 2},                      // a loop count of n plays n times
        {GIFDefaultDrawOptions & ~goLoop, 1},            // no looping
        {GIFDefaultDrawOptions & ~goAnimate, 0},         // the first frame only
        {GIFDefaultDrawOptions | goLoopContinously, -1}, // for ever
    };
    for (const TRun& run : runs) {
        SCOPED_TRACE(run.options);
        image->SetDrawOptions(run.options);
        TGIFPlayer player(*image);
        std::vector<std::string> events;
        QObject::connect(&player, &TGIFPlayer::startPaint, [&] { events.push_back("start"); });
        QObject::connect(&player, &TGIFPlayer::beforeFrame,
                         [&](int i) { events.push_back("b" + std::to_string(i)); });
        QObject::connect(&player, &TGIFPlayer::afterFrame,
                         [&](int i) { events.push_back("a" + std::to_string(i)); });
        QObject::connect(&player, &TGIFPlayer::loop, [&] {
            events.push_back("loop");
            if (run.passes < 0 && std::count(events.begin(), events.end(), "loop") == 3) player.Stop();
        });
        QObject::connect(&player, &TGIFPlayer::endPaint, [&] { events.push_back("end"); });
        QSignalSpy frames(&player, &TGIFPlayer::frameReady);
        player.Start();
        ASSERT_TRUE(WaitForEnd(player));
        std::vector<std::string> expected{"start"};
        const int passes = run.passes < 0 ? 3 : std::max(run.passes, 1);
        for (int p = 0; p < passes; ++p) {
            if (p > 0) expected.push_back("loop");
            for (int i = 0; i < (run.passes == 0 ? 1 : 4); ++i) {
                expected.push_back("b" + std::to_string(i));
                expected.push_back("a" + std::to_string(i));
            }
        }
        if (run.passes < 0) expected.push_back("loop");
        expected.push_back("end");
        EXPECT_EQ(events, expected);
        EXPECT_EQ(frames.count(), run.passes == 0 ? 1 : passes * 4);
        EXPECT_EQ(player.ActiveFrame(), -1);
    }
}

TEST_F(GIFQt, LoopCountZeroPlaysOnceWhenSynchronousAndForEverOtherwise) {
    auto image = Load(ReadFixture("extensions.gif"));
    image->SetAnimationSpeed(5000);
    dynamic_cast<TGIFAppExtNSLoop&>(image->Images()[0].Extensions()[0]).Loops = 0;
    for (bool async : {false, true}) {
        SCOPED_TRACE(async);
        image->SetDrawOptions(async ? GIFDefaultDrawOptions : (GIFDefaultDrawOptions & ~goAsync));
        TGIFPlayer player(*image);
        int loops = 0;
        QObject::connect(&player, &TGIFPlayer::loop, [&] {
            if (++loops == 5) player.Stop();
        });
        player.Start();
        ASSERT_TRUE(WaitForEnd(player));
        EXPECT_EQ(loops, async ? 5 : 0);
    }
}

TEST_F(GIFQt, DestroyingOrClearingTheImageStopsItsPlayer) {
    for (bool destroy : {true, false}) {
        SCOPED_TRACE(destroy ? "destroyed" : "cleared");
        auto image = Load(ReadFixture("anim.gif"));
        image->SetDrawOptions(GIFDefaultDrawOptions | goLoopContinously);
        image->SetAnimationSpeed(1000);
        TGIFPlayer player(*image);
        QSignalSpy frames(&player, &TGIFPlayer::frameReady);
        QSignalSpy ended(&player, &TGIFPlayer::endPaint);
        player.Start();
        while (frames.count() < 3)
            ASSERT_TRUE(frames.wait(20000));
        if (destroy)
            image.reset();
        else
            image->Clear();
        EXPECT_EQ(ended.count(), 1);
        EXPECT_FALSE(player.Running());
        EXPECT_EQ(player.Image(), nullptr);
        // Timers that were due must find nothing to do.
        const int seen = frames.count();
        QSignalSpy more(&player, &TGIFPlayer::frameReady);
        EXPECT_FALSE(more.wait(300));
        EXPECT_EQ(frames.count(), seen);
        EXPECT_FALSE(player.Frame().isNull()) << "the last frame stays";
    }
}

TEST_F(GIFQt, DrawingStartsOnePainterPerCanvasAndRectangle) {
    QImage target(48, 32, QImage::Format_ARGB32);
    target.fill(Qt::white);
    TCanvas canvas, other;
    {
        // One frame: drawn at once, no painter.
        auto still = Load(ReadFixture("interlace.gif"));
        QPainter painter(&target);
        DrawGIF(painter, QRect(0, 0, 48, 32), *still, &canvas);
        EXPECT_EQ(still->CurrentPainter(), nullptr);
        painter.end();
        TGIFSubImage& f = still->Images()[0];
        const TGIFColor c = f.ActiveColorMap().Entry(f.Pixels(0, 0));
        EXPECT_EQ(target.pixel(0, 0), qRgb(c.Red, c.Green, c.Blue));
    }
    auto image = Load(ReadFixture("anim.gif"));
    image->SetAnimationSpeed(2000);
    QPainter painter(&target);
    DrawGIF(painter, QRect(0, 0, 48, 32), *image, &canvas);
    auto* first = dynamic_cast<TGIFPlayer*>(image->CurrentPainter());
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Running());
    EXPECT_EQ(first->parent(), &canvas);
    DrawGIF(painter, QRect(0, 0, 48, 32), *image, &canvas);
    EXPECT_EQ(image->CurrentPainter(), first) << "the same canvas and rectangle: no second painter";
    QSignalSpy frames(first, &TGIFPlayer::frameReady);
    ASSERT_TRUE(frames.wait(20000));
    QCoreApplication::processEvents();
    EXPECT_GT(canvas.Updates, 0) << "each frame asks the canvas to repaint";
    DrawGIF(painter, QRect(0, 0, 24, 16), *image, &other);
    auto* second = dynamic_cast<TGIFPlayer*>(image->CurrentPainter());
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->Canvas(), &other);
    painter.end();
    image.reset(); // while the second plays
    QCoreApplication::processEvents();
    EXPECT_FALSE(second->Running());
}

TEST_F(GIFQt, FramesScaleAndTileIntoTheRectangle) {
    // A 2 x 2 screen with one frame of 1 x 1 at (1,1): scaled into 20 x 20 it fills the lower right
    // quarter; tiled, it stands at its own size in each 2 x 2 cell.
    const Bytes bytes = Cat({Header(2, 2, 4), Descriptor(1, 1, 1, 1),
                             ImageData(2, TCodePacker(2).Clear().Code(3).End()), Bytes{0x3B}});
    auto image = Load(bytes);
    const TGIFColor c = image->Header().ColorMap().Entry(3);
    const QRgb colour = qRgb(c.Red, c.Green, c.Blue);
    QImage target(20, 20, QImage::Format_ARGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    painter.setPen(Qt::red);
    painter.setBackground(Qt::green);
    DrawFrame(painter, QRect(0, 0, 20, 20), *image, 0, true, false);
    EXPECT_EQ(painter.pen().color(), QColor(Qt::red));
    EXPECT_EQ(painter.background().color(), QColor(Qt::green));
    painter.end();
    EXPECT_EQ(target.pixel(15, 15), colour);
    EXPECT_EQ(target.pixel(10, 10), colour);
    EXPECT_EQ(target.pixel(9, 15), qRgb(255, 255, 255));
    target.fill(Qt::white);
    painter.begin(&target);
    DrawFrame(painter, QRect(0, 0, 20, 20), *image, 0, true, true);
    painter.end();
    EXPECT_EQ(target.pixel(1, 1), colour);
    EXPECT_EQ(target.pixel(3, 3), colour);
    EXPECT_EQ(target.pixel(19, 19), colour);
    EXPECT_EQ(target.pixel(2, 2), qRgb(255, 255, 255));
}

TEST_F(GIFQt, ScreenDepthDecidesThePaletteDisplay) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const bool expected = PaletteDisplayOf(screen->depth());
    EXPECT_EQ(StartupPaletteDisplay(), expected) << "read when the application started";
    GIFPaletteDisplay = !expected;
    ReadScreenDepth();
    EXPECT_EQ(GIFPaletteDisplay, expected);
    for (const int depth : {1, 4, 8})
        EXPECT_TRUE(PaletteDisplayOf(depth)) << depth;
    for (const int depth : {15, 16, 24, 32})
        EXPECT_FALSE(PaletteDisplayOf(depth)) << depth;
}

TEST_F(GIFQt, DitheredDrawingUsesTheCube) {
    // Bit 9 alone: frames are drawn through the 216-colour cube; the transparent colour stays clear.
    auto image = Load(ReadFixture("transparent.gif"));
    const TGIFSubImage& frame = image->Images()[0];
    const QImage own = FrameImage(frame, true);
    image->SetDrawOptions(goDither | goTransparent);
    image->Images()[0].FreeBitmap();
    const QImage cube = FrameImage(frame, true);
    const int transparent = frame.TransparentColorIndex();
    int changed = 0;
    for (int y = 0; y < cube.height(); ++y)
        for (int x = 0; x < cube.width(); ++x) {
            const QRgb p = cube.pixel(x, y);
            if (frame.Data()[static_cast<std::size_t>(y * frame.Width() + x)] == transparent) {
                EXPECT_EQ(qAlpha(p), 0);
                continue;
            }
            EXPECT_EQ(qAlpha(p), 255);
            for (const int c : {qRed(p), qGreen(p), qBlue(p)})
                EXPECT_EQ(c % 51, 0) << x << "," << y;
            if (p != own.pixel(x, y)) ++changed;
        }
    EXPECT_GT(changed, 0);
    EXPECT_EQ(ImageBitmap(*image).pixel(5, 5), QRgb(cube.pixel(5, 5))) << "the image's picture too";
}

#include "qt_gif_test.moc"
