// The functions the program exports by name for callers outside it (FindMoves, count): boards of
// 50 signed bytes and sides as another program passes them.
// Input: a variant byte, a side byte, then the 50 squares.
#include "app/export/builtin_exports.h"
#include "rules/export/find_moves_export.h"
#include "rules/variant_state.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2 + 50) return 0;
    const TGameType variant = static_cast<TGameType>(1 + data[0] % 7);
    CurrentVariant = variant;
    SquareCount = SquaresOf(variant);
    BoardGeometry = GeometryOf(variant);
    const int side = static_cast<std::int8_t>(data[1]) % 3; // -2..2: bad sides too
    signed char board[50];
    std::memcpy(board, data + 2, 50);
    static unsigned char records[255 * 48];
    unsigned char written = 0;
    const int n = FindMoves(board, side, records, &written);
    if (n < -1 || (n >= 0 && written != (n > 255 ? 255 : n)) || (n == -1 && written != 0)) std::abort();
    count(side, board, 1, 1);
    return 0;
}
