// The engines' signature: searches the 24 signature positions with each library's core to a fixed
// iteration (a cleared 16 MB table and game history before each) and prints move, value and nodes
// a position, and the totals. The nodes at iteration 11 are what the signature test holds.
//
//   engine_bench [--english | --italian] [--depth N]

#include "bench_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void print_totals(const char* library, const engine_bench::totals& t) {
    const double seconds = t.milliseconds / 1000.0;
    std::printf("%s: %llu nodes, %.2f s, %.0f kN/s\n\n", library, static_cast<unsigned long long>(t.nodes),
                seconds, seconds > 0 ? t.nodes / seconds / 1000.0 : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    bool english = true, italian = true;
    int depth = 11;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--english")) {
            italian = false;
        } else if (!std::strcmp(argv[i], "--italian")) {
            english = false;
        } else if (!std::strcmp(argv[i], "--depth") && i + 1 < argc) {
            depth = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: engine_bench [--english | --italian] [--depth N]\n");
            return 2;
        }
    }
    if (depth < 1 || depth > 96) {
        std::fprintf(stderr, "engine_bench: the depth is an iteration from 1 to 96\n");
        return 2;
    }
    std::printf("Iteration %d, position, move, value, nodes, time\n", depth);
    if (english) {
        std::printf("Marrak (English)\n");
        print_totals("Marrak", engine_bench::run_english(depth));
    }
    if (italian) {
        std::printf("marrak_italian (Italian)\n");
        print_totals("marrak_italian", engine_bench::run_italian(depth));
    }
    return 0;
}
