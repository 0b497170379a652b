// Probes per second over random five-piece positions on a full-size synthetic database
// (210,684 blocks; block contents cycle through a few dozen distinct compressed blocks, runs
// of draws and short wins and losses as real tables hold). The file is built in the temporary
// folder when the program starts and removed at exit.

#include "platform/atomic_file.h"
#include "platform/byte_codec.h"
#include "rules/edb_index.h"
#include "rules/endgame_db.h"
#include "tests/support/temp_dir.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> SyntheticBlockBytes(std::mt19937& rng) {
    std::vector<unsigned char> values(EdbBlockValues);
    std::uint32_t i = 0;
    while (i < EdbBlockValues) {
        const std::uint32_t run = 1 + rng() % 48;
        const unsigned char v = rng() % 3 == 0 ? static_cast<unsigned char>(1 + rng() % 60) : 255;
        for (std::uint32_t k = 0; k < run && i < EdbBlockValues; ++k)
            values[i++] = v;
    }
    std::vector<unsigned char> packed(compressBound(EdbBlockValues));
    uLongf size = packed.size();
    compress2(packed.data(), &size, values.data(), EdbBlockValues, 9);
    packed.resize(size);
    return packed;
}

class TBenchDatabase {
  public:
    TBenchDatabase() {
        m_path = m_dir.File("bench.edb");
        std::mt19937 rng(1);
        std::vector<std::vector<unsigned char>> distinct;
        for (int i = 0; i < 61; ++i)
            distinct.push_back(SyntheticBlockBytes(rng));
        std::vector<std::uint8_t> index(EdbIndexBytes);
        std::uint32_t next = EdbIndexBytes;
        for (std::uint32_t b = 0; b < EdbBlockCount; ++b) {
            const auto size = static_cast<std::uint32_t>(distinct[b % distinct.size()].size());
            PutLe32(index.data() + 4 * b, next);
            PutLe16(index.data() + EdbOffsetsBytes + 2 * b, static_cast<std::uint16_t>(size));
            next += size;
        }
        TAtomicFileWriter f;
        f.Open(m_path);
        f.Write(index.data(), index.size());
        for (std::uint32_t b = 0; b < EdbBlockCount; ++b) {
            const auto& block = distinct[b % distinct.size()];
            f.Write(block.data(), block.size());
        }
        if (const TIoStatus s = f.Commit(); !s) std::fprintf(stderr, "edb_bench: %s\n", s.Message().c_str());
        std::string error;
        if (!OpenEndgameDatabaseFile(m_path, &error)) std::fprintf(stderr, "edb_bench: %s\n", error.c_str());
    }
    ~TBenchDatabase() { CloseEndgameDatabase(); }

  private:
    test_support::TTempDir m_dir{"edb_bench"};
    std::string m_path;
};

const TBenchDatabase& Database() {
    static const TBenchDatabase db;
    return db;
}

// Five pieces on distinct random squares, any mix of men and kings of both sides.
std::vector<TBoard> FivePiecePositions(unsigned seed) {
    std::mt19937 rng(seed);
    const std::int8_t values[4] = {sqKing1, sqMan1, sqMan0, sqKing0};
    std::vector<TBoard> boards(4096);
    for (TBoard& b : boards) {
        for (int placed = 0; placed < 5;) {
            const int s = 1 + static_cast<int>(rng() % 32);
            if (b[s] == 0) {
                b[s] = values[rng() % 4];
                ++placed;
            }
        }
    }
    return boards;
}

void BM_ProbeFivePieces(benchmark::State& state) {
    (void)Database();
    const std::vector<TBoard> boards = FivePiecePositions(17 + static_cast<unsigned>(state.thread_index()));
    std::size_t i = 0;
    std::int64_t misses = 0;
    for (auto _ : state) {
        const TBoard& b = boards[i++ % boards.size()];
        const auto score = ProbeEndgameDatabase(b, 5, static_cast<int>(i & 1), 2);
        misses += !score.has_value();
        benchmark::DoNotOptimize(score);
    }
    state.counters["probes/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["no value"] = static_cast<double>(misses);
}
BENCHMARK(BM_ProbeFivePieces)->Threads(1)->Threads(2)->UseRealTime();

} // namespace
