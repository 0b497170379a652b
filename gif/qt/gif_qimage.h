#pragma once
// Between QImage and the codec's bitmap. GUI thread or any thread that owns the images.

#include "gif/gif_bitmap.h"

#include <QImage>

// Indexed 8-bit and 1-bit images keep their indices and colour table; every other format
// becomes a 24-bit bitmap. An image with transparent pixels (alpha below 128) gets them as the
// bitmap's mask, so that a GIF made from it keeps them transparent.
TBitmap BitmapFromQImage(const QImage& image);
// An indexed bitmap gives an indexed QImage with its palette, a true-colour one Format_RGB888.
QImage QImageFromBitmap(const TBitmap& bitmap);
