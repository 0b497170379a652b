// Writes the assets the program ships with into a run directory:
//   Pics/default/bk.bmp, bs.bmp, ws.bmp, wk.bmp  70 x 70 piece pictures
//   Resources/Move.wav                           the move click, a 2,612-byte WAVE sound
//   Resources/About.jpg                          the about box's picture
// Usage: make_assets <run directory>

#include "app/core/piece_art.h"
#include "platform/atomic_file.h"
#include "platform/byte_codec.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <jpeglib.h>
#include <string>
#include <string_view>
#include <vector>

namespace {
bool WriteFile(const std::string& path, std::string_view bytes) {
    const TIoStatus s = AtomicWriteFile(path, bytes);
    if (!s) std::fprintf(stderr, "make_assets: %s\n", s.Message().c_str());
    return s.Ok();
}

// A short wooden click: a decaying tone with a little noise, 22,050 Hz, 16-bit mono.
std::string MoveClickWave() {
    const int rate = 22050, samples = 1284; // 44 header bytes + 2,568 data bytes = 2,612
    std::string data;
    std::uint32_t noise = 0x12345678u;
    for (int i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / rate;
        noise = noise * 1664525u + 1013904223u;
        const double n = (static_cast<double>(noise >> 8) / (1u << 24)) * 2.0 - 1.0;
        const double env = std::exp(-t * 420.0);
        const double v = env * (0.55 * std::sin(2 * M_PI * 1250.0 * t) +
                                0.25 * std::sin(2 * M_PI * 2900.0 * t) + 0.2 * n * std::exp(-t * 1500.0));
        const int s = static_cast<int>(std::lround(v * 26000.0));
        AppendLe16(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(s)));
    }
    std::string w = "RIFF";
    AppendLe32(w, static_cast<unsigned>(36 + data.size()));
    w += "WAVEfmt ";
    AppendLe32(w, 16);
    AppendLe16(w, 1);
    AppendLe16(w, 1);
    AppendLe32(w, rate);
    AppendLe32(w, rate * 2);
    AppendLe16(w, 2);
    AppendLe16(w, 16);
    w += "data";
    AppendLe32(w, static_cast<unsigned>(data.size()));
    return w + data;
}

// The about picture: a corner of a board with a white king, 240 x 240.
std::vector<std::uint8_t> AboutPixels(int size) {
    std::vector<std::uint8_t> rgb(3 * size * size);
    const std::vector<std::uint8_t> king = RenderPieceArt(3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::uint8_t* p = &rgb[3 * (y * size + x)];
            const bool dark = ((x / 60) + (y / 60)) % 2 == 1;
            const int shade = 20 * (x + y) / size;
            if (dark) {
                p[0] = static_cast<std::uint8_t>(64 + shade);
                p[1] = static_cast<std::uint8_t>(128 + shade);
                p[2] = static_cast<std::uint8_t>(128 + shade);
            } else {
                p[0] = 227;
                p[1] = 240;
                p[2] = 240;
            }
            // The king, twice its size, in the middle.
            const int kx = (x - (size / 2 - PieceArtSize)) / 2, ky = (y - (size / 2 - PieceArtSize)) / 2;
            if (kx >= 0 && ky >= 0 && kx < PieceArtSize && ky < PieceArtSize) {
                const std::uint8_t* k = &king[3 * (ky * PieceArtSize + kx)];
                if (!(k[0] == PieceArtKey[0] && k[1] == PieceArtKey[1] && k[2] == PieceArtKey[2]))
                    p[0] = k[0], p[1] = k[1], p[2] = k[2];
            }
        }
    return rgb;
}

bool WriteJpeg(const std::string& path, const std::vector<std::uint8_t>& rgb, int size) {
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    jpeg_mem_dest(&info, &jpeg, &jpegSize);
    info.image_width = static_cast<JDIMENSION>(size);
    info.image_height = static_cast<JDIMENSION>(size);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[3 * info.next_scanline * static_cast<unsigned>(size)]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const bool written = WriteFile(path, std::string_view(reinterpret_cast<const char*>(jpeg), jpegSize));
    std::free(jpeg);
    return written;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_assets <run directory>\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir / "Pics" / "default");
    std::filesystem::create_directories(dir / "Resources");
    const char* names[4] = {"bk.bmp", "bs.bmp", "ws.bmp", "wk.bmp"};
    bool ok = true;
    for (int i = 0; i < 4; ++i)
        ok &= WriteFile((dir / "Pics" / "default" / names[i]).string(),
                        EncodeBmp24(PieceArtSize, PieceArtSize, RenderPieceArt(i)));
    ok &= WriteFile((dir / "Resources" / "Move.wav").string(), MoveClickWave());
    ok &= WriteJpeg((dir / "Resources" / "About.jpg").string(), AboutPixels(240), 240);
    return ok ? 0 : 1;
}
