// The game panel is laid out after every change and drawn on the 25 ms timer: both must stay
// well inside one tick for a full, branchy game.

#include "app/ui/game_panel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {
QApplication& App() {
    static int argc = 1;
    static char name[] = "game_panel_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// 1,024 nodes: mostly a long main line, every seventh node a side line off a recent node, long
// comments on every third node.
std::unique_ptr<TGame> BranchyGame() {
    auto g = std::make_unique<TGame>();
    InitGame(*g, gtRussian);
    std::mt19937 rng(5);
    std::vector<int> hasChild(NodeSlots, 0);
    int tip = 0;
    for (int n = 1; n <= MaxNodes; ++n) {
        int parent = tip;
        if (n % 7 == 0 && n > 10) parent = n - 1 - static_cast<int>(rng() % 10);
        TMove& m = g->nodes[n];
        m = TMove{};
        m.from = static_cast<std::uint8_t>(1 + rng() % 32);
        m.squares[0] = static_cast<std::uint8_t>(1 + rng() % 32);
        m.parent = static_cast<std::uint16_t>(parent);
        m.mainLine = hasChild[parent] == 0;
        ++hasChild[parent];
        if (parent == tip) tip = n;
        if (n % 3 == 0) g->commentAfter[n] = std::string(120, 'w') + " and a few more words to wrap";
    }
    g->header.nodeCount = MaxNodes;
    return g;
}

void BuildGameTree(benchmark::State& state) {
    App();
    TGamePanel panel;
    panel.resize(420, 700);
    auto g = BranchyGame();
    for (auto _ : state) {
        panel.DoBuildGameTree(*g);
        benchmark::DoNotOptimize(panel.Layout().Items().size());
    }
    state.counters["items"] = static_cast<double>(panel.Layout().Items().size());
}
BENCHMARK(BuildGameTree)->Unit(benchmark::kMillisecond);

void ShowOnePage(benchmark::State& state) {
    App();
    TGamePanel panel;
    panel.resize(420, 700);
    auto g = BranchyGame();
    panel.DoBuildGameTree(*g);
    QImage image(panel.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        panel.PaintPanel(p, true);
    }
}
BENCHMARK(ShowOnePage)->Unit(benchmark::kMillisecond);
} // namespace
