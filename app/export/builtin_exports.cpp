#include "app/export/builtin_exports.h"

#include "app/core/builtin_engine.h"
#include "app/core/engine_requests.h"
#include "rules/search.h"
#include "rules/variant_state.h"

namespace {
bool ReadBoard(const signed char* in, int side, TBoard& b) {
    if (!in || (side != 0 && side != 1)) return false;
    const int squares = SquareCount;
    for (int n = 1; n <= squares; ++n) {
        if (in[n - 1] < -2 || in[n - 1] > 2) return false;
        b[n] = in[n - 1];
    }
    return true;
}
} // namespace

extern "C" __attribute__((visibility("default"))) short count(int side, const signed char* board, int ply,
                                                              int countFlag) {
    TBoard b;
    if (!ReadBoard(board, side, b)) return EngineBadArguments;
    return BuiltinEngine().Count(side, b, ply, countFlag, CurrentVariant);
}

extern "C" __attribute__((visibility("default"))) short
analysis(const signed char* board, int alpha, int beta, int ply, int depth, int side, int countFlag) {
    TBoard b;
    if (!ReadBoard(board, side, b) || ply < 1 || ply >= MaxSearchPly || depth >= MaxSearchPly ||
        alpha < -32767 || alpha > 32767 || beta < -32767 || beta > 32767)
        return EngineBadArguments;
    return BuiltinEngine().Analysis(b, alpha, beta, ply, depth, side, countFlag, CurrentVariant);
}
