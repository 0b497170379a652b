#pragma once
// Values of positions that the endgame database reports won: large, and better the nearer the
// winner is to finishing (men advanced, the loser's kings kept from the winner's last man).

#include "evaluation.h"

namespace marrak::inline MARRAK_RULES_NS::search {

// Side 0 has won.
int score_db_decided(const eval::eval_record& record);
// Side 1 has won: the same, seen from the other side, negated.
int score_db_decided_mirror(const eval::eval_record& record);

} // namespace marrak::inline MARRAK_RULES_NS::search
