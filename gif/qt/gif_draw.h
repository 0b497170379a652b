#pragma once
// Drawing a GIF image with a QPainter: a frame as a QImage, a frame stretched or tiled into a
// rectangle, the image's picture, and the image's Draw, which animates an image of several
// frames through a TGIFPlayer. GUI thread only.

#include "gif/gif_image.h"

#include <QImage>
#include <QRect>

class QObject;
class QPainter;

// The frame's bitmap (TGIFSubImage::GetBitmap: dithered to the 216-colour cube when the image's
// draw options say so) at its own size, ARGB32. With transparent, its masked pixels (those of its
// transparent colour index) are clear; colour indices past its colour table are black.
QImage FrameImage(const TGIFSubImage& frame, bool transparent);

// The image's picture: the first frame's bitmap on the logical screen, on the screen's
// background. Null for an empty image.
QImage ImageBitmap(const TGIFImage& image);

// Sets GIFPaletteDisplay from the primary screen's depth (8 bits or fewer: a palette display);
// leaves it when there is no screen. Run once when the application starts; GUI thread.
void ReadScreenDepth();
// Whether a screen of that many bits per pixel is a palette display.
constexpr bool PaletteDisplayOf(int depth) {
    return depth < 9;
}

// Frame index scaled from the logical screen into rect; with tile, at its own size in every
// screen-sized cell that starts inside rect.
void DrawFrame(QPainter& painter, const QRect& rect, const TGIFImage& image, int index, bool transparent,
               bool tile);

// Draws the image into rect by its draw options: one frame, or animation off, draws frame 0 with
// the transparent and tile options. An animation is played by a TGIFPlayer made for canvas and
// rect (a child of canvas, which gets update() called on each frame); drawing the same image on
// the same canvas and rect again shows that player's frame and starts no other. Without a canvas
// the first frame is drawn composed on the screen.
void DrawGIF(QPainter& painter, const QRect& rect, TGIFImage& image, QObject* canvas = nullptr);
