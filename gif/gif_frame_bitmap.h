#pragma once
// The bitmap that stands for a frame when it is drawn, built from its pixels. Plain C++.

#include "gif/gif_bitmap.h"

#include <cstdint>

class IGIFFrameOwner;
class TGIFColorMap;

// What a frame's bitmap is built from: its size and pixels (one colour index a byte, row by row;
// null for a frame without pixels), its active colour table, its transparent colour index (-1 for
// none) and the image that hears of the progress (none: no events).
struct TFramePixels {
    int width = 0, height = 0;
    const std::uint8_t* data = nullptr;
    const TGIFColorMap* colors = nullptr;
    int transparent = -1;
    IGIFFrameOwner* owner = nullptr;
};

// The frame as an 8-bit bitmap of its size, row by row, with a "Rendering..." progress event of
// its image every 32 rows (rows 0, 32, ...: row x 100 / height percent). Without dither the
// palette is the frame's active colour table and the pixels keep their indices; with dither every
// pixel's colour is mapped to the 216-colour cube (NetscapePalette) by Floyd-Steinberg error
// diffusion in serpentine rows. The pixels of the frame's transparent colour are not dithered:
// they are set in the bitmap's mask, which it has when at least one pixel is transparent. An
// empty frame gives zero pixels with the palette.
TBitmap BuildFrameBitmap(const TFramePixels& frame, bool dither);
