#pragma once
// An endgame-database driver for tests: answers every lookup with one value and records what it
// was asked.

#include "egdb/egdb.h"

#include <functional>
#include <vector>

namespace engine_test {

struct fake_driver : egdb_driver {
    struct query {
        engine_position position;
        int side, conditional;
    };
    int answer = 0;
    std::vector<query> queries;
    std::function<void(const engine_position&)> on_lookup; // called with each position asked about

    fake_driver() : egdb_driver{&fake_driver::lookup_entry, nullptr, nullptr, nullptr, nullptr} {}

    static int lookup_entry(egdb_driver* handle, engine_position* p, int side, int conditional) {
        auto* self = static_cast<fake_driver*>(handle);
        self->queries.push_back(query{*p, side, conditional});
        if (self->on_lookup) self->on_lookup(*p);
        return self->answer;
    }
};

} // namespace engine_test
