#include "gif/gif_frame_bitmap.h"

#include "gif/color_lookup.h"
#include "gif/ditherer.h"
#include "gif/gif_color_map.h"
#include "gif/gif_image_settings.h"
#include "gif/system_palettes.h"

TBitmap BuildFrameBitmap(const TFramePixels& frame, bool dither) {
    const int width = frame.width, height = frame.height;
    TBitmap bitmap(width, height, pf8bit);
    const TGIFColorMap& map = *frame.colors;
    bitmap.SetPalette(dither ? NetscapePalette(pcNoCollapse) : map.ExportPalette());
    if (!frame.data || width == 0 || height == 0) return bitmap;

    const int transparent = frame.transparent;
    std::vector<std::uint8_t> mask;
    if (transparent >= 0) mask.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    bool masked = false;
    TNetscapeColorLookup lookup;
    TFloydSteinbergDitherer ditherer(width, lookup);
    for (int y = 0; y < height; ++y) {
        if (y % 32 == 0 && frame.owner) frame.owner->Progress(psRunning, y * 100 / height, "Rendering...");
        const std::uint8_t* src = frame.data + static_cast<std::size_t>(y) * width;
        std::uint8_t* dst = bitmap.ScanLine(y);
        std::uint8_t* maskRow = mask.empty() ? nullptr : mask.data() + static_cast<std::size_t>(y) * width;
        if (!dither) {
            std::copy(src, src + width, dst);
            if (maskRow)
                for (int x = 0; x < width; ++x)
                    if (src[x] == transparent) {
                        maskRow[x] = 1;
                        masked = true;
                    }
            continue;
        }
        std::uint8_t r, g, b;
        for (int x = ditherer.Column(); x >= 0 && x < width; x = ditherer.Column()) {
            if (src[x] == transparent) {
                maskRow[x] = 1;
                masked = true;
                ditherer.Skip();
                continue;
            }
            const TGIFColor c = map.Entry(src[x]);
            dst[x] = static_cast<std::uint8_t>(ditherer.Dither(c.Red, c.Green, c.Blue, r, g, b));
        }
        ditherer.NextLine();
    }
    if (masked) bitmap.SetMask(std::move(mask));
    return bitmap;
}
