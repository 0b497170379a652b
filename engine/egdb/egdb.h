#pragma once
// The endgame-database driver that the engine libraries call. This driver finds no database yet:
// egdb_identify reports none and egdb_open gives null; the bit-count table is complete.

#include "engine_api.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(EGDB_BUILDING_LIBRARY)
#define EGDB_EXPORT __attribute__((visibility("default")))
#else
#define EGDB_EXPORT
#endif

// Lookup values for the side to move; anything else means the position is not in the database.
enum { EGDB_WIN = 1, EGDB_LOSS = 2, EGDB_DRAW = 3, EGDB_DRAW_OR_LOSS = 4, EGDB_DRAW_OR_WIN = 5 };

typedef struct egdb_driver egdb_driver;
typedef void (*egdb_message_fn)(const char* text);

// What an open handle points to: a table of entries, each taking the handle first. The engines
// use entry 0 (lookup; side 1 = colour 1 to move) and entry 4 (close) only.
struct egdb_driver {
    int (*lookup)(egdb_driver* handle, struct engine_position* position, int side, int conditional);
    void (*unused1)(egdb_driver* handle);
    void (*unused2)(egdb_driver* handle);
    void (*unused3)(egdb_driver* handle);
    void (*close)(egdb_driver* handle);
};

// 0 when a database is found in `directory`, with its kind and largest piece count. Otherwise
// non-zero, *kind = -1 and *pieces = 0. Null output pointers are skipped.
EGDB_EXPORT int egdb_identify(const char* directory, int* kind, int* pieces);
// An open driver, or null on failure. `message` (may be null) receives texts to log.
EGDB_EXPORT egdb_driver* egdb_open(int options, int pieces, int cache_megabytes, const char* directory,
                                   egdb_message_fn message);
// The number of set bits of every 16-bit value.
EGDB_EXPORT extern const unsigned char egdb_bitcount_table[65536];

#ifdef __cplusplus
} // extern "C"
#endif
