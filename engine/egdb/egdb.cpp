#include "egdb/egdb.h"

// Built by the compiler: B2..B16 unfold the counts of 2, 4, ... 16 bit values, each half of a
// range having the counts of the lower half with 0 or 1 more.
#define EGDB_B2(n) n, n + 1, n + 1, n + 2
#define EGDB_B4(n) EGDB_B2(n), EGDB_B2(n + 1), EGDB_B2(n + 1), EGDB_B2(n + 2)
#define EGDB_B6(n) EGDB_B4(n), EGDB_B4(n + 1), EGDB_B4(n + 1), EGDB_B4(n + 2)
#define EGDB_B8(n) EGDB_B6(n), EGDB_B6(n + 1), EGDB_B6(n + 1), EGDB_B6(n + 2)
#define EGDB_B10(n) EGDB_B8(n), EGDB_B8(n + 1), EGDB_B8(n + 1), EGDB_B8(n + 2)
#define EGDB_B12(n) EGDB_B10(n), EGDB_B10(n + 1), EGDB_B10(n + 1), EGDB_B10(n + 2)
#define EGDB_B14(n) EGDB_B12(n), EGDB_B12(n + 1), EGDB_B12(n + 1), EGDB_B12(n + 2)
#define EGDB_B16(n) EGDB_B14(n), EGDB_B14(n + 1), EGDB_B14(n + 1), EGDB_B14(n + 2)

extern "C" const unsigned char egdb_bitcount_table[65536] = {EGDB_B16(0)};

extern "C" int egdb_identify(const char* /*directory*/, int* kind, int* pieces) {
    // No database format is read yet: report none with defined outputs.
    if (kind) *kind = -1;
    if (pieces) *pieces = 0;
    return 1;
}

extern "C" egdb_driver* egdb_open(int /*options*/, int /*pieces*/, int /*cache_megabytes*/,
                                  const char* /*directory*/, egdb_message_fn /*message*/) {
    return nullptr;
}
