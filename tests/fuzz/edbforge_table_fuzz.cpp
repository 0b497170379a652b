// The table files edbforge loads at start ("21100.ed" and the others): 2-bit results, four a byte.
#include "edbforge/tables.h"
#include "fuzz_files.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The class to load it as, from the first byte: small classes whose tables the input can fill.
    static const edb::material classes[] = {
        {1, 1, 0, 0}, {1, 0, 0, 1}, {0, 0, 1, 1}, {2, 1, 0, 0}, {1, 1, 1, 0}};
    static const bool ready = (idx::build_binomials(), true);
    (void)ready;
    const edb::material& m = classes[data[0] % 5];
    const std::string path = fuzz_files::Write("table.ed", data + 1, size - 1);
    edb::table t;
    const std::size_t bytes = edb::table_bytes(m);
    const edb::load_result r = edb::read_table_file(path, bytes, t);
    bool whole = size - 1 == bytes;
    for (std::size_t i = 1; whole && i < size; ++i)
        whole = (data[i] & (data[i] >> 1) & 0x55) == 0; // no unknown entry
    if ((r == edb::load_result::loaded) != whole) std::abort();
    if (r == edb::load_result::loaded ? t.size() != bytes : !t.empty()) std::abort();
    return 0;
}
