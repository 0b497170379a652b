#pragma once
// The compressor and the six-piece converter as jobs of the tool windows: each runs on a worker
// thread, publishes its progress for the window's timer and stops cleanly on Cancel, leaving no
// output (the tools write to a temporary file and rename it only at the end).
// User-interface thread, as TWorkerJob.

#include "app/core/worker_job.h"
#include "rules/edb_index.h"
#include "rules/edb_tools.h"

#include <cstdint>
#include <string>

struct TEdbToolState {
    TCompressTotals totals;        // the compressor's running totals
    std::uint64_t blocksDone = 0;  // the converter's blocks
    std::uint64_t blocksTotal = 0; // the converter's blocks in all
    bool finished = false;         // the last state: `result` holds the outcome
    TToolResult result;
};
using TEdbToolJob = TWorkerJob<TEdbToolState>;

// Checks the input (see CheckToolInput) and starts compressing it into CompressedName(input).
// Returns why it could not start, or empty.
std::string StartCompressJob(TEdbToolJob& job, const std::string& input,
                             std::uint32_t blockCount = EdbBlockCount);
// The same for ConvertEdb into ConvertedName(input).
std::string StartConvertJob(TEdbToolJob& job, const std::string& input);
