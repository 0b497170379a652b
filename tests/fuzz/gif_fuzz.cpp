// GIF files and clipboard data: the whole reader, then what is read is composed and written again.
#include "gif/gif_compositor.h"
#include "gif/gif_image.h"

#include <cstdint>
#include <exception>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TGIFImage image;
    int warnings = 0;
    image.OnWarning = [&warnings](TGIFSeverity, const std::string&) { ++warnings; };
    TMemoryStream stream(std::vector<std::uint8_t>(data, data + size));
    try {
        image.LoadFromStream(stream);
    } catch (const GIFException&) {
        // A failed load keeps the frames read before the fault; they go on below.
    }
    // Composing and writing walk every pixel again; large pictures cost time here, not coverage.
    std::int64_t pixels = 0;
    for (int i = 0; i < image.Images().Count(); ++i)
        pixels += static_cast<std::int64_t>(image.Images()[i].Data().size());
    if (pixels > (1 << 20)) return 0;
    if (static_cast<std::int64_t>(image.Width()) * image.Height() <= (1 << 20)) {
        TGIFCompositor compositor(image, ScreenOptions(image));
        for (int i = 0; i < image.Images().Count(); ++i)
            compositor.DrawFrame(i);
    }
    try {
        TMemoryStream out;
        image.SaveToStream(out);
    } catch (const GIFException&) {
        // Indices past a frame's table, or no frames at all.
    }
    return 0;
}
