// Diagram export of an 880 x 880 board picture: reduction and encoding timed apart, then whole.

#include "tests/gif/board_picture.h"

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
