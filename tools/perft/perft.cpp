// perft --variant V --depth D [--squares S --side 0|1] [--unique] [--divide]
// Counts the move sequences of each depth 1..D and prints "perft(d) = N"; with --divide also one
// line per root move at depth D. S gives the position one character per internal square from
// square 1: '.' empty, 'w'/'W' man/king of side 0, 'b'/'B' man/king of side 1. Timing goes to stderr,
// by the clock and by the processor time the program was given (on a busy machine the second is the
// generator's own speed).
#include "rules/perft.h"
#include "rules/board_text.h"
#include "rules/notation.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <time.h>

namespace {
int Usage(const char* error) {
    std::fprintf(
        stderr,
        "perft: %s\nusage: perft --variant 1..7 --depth D [--squares S --side 0|1] [--unique] [--divide]\n",
        error);
    return 2;
}

bool ParseInt(const char* text, int lo, int hi, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != 0 || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace

int main(int argc, char** argv) {
    int variant = 0, depth = 0, side = 0;
    bool unique = false, divide = false;
    const char* squares = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--variant" && hasValue) {
            if (!ParseInt(argv[++i], 1, 7, variant)) return Usage("the variant is a number 1..7");
        } else if (a == "--depth" && hasValue) {
            if (!ParseInt(argv[++i], 1, 64, depth)) return Usage("the depth is a number 1..64");
        } else if (a == "--side" && hasValue) {
            if (!ParseInt(argv[++i], 0, 1, side)) return Usage("the side is 0 or 1");
        } else if (a == "--squares" && hasValue) {
            squares = argv[++i];
        } else if (a == "--unique") {
            unique = true;
        } else if (a == "--divide") {
            divide = true;
        } else {
            return Usage(("unknown or incomplete argument " + a).c_str());
        }
    }
    if (variant == 0 || depth == 0) return Usage("--variant and --depth are required");
    const TGameType v = static_cast<TGameType>(variant);
    TBoard board = StartPositionOf(v);
    if (squares && !SquaresFromText(squares, SquaresOf(v), board))
        return Usage(
            ("--squares needs " + std::to_string(SquaresOf(v)) + " characters of . w W b B").c_str());

    const TPerftOptions options{v, unique};
    double seconds = 0, cpuSeconds = 0;
    std::uint64_t leaves = 0;
    for (int d = 1; d <= depth; ++d) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds();
        leaves = Perft(board, side, d, options);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpuSeconds = CpuSeconds() - cpuStart;
        std::printf("perft(%d) = %llu\n", d, static_cast<unsigned long long>(leaves));
        std::fflush(stdout);
    }
    if (divide) {
        for (const TPerftDivide& row : PerftDivide(board, side, depth, options))
            std::printf("%s %llu\n", MoveToFullText(row.move, v, true, "x").c_str(),
                        static_cast<unsigned long long>(row.count));
    }
    std::fprintf(stderr, "depth %d: %.3f s, %.0f leaves/s; %.3f s of processor time, %.0f leaves/s\n", depth,
                 seconds, seconds > 0 ? leaves / seconds : 0.0, cpuSeconds,
                 cpuSeconds > 0 ? leaves / cpuSeconds : 0.0);
    return 0;
}
