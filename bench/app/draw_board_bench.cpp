// The 25 ms timer redraws the board: a full 10x10 position must take well under 5 ms.

#include "app/core/board_geometry.h"
#include "app/ui/board_picture.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {
QGuiApplication& App() {
    static int argc = 1;
    static char name[] = "draw_board_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return app;
}

TBoard FullBoard() {
    TBoard b = EmptyBoard;
    const std::int8_t values[4] = {sqMan0, sqKing0, sqMan1, sqKing1};
    for (int sq = 1; sq <= 50; ++sq)
        b[sq] = values[sq % 4];
    return b;
}

void DrawFull10x10(benchmark::State& state) {
    App();
    const bool withFrame = state.range(0) != 0;
    TBoardPicture pic;
    TBoardView view;
    view.variant = gtInternational;
    view.playMode = true;
    const TBoard b = FullBoard();
    std::array<bool, MaxSquares + 1> flags{};
    flags[31] = flags[22] = flags[13] = true;
    for (auto _ : state) {
        pic.Draw(view, b, flags, withFrame);
        benchmark::DoNotOptimize(pic.Image().constBits());
    }
}
} // namespace

BENCHMARK(DrawFull10x10)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
