// The engine book's speed: loading a book of 10^5 positions from its file, and choosing a book move
// at the book's root (whose walk reaches the whole book: once as the first choice after loading,
// then with the lines kept from earlier choices) and at a position ten plies into it. The
// book is made of random games from the start, each position listing the moves played there. English core;
// run by hand.

#include "book_writer.h"
#include "movegen.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <tuple>

namespace {

namespace core = marrak;

const engine_position start_position{{0x00000FFFu, 0xFFF00000u}, 0};
constexpr std::size_t book_positions = 100000;

struct bench_book {
    book_test::book_writer writer{1u << 17};
    engine_position deep{};
    int deep_side = 0;
};

// Each position lists the moves its games played there (as many as the entry's fields hold).
const bench_book& book_of_games() {
    static const bench_book made = [] {
        bench_book b;
        b.writer.probe_limit = 64;
        using key = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, int>;
        std::map<key, std::vector<int>> played;
        std::mt19937 random(7);
        move_list moves;
        while (played.size() < book_positions) {
            engine_position p = start_position;
            int side = 0;
            for (int ply = 0; ply < 40 && played.size() < book_positions; ++ply) {
                const int n = core::gen::generate_legal(p, moves, side);
                if (n == 0) break;
                // The book's openings narrow: early moves come from the first few.
                const int pick = static_cast<int>(random() % std::min(n, ply < 6 ? 3 : 31));
                std::vector<int>& listed = played[{p.pieces[0], p.pieces[1], p.kings, side}];
                // Field widths after the first: 4, 4, 3, 3, 2 bits (with kings one of 3), all set
                // ending the list.
                static const int room[] = {31, 15, 15, 7, 7, 3}, kings_room[] = {31, 7};
                const std::size_t fields = p.kings ? 2 : 6;
                if (std::find(listed.begin(), listed.end(), pick) == listed.end() && listed.size() < fields &&
                    pick < (p.kings ? kings_room : room)[listed.size()])
                    listed.push_back(pick);
                if (ply == 10 && b.deep.pieces[0] == 0) {
                    b.deep = p;
                    b.deep_side = side;
                }
                p = moves.moves[pick];
                side = 1 - side;
            }
        }
        std::mt19937 scores(11);
        for (const auto& [k, listed] : played) {
            const engine_position p{{std::get<0>(k), std::get<1>(k)}, std::get<2>(k)};
            b.writer.add(p, std::get<3>(k), listed.empty() ? std::vector<int>{31} : listed,
                         static_cast<int>(scores() % 21) - 10);
        }
        return b;
    }();
    return made;
}

void load_book_file(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() / "vq_engine_book_bench.odb").string();
    book_test::write_file(path, book_of_games().writer.bytes());
    core::opening_book book;
    for (auto _ : state) {
        book = core::opening_book{};
        if (!core::load_book_file(book, path)) state.SkipWithError("book not loaded");
    }
    state.counters["entries"] = static_cast<double>(book.entries.size());
    std::remove(path.c_str());
}

// `first`: every choice as the first after loading, with no lines kept from an earlier one.
void choose(benchmark::State& state, const engine_position& p, int side, bool first = false) {
    const auto bytes = book_of_games().writer.bytes();
    core::opening_book book;
    core::load_book_image(book, bytes.data(), bytes.size(), "bench.odb");
    move_list moves;
    core::gen::generate_legal(p, moves, side);
    const core::history::game_history history;
    int chosen = 0;
    for (auto _ : state) {
        if (first) {
            state.PauseTiming();
            book.lasting.assign(book.entries.size(), core::book_memo{});
            state.ResumeTiming();
        }
        int index = 0, score = 0;
        std::string text;
        chosen += core::choose_book_move(book, 1, p, side, moves, history, index, score, text);
        benchmark::DoNotOptimize(text);
    }
    if (!chosen) state.SkipWithError("no book move");
}

void choose_at_root(benchmark::State& state) {
    choose(state, start_position, 0);
}
void choose_at_root_first(benchmark::State& state) {
    choose(state, start_position, 0, true);
}
void choose_ten_plies_in(benchmark::State& state) {
    choose(state, book_of_games().deep, book_of_games().deep_side);
}

BENCHMARK(load_book_file)->Unit(benchmark::kMillisecond);
BENCHMARK(choose_at_root)->Unit(benchmark::kMicrosecond);
BENCHMARK(choose_at_root_first)->Unit(benchmark::kMicrosecond);
BENCHMARK(choose_ten_plies_in)->Unit(benchmark::kMicrosecond);

} // namespace
