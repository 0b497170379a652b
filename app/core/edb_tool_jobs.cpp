#include "app/core/edb_tool_jobs.h"

#include "app/core/edb_experiments.h"

#include <filesystem>

std::string StartCompressJob(TEdbToolJob& job, const std::string& input, std::uint32_t blockCount) {
    if (std::string error = CheckToolInput(input); !error.empty()) return error;
    const bool started = job.Start([input, blockCount](TEdbToolJob& j) {
        TEdbToolState state;
        state.result = CompressEdb(
            input, CompressedName(input), blockCount,
            [&j](const TCompressTotals& t) {
                TEdbToolState s;
                s.totals = t;
                j.Publish(s);
            },
            &state.totals, &j.CancelFlag());
        state.finished = true;
        j.Publish(state);
    });
    return started ? std::string() : "a job is still running";
}

std::string StartConvertJob(TEdbToolJob& job, const std::string& input) {
    if (std::string error = CheckToolInput(input); !error.empty()) return error;
    std::error_code ec;
    const std::uint64_t blocks = std::filesystem::file_size(input, ec) / SixSourceBlockBytes;
    const bool started = job.Start([input, blocks](TEdbToolJob& j) {
        TEdbToolState state;
        state.blocksTotal = blocks;
        state.result = ConvertEdb(
            input, ConvertedName(input),
            [&j, blocks](std::uint64_t done) {
                TEdbToolState s;
                s.blocksDone = done;
                s.blocksTotal = blocks;
                j.Publish(s);
            },
            &j.CancelFlag());
        state.finished = true;
        j.Publish(state);
    });
    return started ? std::string() : "a job is still running";
}
