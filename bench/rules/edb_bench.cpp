// Probes per second on a full-size synthetic database (210,684 blocks; block contents cycle
// through a few dozen distinct compressed blocks, runs of draws and short wins and losses as real
// tables hold), with the cache of inflated blocks and without it (the "Old" rows: every probe
// reads and inflates its block, as before the cache). Two patterns: the probes of real searches,
// recorded when the program starts by the engine's root search over Russian endgames with this
// database open, and random five-piece positions. The file is built in the temporary folder when
// the program starts and removed at exit.

#include "platform/atomic_file.h"
#include "platform/byte_codec.h"
#include "rules/board_text.h"
#include "rules/edb_index.h"
#include "rules/endgame_db.h"
#include "rules/search_root.h"
#include "rules/variant_state.h"
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
        Open(true);
    }
    // Opens the file as the current database, with the cache or without it.
    void Open(bool cached) const {
        std::string error;
        if (!OpenEndgameDatabaseFile(m_path, &error, cached ? EdbCachedBlocks : 0))
            std::fprintf(stderr, "edb_bench: %s\n", error.c_str());
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

// Five pieces on distinct random squares, any mix of men and kings of both sides: far more
// positions than the cache holds blocks, so nearly every probe misses it.
std::vector<TBoard> FivePiecePositions(unsigned seed) {
    std::mt19937 rng(seed);
    const std::int8_t values[4] = {sqKing1, sqMan1, sqMan0, sqKing0};
    std::vector<TBoard> boards(16 * EdbCachedBlocks);
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

// One probe as the search makes it.
struct TRecordedProbe {
    TBoard board;
    int flip, ply;
};

std::vector<TRecordedProbe>* Recording = nullptr;
std::optional<std::int16_t> RecordingProbe(const TBoard& board, int pieces, int flip, int ply,
                                           TGameType variant) {
    Recording->push_back({board, flip, ply});
    return ProbeEndgameDatabase(board, pieces, flip, ply, variant);
}

// The probes of the engine's root search over Russian endgames of six to eight pieces, each to a
// fixed depth, in the order the search made them.
const std::vector<TRecordedProbe>& SearchPattern() {
    static const std::vector<TRecordedProbe> pattern = [] {
        Database().Open(true);
        std::vector<TRecordedProbe> probes;
        Recording = &probes;
        const struct {
            const char* squares;
            int side, depth;
        } searches[] = {
            {"......w.w......ww....W.....b..b.", 1, 13},
            {".........B.....w...bw.....b..b..", 0, 13},
            {"..w...w.w......b..b.........Bb..", 1, 13},
            {".W.....B........w.......wb..b.b.", 0, 13},
        };
        THashTable table;
        TEngineRandom rng(1);
        SetHashSize(table, 56, rng);
        for (const auto& s : searches) {
            TBoard b;
            SquaresFromText(s.squares, 32, b);
            TRootSearchLimits limits;
            limits.maxDepth = s.depth;
            RunRootSearch(b, s.side, gtRussian, limits,
                          {&table, {EndgameDatabaseOpen, RecordingProbe}, &rng});
        }
        Recording = nullptr;
        return probes;
    }();
    return pattern;
}

void ReplaySearchPattern(benchmark::State& state, bool cached) {
    const std::vector<TRecordedProbe>& pattern = SearchPattern();
    Database().Open(cached);
    std::size_t i = 0;
    for (auto _ : state) {
        const TRecordedProbe& p = pattern[i++ % pattern.size()];
        benchmark::DoNotOptimize(ProbeEndgameDatabase(p.board, 5, p.flip, p.ply));
    }
    state.counters["probes/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["pattern"] = static_cast<double>(pattern.size());
}
void BM_ProbeSearchPatternOld(benchmark::State& state) {
    ReplaySearchPattern(state, false);
}
void BM_ProbeSearchPattern(benchmark::State& state) {
    ReplaySearchPattern(state, true);
}
BENCHMARK(BM_ProbeSearchPatternOld);
BENCHMARK(BM_ProbeSearchPattern);

void ProbeFivePieces(benchmark::State& state, bool cached) {
    if (state.thread_index() == 0) Database().Open(cached);
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
void BM_ProbeFivePiecesOld(benchmark::State& state) {
    ProbeFivePieces(state, false);
}
void BM_ProbeFivePieces(benchmark::State& state) {
    ProbeFivePieces(state, true);
}
BENCHMARK(BM_ProbeFivePiecesOld)->Threads(1)->Threads(2)->UseRealTime();
BENCHMARK(BM_ProbeFivePieces)->Threads(1)->Threads(2)->UseRealTime();

} // namespace
