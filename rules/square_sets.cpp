#include "rules/square_sets.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

TPieceSets PieceSetsOf(const TBoard& board, int squares) {
    TPieceSets p;
    int s = 1;
#ifdef __SSE2__
    // Sixteen squares a load: squares 1..32, then 33..48.
    const __m128i man0 = _mm_set1_epi8(sqMan0), king0 = _mm_set1_epi8(sqKing0), man1 = _mm_set1_epi8(sqMan1),
                  king1 = _mm_set1_epi8(sqKing1);
    auto bits = [](__m128i eq, int shift) {
        return TSquareSet(static_cast<unsigned>(_mm_movemask_epi8(eq))) << shift;
    };
    for (; s + 15 <= squares; s += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&board.sq[s]));
        p.men[0] |= bits(_mm_cmpeq_epi8(v, man0), s - 1);
        p.kings[0] |= bits(_mm_cmpeq_epi8(v, king0), s - 1);
        p.men[1] |= bits(_mm_cmpeq_epi8(v, man1), s - 1);
        p.kings[1] |= bits(_mm_cmpeq_epi8(v, king1), s - 1);
    }
#endif
    for (; s <= squares; ++s) {
        switch (board[s]) {
        case sqMan0:
            p.men[0] |= SquareBit(s);
            break;
        case sqKing0:
            p.kings[0] |= SquareBit(s);
            break;
        case sqMan1:
            p.men[1] |= SquareBit(s);
            break;
        case sqKing1:
            p.kings[1] |= SquareBit(s);
            break;
        default:
            break;
        }
    }
    return p;
}
