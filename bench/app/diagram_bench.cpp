// The diagram export: resampling the board picture, and the whole export at 880 pixels as the
// main window does it (board picture to bitmap, resample, reduce, encode, write).

#include "app/core/diagram_export.h"
#include "app/core/resample.h"
#include "app/ui/board_picture.h"
#include "gif/qt/gif_qimage.h"
#include "rules/board.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {
const QImage& BoardPicture() {
    static const QImage board = [] {
        static int argc = 1;
        static char name[] = "diagram_bench";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication app(argc, argv);
        TBoardPicture picture;
        TBoardView view;
        std::array<bool, MaxSquares + 1> flags{};
        picture.Draw(view, StartPosition64, flags, true);
        return picture.Image();
    }();
    return board;
}

const TBitmap& Board880() {
    static const TBitmap board = BitmapFromQImage(BoardPicture());
    return board;
}

// Arg 0: 880 -> 220; arg 1: 440 -> 880.
void BM_ResampleTriangle(benchmark::State& state) {
    TBitmap source = Board880();
    int to = 220;
    if (state.range(0) == 1) {
        TBitmap half(440, 440, pf24bit);
        ResampleBitmap(source, half, TriangleFilter, 1.0f);
        source = half;
        to = 880;
    }
    TBitmap destination(to, to, pf24bit);
    for (auto _ : state) {
        ResampleBitmap(source, destination, TriangleFilter, 1.0f);
        benchmark::DoNotOptimize(destination.ScanLine(0));
    }
}
BENCHMARK(BM_ResampleTriangle)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ExportDiagram880(benchmark::State& state) {
    const std::string file =
        (std::filesystem::temp_directory_path() / ("diagram-bench-" + std::to_string(getpid()) + ".gif"))
            .string();
    for (auto _ : state) {
        SaveDiagramGif(MakeDiagram(BitmapFromQImage(BoardPicture()), 880), file);
    }
    state.counters["file bytes"] = static_cast<double>(std::filesystem::file_size(file));
    std::filesystem::remove(file);
}
BENCHMARK(BM_ExportDiagram880)->Unit(benchmark::kMillisecond);
} // namespace
