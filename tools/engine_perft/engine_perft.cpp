// Counts the leaves of the move tree of an engine library's generator, through its exported
// build_movelist, optionally split by root move (divide).
//
//   engine_perft [--italian | --lib PATH] [--divide] [--position C2,C1,KINGS,SIDE] DEPTH
//
// The position is three hexadecimal words (colour-2 pieces, colour-1 pieces, kings) and the side
// flag (0: colour 2 to move); the default is the start position with colour 2 to move.

#include "engine_api.h"
#include "platform/library_loader.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

build_movelist_fn g_build = nullptr;

std::uint64_t perft(const engine_position& p, int side, int depth, std::vector<move_list>& lists) {
    move_list& list = lists[depth];
    const int n = g_build(&p, side, &list);
    if (depth == 1) return static_cast<std::uint64_t>(n);
    std::uint64_t leaves = 0;
    for (int i = 0; i < n; ++i)
        leaves += perft(list.moves[i], 1 - side, depth - 1, lists);
    return leaves;
}

// The square number of a bit in the library's own numbering.
int square_of(int bit, bool italian) {
    return (italian ? (bit ^ 3) : bit) + 1;
}

std::string move_text(const engine_position& before, const engine_position& after, int side, bool italian) {
    const std::uint32_t changed = before.pieces[side] ^ after.pieces[side];
    const std::uint32_t from = changed & before.pieces[side], to = changed & after.pieces[side];
    if (!from || !to) return "xxxx";
    char text[16];
    std::snprintf(text, sizeof text, "%d-%d", square_of(__builtin_ctz(from), italian),
                  square_of(__builtin_ctz(to), italian));
    return text;
}

int usage() {
    std::fprintf(stderr, "usage: engine_perft [--italian | --lib PATH] [--divide] "
                         "[--position C2,C1,KINGS,SIDE] DEPTH\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string lib = std::string(VQ_RUN_DIR) + "/libMarrak.so";
    bool italian = false, divide = false;
    engine_position start{{0x00000FFFu, 0xFFF00000u}, 0};
    int side = 0, depth = -1;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--italian")) {
            italian = true;
            lib = std::string(VQ_RUN_DIR) + "/libmarrak_italian.so";
        } else if (!std::strcmp(argv[i], "--lib") && i + 1 < argc) {
            lib = argv[++i];
        } else if (!std::strcmp(argv[i], "--divide")) {
            divide = true;
        } else if (!std::strcmp(argv[i], "--position") && i + 1 < argc) {
            unsigned c2, c1, k;
            if (std::sscanf(argv[++i], "%x,%x,%x,%d", &c2, &c1, &k, &side) != 4 || side < 0 || side > 1 ||
                (c2 & c1) || (k & ~(c2 | c1))) {
                std::fprintf(stderr, "bad position '%s'\n", argv[i]);
                return 2;
            }
            start = engine_position{{c2, c1}, k};
        } else if (depth < 0 && std::atoi(argv[i]) > 0) {
            depth = std::atoi(argv[i]);
        } else {
            return usage();
        }
    }
    if (depth < 1 || depth > 30) return usage();

    std::string error;
    const TDynamicLibrary library = TDynamicLibrary::Load(std::filesystem::absolute(lib).string(), &error);
    if (library.Loaded()) g_build = library.Function<build_movelist_fn>("build_movelist", &error);
    if (!g_build) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    std::vector<move_list> lists(static_cast<std::size_t>(depth) + 1);
    const auto t0 = std::chrono::steady_clock::now();
    std::uint64_t total = 0;
    if (divide) {
        move_list root;
        const int n = g_build(&start, side, &root);
        for (int i = 0; i < n; ++i) {
            const std::uint64_t leaves = depth == 1 ? 1 : perft(root.moves[i], 1 - side, depth - 1, lists);
            std::printf("%-8s %llu\n", move_text(start, root.moves[i], side, italian).c_str(),
                        static_cast<unsigned long long>(leaves));
            total += leaves;
        }
    } else {
        total = perft(start, side, depth, lists);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("perft(%d) = %llu  (%.3f s)\n", depth, static_cast<unsigned long long>(total), seconds);
    return 0;
}
