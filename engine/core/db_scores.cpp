#include "db_scores.h"

#include "eval_tables.h"

namespace marrak::inline MARRAK_RULES_NS::search {
namespace {

using bit::count;
using bit::step_down;
using bit::step_up;
using bit::word;

word around(word x) {
    return x | step_up(x) | step_down(x);
}

// Side 1's kings standing in the way of side 0's one man, against side 0's kings nearby.
int blocking(word man, word kings0, word kings1) {
    int far = 0;
    word x = kings1 & step_up(man);
    if (!x) {
        x = kings1 & step_up(step_up(man));
        far = 5;
    }
    if (!x) return 0;
    const word s1 = x | step_up(x);
    const word s2 = s1 | step_down(s1);
    const int k = count(kings1 & s2);
    const word s3 = around(s2);
    int term = k < 2 ? -11 + far - 4 * count(kings1 & s3) : -9 + far - 6 * k;
    return term + count(kings0 & around(s3));
}

} // namespace

int score_db_decided(const eval::eval_record& r) {
    const word m0 = r.men_mask[0], m1 = r.men_mask[1], k0 = r.king_mask[0], k1 = r.king_mask[1];
    int v = 2 * eval::row_sum(m0);
    if (r.men[0] == 1 && r.men[1] == 0 && r.kings[0] >= r.kings[1]) v += blocking(m0, k0, k1);
    if (r.men[0] + r.kings[0] == r.men[1] + r.kings[1] && m1) v += 2 * (7 * r.men[1] - eval::row_sum(m1));
    return v + 2900 - 30 * (2 * (r.men[0] + r.men[1]) + r.kings[0] + r.kings[1]) +
           count(k0 & bit::centre_squares) + count(k1 & bit::edge_squares);
}

int score_db_decided_mirror(const eval::eval_record& r) {
    eval::eval_record t = r;
    for (int s = 0; s < 2; ++s) {
        t.men[s] = r.men[1 - s];
        t.kings[s] = r.kings[1 - s];
        t.men_mask[s] = eval::reverse_bits32(r.men_mask[1 - s]);
        t.king_mask[s] = eval::reverse_bits32(r.king_mask[1 - s]);
    }
    return -score_db_decided(t);
}

} // namespace marrak::inline MARRAK_RULES_NS::search
