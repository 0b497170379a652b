// vqgif IN.ppm OUT.gif [--rle] [--interlace] [--colors N] [--dither MODE]
// Reduces a binary PPM picture and writes it as a GIF, by the same path as the diagram export
// when no option is given.
// vqgif --decode IN.gif OUT.ppm [--frame N]
// Writes frame N (0 by default) as the screen shows it after frames 0 .. N, as a binary PPM.

#include "gif/gif_compositor.h"
#include "gif/gif_image.h"
#include "gif/reduce_colors.h"
#include "tools/vqgif/ppm.h"

#include <bit>
#include <iostream>
#include <string>

namespace {
int Usage() {
    std::cerr << "usage: vqgif IN.ppm OUT.gif [--rle] [--interlace] [--colors N] [--dither MODE]\n"
                 "       vqgif --decode IN.gif OUT.ppm [--frame N]\n"
                 "  --colors N   quantise to N colours (a power of two, 2..256)\n"
                 "  --dither M   0-6 or none, floyd, stucki, sierra, jajuni, stevearche, burkes\n"
                 "  --frame N    the frame to write, composed over the frames before it (default 0)\n";
    return 2;
}

int DitherModeOf(const std::string& text) {
    static const char* names[] = {"none", "floyd", "stucki", "sierra", "jajuni", "stevearche", "burkes"};
    for (int i = 0; i < 7; ++i)
        if (text == names[i] || text == std::to_string(i)) return i;
    return -1;
}
void Warn(TGIFSeverity, const std::string& message) {
    std::cerr << "vqgif: warning: " << message << "\n";
}

int Decode(int argc, char** argv) {
    if (argc < 4) return Usage();
    const std::string input = argv[2], output = argv[3];
    long long frame = 0;
    for (int i = 4; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--frame" && i + 1 < argc && ParseDecimal(argv[i + 1], frame))
            ++i;
        else
            return Usage();
    }
    try {
        TGIFImage image;
        image.OnWarning = Warn;
        image.LoadFromFile(input);
        const int count = image.Images().Count();
        if (frame >= count)
            throw std::runtime_error(input + ": no frame " + std::to_string(frame) + " (the file holds " +
                                     std::to_string(count) + ")");
        TGIFCompositor compositor(image, ScreenOptions(image));
        compositor.ComposeTo(static_cast<int>(frame));
        std::vector<std::uint8_t> rgb;
        rgb.reserve(compositor.Canvas().size() * 3);
        for (TRGBA p : compositor.Canvas()) {
            rgb.push_back(static_cast<std::uint8_t>(p >> 16));
            rgb.push_back(static_cast<std::uint8_t>(p >> 8));
            rgb.push_back(static_cast<std::uint8_t>(p));
        }
        WriteFileBytes(output, EncodePPM(compositor.Width(), compositor.Height(), rgb));
    } catch (const std::exception& e) {
        std::cerr << "vqgif: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--decode") return Decode(argc, argv);
    if (argc < 3) return Usage();
    const std::string input = argv[1], output = argv[2];
    bool rle = false, interlace = false;
    int colors = 0, dither = GIFDefaultDitherMode;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rle") {
            rle = true;
        } else if (arg == "--interlace") {
            interlace = true;
        } else if (arg == "--colors" && i + 1 < argc) {
            long long n;
            if (!ParseDecimal(argv[++i], n) || n < 2 || n > 256 || (n & (n - 1)) != 0) {
                std::cerr << "vqgif: --colors takes a power of two from 2 to 256\n";
                return 2;
            }
            colors = static_cast<int>(n);
        } else if (arg == "--dither" && i + 1 < argc) {
            dither = DitherModeOf(argv[++i]);
            if (dither < 0) return Usage();
        } else {
            return Usage();
        }
    }
    try {
        const TBitmap picture = ReadPPM(input);
        TGIFImage image;
        image.OnWarning = Warn;
        image.SetCompression(rle ? 1 : 0);
        image.SetDitherMode(dither);
        if (colors) {
            image.SetColorReduction(rmQuantize);
            image.SetReductionBits(std::countr_zero(static_cast<unsigned>(colors)));
        }
        image.Assign(picture);
        if (interlace) {
            // Frames with a table of their own are stored in row order; an interlaced frame
            // takes its colours from the global table.
            TGIFSubImage& frame = image.Images()[0];
            image.Header().ColorMap().Assign(frame.ColorMap());
            frame.ColorMap().Clear();
            frame.SetInterlaced(true);
        }
        image.SaveToFile(output);
    } catch (const std::exception& e) {
        std::cerr << "vqgif: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
