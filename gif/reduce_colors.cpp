#include "gif/reduce_colors.h"

#include "gif/color_quantizer.h"
#include "gif/ditherer.h"
#include "gif/system_palettes.h"

#include <memory>

namespace {
TPalette Greys(std::initializer_list<int> levels) {
    TPalette p;
    for (int v : levels) {
        const auto g = static_cast<std::uint8_t>(v);
        p.push_back({g, g, g, pcNoCollapse});
    }
    return p;
}

TPalette QuantizedPalette(const TBitmap& bitmap24, int mode, int bits) {
    const TPalette& system = StockDefaultPalette();
    TColorQuantizer quantizer(mode == rmQuantize ? 1 << bits : 236);
    quantizer.ProcessImage(bitmap24);
    const TPalette colours = quantizer.ColorTable();
    if (mode == rmQuantize) {
        TPalette p(static_cast<std::size_t>(1) << bits);
        for (std::size_t i = 0; i < colours.size() && i < p.size(); ++i)
            p[i] = colours[i];
        return p;
    }
    TPalette p(256);
    std::copy(system.begin(), system.begin() + 10, p.begin());
    std::copy(system.begin() + 10, system.end(), p.begin() + 246);
    for (std::size_t i = 0; i < colours.size() && i < 236; ++i)
        p[10 + i] = colours[i];
    return p;
}
} // namespace

TBitmap ReduceColors(const TBitmap& bitmap, int reductionMode, int ditherMode, const TPalette* palette,
                     int bits) {
    TBitmap result;
    if (reductionMode == rmNone) {
        result = bitmap;
        result.SetPixelFormat(pf24bit);
        return result;
    }
    // Big pictures first drop the result's pixels so that two full copies never coexist.
    if (static_cast<std::int64_t>(bitmap.Width()) * bitmap.Height() > 500000) result.SetPixelFormat(pf1bit);
    if (reductionMode < 1 || reductionMode > 9 || ditherMode < 0 || ditherMode > 6) return result;
    if (reductionMode == rmQuantize && (bits < 1 || bits > 8)) return result;

    const TDIBReader reader(bitmap, pf24bit);
    TPalette colours;
    std::unique_ptr<TColorLookup> lookup;
    switch (reductionMode) {
    case rmWindows20:
        colours = StockDefaultPalette();
        break;
    case rmWindows256:
        colours = HalftonePalette();
        break;
    case rmWindowsGray:
        colours = Greys({0, 128, 192, 255});
        break;
    case rmMonochrome:
        colours = Greys({0, 255});
        lookup = std::make_unique<TMonochromeLookup>();
        break;
    case rmGrayScale:
        for (int i = 0; i < 256; ++i)
            colours.push_back(Greys({i})[0]);
        lookup = std::make_unique<TGrayScaleLookup>();
        break;
    case rmNetscape:
        colours = NetscapePalette();
        lookup = std::make_unique<TNetscapeColorLookup>();
        break;
    case rmQuantize:
    case rmQuantizeWindows:
        colours = QuantizedPalette(reader.Bitmap(), reductionMode, bits);
        break;
    case rmPalette:
        if (palette) colours = *palette;
        break;
    }
    if (!lookup) lookup = std::make_unique<TFastColorLookup>(colours);
    if (lookup->Colors() == 0) return result;

    const int width = bitmap.Width(), height = bitmap.Height();
    if (width == 0 || height == 0) return result;
    std::unique_ptr<TDitherEngine> ditherer = CreateDitherer(ditherMode, width, *lookup);
    TDIBWriter writer(result, colours, width, height, pf8bit);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = reader.ScanLine(y);
        std::uint8_t* dst = writer.ScanLine(y);
        std::uint8_t r, g, b;
        for (int x = ditherer->Column(); x >= 0 && x < width; x = ditherer->Column())
            dst[x] = static_cast<std::uint8_t>(
                ditherer->Dither(src[3 * x + 2], src[3 * x + 1], src[3 * x], r, g, b));
        ditherer->NextLine();
    }
    writer.Store();
    return result;
}
