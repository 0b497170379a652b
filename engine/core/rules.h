#pragma once
// The compile-time rule switch: this tree is built once with MARRAK_ITALIAN=0 (English checkers,
// libMarrak.so) and once with MARRAK_ITALIAN=1 (Italian draughts, libmarrak_italian.so).

#ifndef MARRAK_ITALIAN
#error "MARRAK_ITALIAN must be defined to 0 or 1"
#endif

namespace marrak {

inline constexpr bool italian_rules = MARRAK_ITALIAN != 0;

} // namespace marrak
