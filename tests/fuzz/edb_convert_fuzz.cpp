// The six-piece source file that the endgame-database converter (edbtool convert) reads: 820-byte
// blocks of five base-3 values a byte.
#include "fuzz_files.h"
#include "rules/edb_tools.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string in = fuzz_files::Write("pos6.edb", data, size);
    const std::string out = fuzz_files::Path("pos6v2.edb");
    std::filesystem::remove(out);
    const TToolResult r = ConvertEdb(in, out);
    bool valid = size % SixSourceBlockBytes == 0;
    for (std::size_t i = 0; valid && i < size; ++i)
        valid = data[i] <= 242;
    if (r.ok != valid || (!r.ok && r.error.empty())) std::abort();
    std::error_code ec;
    const auto written = std::filesystem::file_size(out, ec);
    if (r.ok ? written != size / SixSourceBlockBytes * EdbBlockValues : !ec) std::abort();
    return 0;
}
