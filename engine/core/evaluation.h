#pragma once
// The static evaluation: a sum of hand-tuned terms over the three position words, from side 0's
// view (side 0 holds pieces[0] and moves towards row 7). Pure function of its arguments and the
// read-only tables of eval_tables.h; safe from any thread once the tables are built.

#include "bitboard.h"
#include "engine_api.h"
#include "rules.h"

#include <climits>

namespace marrak::inline MARRAK_RULES_NS::eval {

using bit::word;

constexpr int not_evaluated = INT_MAX;

// What a search node knows of its position before and after the evaluation has run.
struct eval_record {
    int men[2] = {0, 0}; // counts, by side
    int kings[2] = {0, 0};
    word men_mask[2] = {0, 0};
    word king_mask[2] = {0, 0};
    int margin = 0;             // the evaluation's uncertainty, set by it
    int result = not_evaluated; // the evaluation's value, once it has run at this node
};

// Fills the counts and masks; margin 0 and result not_evaluated.
void fill_record(const engine_position& position, eval_record& record);

// The terms the value is the sum of, each from side 0's view.
struct eval_terms {
    int material = 0;  // with the trade rule near the end
    int back_rank = 0; // halved by the trade rule
    int kings = 0;     // kings and centre (or the men's structure), with the corrections that join it
    int trapped = 0;   // kings shut in
    int held = 0;      // kings held by men
    int tempo = 0;     // weighted
    int breakthrough = 0;
    int formations = 0;
    int back_corners = 0;
    int king_race = 0;
    int mobility = 0;
    int dog_holes = 0;
    int to_move = 0; // 2 for side 0 to move, -2 for side 1
    int margin = 0;  // not part of the sum: the value's uncertainty
    int sum() const {
        return material + back_rank + kings + trapped + held + tempo + breakthrough + formations +
               back_corners + king_race + mobility + dog_holes + to_move;
    }
};

// The terms of the position with `side` to move; the record must have been filled for it.
eval_terms evaluate_terms(const engine_position& position, int side, const eval_record& record);

// The value of the position with `side` to move: always even, within +-2000 outside won endings.
// Also stores the value and the margin in the record, which must have been filled for this
// position.
int evaluate_position(const engine_position& position, int side, eval_record& record);

// The value of a position, filling a record of its own.
int evaluate(const engine_position& position, int side);

} // namespace marrak::inline MARRAK_RULES_NS::eval
