// The outside engine's file edbforge reads at start: a 16-byte header, then 16-byte records.
#include "edbforge/generator.h"
#include "fuzz_files.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz_files::Write("Oskeen.lht", data, size);
    const long records = forge::read_engine_file(path);
    // Whole records after a whole header; a short tail is not a record.
    const long expected = size < 16 ? 0 : static_cast<long>((size - 16) / 16);
    if (records != expected) std::abort();
    return 0;
}
