#include "rules/export/find_moves_export.h"

#include "rules/movegen_records.h"
#include "rules/variant_state.h"

extern "C" __attribute__((visibility("default"))) int FindMoves(const signed char* board, int side,
                                                                unsigned char* moves, unsigned char* count) {
    return FindMovesToRecords(reinterpret_cast<const std::int8_t*>(board), side, moves, count,
                              CurrentVariant);
}
