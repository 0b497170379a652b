// GIF files and clipboard data: the whole reader, from memory and from a file (which must read the
// same); then what is read is composed, its frames' bitmaps are built with both builders, a frame
// with a transparent colour goes through a masked bitmap into a new image, and all is written again.
#include "gif/gif_compositor.h"
#include "gif/gif_frame_bitmap.h"
#include "gif/gif_image.h"

#include "platform/file_io.h"

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace {
std::vector<std::uint8_t> Saved(TGIFImage& image) {
    try {
        TMemoryStream out;
        image.SaveToStream(out);
        return out.Bytes();
    } catch (const GIFException&) {
        return {}; // indices past a frame's table, or no frames at all
    }
}

// The same bytes through a file: what is read, and how the reading ends, must not differ.
void CompareWithFile(const std::uint8_t* data, std::size_t size, TGIFImage& fromMemory,
                     const std::string& error) {
    const int fd = ::memfd_create("gif_fuzz", MFD_CLOEXEC);
    if (fd < 0) return;
    if (PwriteAll(fd, data, size, 0)) {
        TGIFImage fromFile;
        std::string fileError;
        try {
            fromFile.LoadFromFile("/proc/self/fd/" + std::to_string(fd));
        } catch (const std::exception& e) {
            fileError = e.what();
        }
        if (fileError != error || fromFile.Images().Count() != fromMemory.Images().Count() ||
            Saved(fromFile) != Saved(fromMemory))
            __builtin_trap();
    }
    ::close(fd);
}

// A frame's drawing bitmap as a true-colour picture with its mask, made into a frame again.
void Reassign(const TGIFSubImage& frame) {
    const TBitmap& built = frame.GetBitmap();
    if (!built.HasMask()) return;
    TBitmap picture = built;
    picture.SetPixelFormat(pf24bit);
    TGIFImage image;
    image.Assign(picture);
    Saved(image);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TGIFImage image;
    int warnings = 0;
    image.OnWarning = [&warnings](TGIFSeverity, const std::string&) { ++warnings; };
    TMemoryStream stream(std::vector<std::uint8_t>(data, data + size));
    std::string error;
    try {
        image.LoadFromStream(stream);
    } catch (const std::exception& e) {
        // A failed load keeps the frames read before the fault; they go on below.
        error = e.what();
    }
    image.OnWarning = nullptr;
    // Composing and writing walk every pixel again; large pictures cost time here, not coverage.
    std::int64_t pixels = 0;
    for (int i = 0; i < image.Images().Count(); ++i)
        pixels += static_cast<std::int64_t>(image.Images()[i].Data().size());
    if (pixels > (1 << 20)) return 0;
    CompareWithFile(data, size, image, error);
    if (static_cast<std::int64_t>(image.Width()) * image.Height() <= (1 << 20)) {
        TGIFCompositor compositor(image, ScreenOptions(image));
        for (int i = 0; i < image.Images().Count(); ++i)
            compositor.DrawFrame(i);
        // From the frames' bitmaps, dithered to the cube.
        image.SetDrawOptions(goDither | goTransparent);
        TGIFCompositor drawn(image, DrawingScreenOptions(image));
        for (int i = 0; i < image.Images().Count(); ++i)
            drawn.DrawFrame(i);
    }
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage& frame = image.Images()[i];
        BuildFrameBitmap(frame, false);
        BuildFrameBitmap(frame, true);
        Reassign(frame);
    }
    Saved(image);
    return 0;
}
