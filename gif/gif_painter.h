#pragma once
// What an image knows of the painters that animate it (the players of gif/qt): it tells them to
// stop before its frames are cleared or freed, and keeps the one it started last.

class IGIFPainter {
  public:
    virtual ~IGIFPainter() = default;
    // The image is being cleared or destroyed: stop at once and never touch it again. The
    // painter detaches itself from the image before it returns or later; it need not.
    virtual void ImageGone() = 0;
};
