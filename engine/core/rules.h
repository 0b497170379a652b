#pragma once
// The compile-time rule switch: this tree is built once with MARRAK_ITALIAN=0 (English checkers,
// libMarrak.so) and once with MARRAK_ITALIAN=1 (Italian draughts, libmarrak_italian.so). Each
// build's names live in their own inline namespace, so both cores link into one test program.

#ifndef MARRAK_ITALIAN
#error "MARRAK_ITALIAN must be defined to 0 or 1"
#endif

#if MARRAK_ITALIAN
#define MARRAK_RULES_NS italian
#else
#define MARRAK_RULES_NS english
#endif

namespace marrak::inline MARRAK_RULES_NS {

inline constexpr bool italian_rules = MARRAK_ITALIAN != 0;

} // namespace marrak::inline MARRAK_RULES_NS
