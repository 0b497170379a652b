// Diagram export of an 880 x 880 board picture: reduction and encoding timed apart, then whole.

#include "tests/gif/board_picture.h"

#include "gif/gif_compositor.h"
#include "gif/gif_graphic_control.h"
#include "gif/gif_image.h"
#include "gif/reduce_colors.h"

#include <benchmark/benchmark.h>

namespace {
const TBitmap& Board() {
    static const TBitmap board = MakeBoardPicture(880);
    return board;
}

void BM_ReduceBoard(benchmark::State& state) {
    for (auto _ : state) {
        TBitmap reduced = ReduceColors(Board(), GIFDefaultColorReduction, GIFDefaultDitherMode, nullptr, 8);
        benchmark::DoNotOptimize(reduced);
    }
}
BENCHMARK(BM_ReduceBoard)->Unit(benchmark::kMillisecond);

void BM_EncodeBoard(benchmark::State& state) {
    const TBitmap reduced = ReduceColors(Board(), GIFDefaultColorReduction, GIFDefaultDitherMode, nullptr, 8);
    TGIFImage image;
    image.SetCompression(static_cast<int>(state.range(0)));
    image.Assign(reduced);
    std::size_t size = 0;
    for (auto _ : state) {
        TMemoryStream stream;
        image.SaveToStream(stream);
        size = stream.Bytes().size();
    }
    state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_EncodeBoard)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The whole export: reduction, conversion into a frame, encoding. Arg 1: the picture without
// pixel noise, closer to a rendered diagram.
void BM_ExportBoard(benchmark::State& state) {
    static const TBitmap smooth = MakeBoardPicture(880, false);
    const TBitmap& picture = state.range(0) ? smooth : Board();
    for (auto _ : state) {
        TGIFImage image;
        image.Assign(picture);
        TMemoryStream stream;
        image.SaveToStream(stream);
        benchmark::DoNotOptimize(stream);
    }
}
BENCHMARK(BM_ExportBoard)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
} // namespace

// Decoding a 4000 x 4000 frame (raster output per second), from the board picture reduced and
// encoded once.
namespace {
std::vector<std::uint8_t> EncodedBig(int compression) {
    const TBitmap picture = MakeBoardPicture(4000, false);
    TGIFImage image;
    image.SetCompression(compression);
    image.Assign(picture);
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

void BM_DecodeBigFrame(benchmark::State& state) {
    static const std::vector<std::uint8_t> bytes[2] = {EncodedBig(0), EncodedBig(1)};
    const std::vector<std::uint8_t>& file = bytes[state.range(0)];
    for (auto _ : state) {
        TMemoryStream stream(file);
        TGIFImage image;
        image.LoadFromStream(stream);
        benchmark::DoNotOptimize(image.Images()[0].Data().data());
    }
    state.SetBytesProcessed(state.iterations() * 4000LL * 4000LL);
    state.counters["file bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_DecodeBigFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One frame of an 880 x 880 animation: the previous frame disposed of (restore to previous, the
// costliest), this one drawn with a transparent colour.
void BM_ComposeFrame(benchmark::State& state) {
    TGIFImage image;
    image.Assign(ReduceColors(Board(), GIFDefaultColorReduction, GIFDefaultDitherMode, nullptr, 8));
    image.Add(ReduceColors(MakeBoardPicture(880, false), GIFDefaultColorReduction, GIFDefaultDitherMode,
                           nullptr, 8));
    for (int i = 0; i < 2; ++i) {
        auto control = std::make_unique<TGIFGraphicControlExtension>(image.Images()[i]);
        control->SetDisposal(dsPrevious);
        control->SetTransparent(true);
        control->SetTransparentColorIndex(3);
        image.Images()[i].Extensions().Add(std::move(control));
    }
    TGIFCompositor compositor(image);
    int frame = 0;
    for (auto _ : state) {
        compositor.DrawFrame(frame);
        frame ^= 1;
        benchmark::DoNotOptimize(compositor.Canvas().data());
    }
}
BENCHMARK(BM_ComposeFrame)->Unit(benchmark::kMillisecond);
} // namespace
