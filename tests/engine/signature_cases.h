#pragma once
// The signature check: every position's best move, value and node count, and the total, twice in
// one process (the second run after other searches must give the same numbers).

#include "signature_runner.h"

#include <gtest/gtest.h>

namespace signature_cases {
namespace {

struct expected {
    const char* move;
    int value;
    std::uint32_t nodes;
};

void check(const expected (&want)[24], std::uint64_t total) {
    auto ctx = signature_run::make_context();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "first run" : "second run");
        std::uint64_t nodes = 0;
        for (int i = 0; i < 24; ++i) {
            const signature::position& s = signature::positions[i];
            SCOPED_TRACE(s.name);
            const signature_run::result r = signature_run::run(*ctx, s);
            EXPECT_EQ(r.move, want[i].move);
            EXPECT_EQ(r.value, want[i].value);
            EXPECT_EQ(r.nodes, want[i].nodes);
            nodes += r.nodes;
        }
        EXPECT_EQ(nodes, total);
    }
}

} // namespace
} // namespace signature_cases
