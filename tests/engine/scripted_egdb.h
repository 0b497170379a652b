#pragma once
// An endgame-database driver that tests script: which folders hold a database (kind and pieces),
// the value each position has for each side to move, and a record of every open, lookup, close
// and pause. Installed into a context in place of the real driver.

#include "context.h"
#include "egdb/egdb.h"

#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace engine_test {

// One open database: a table of values by position and side, 0 (not known) elsewhere.
struct scripted_driver : egdb_driver {
    struct query {
        engine_position position;
        int side;
    };
    std::map<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, int>, int> values;
    std::vector<query> queries;
    int closes = 0;

    scripted_driver()
        : egdb_driver{&scripted_driver::lookup_entry, nullptr, nullptr, nullptr, &close_entry} {}
    scripted_driver(const scripted_driver&) = delete;
    scripted_driver& operator=(const scripted_driver&) = delete;

    void set(const engine_position& p, int side, int value) {
        values[{p.pieces[0], p.pieces[1], p.kings, side}] = value;
    }

    static int lookup_entry(egdb_driver* handle, engine_position* p, int side, int) {
        auto* self = static_cast<scripted_driver*>(handle);
        self->queries.push_back(query{*p, side});
        const auto it = self->values.find({p->pieces[0], p->pieces[1], p->kings, side});
        return it == self->values.end() ? 0 : it->second;
    }
    static void close_entry(egdb_driver* handle) { ++static_cast<scripted_driver*>(handle)->closes; }
};

struct scripted_egdb {
    struct folder {
        int kind = 0, pieces = 0;
        scripted_driver* driver = nullptr; // what an open there gives; null: the open fails
    };
    struct open_call {
        int options, pieces, megabytes;
        std::string folder; // the last part of the directory
    };
    std::map<std::string, folder> folders; // by the last part of the directory
    std::vector<std::string> identified;   // the folders asked about
    std::vector<std::string> directories;  // the same, whole
    std::vector<open_call> opens;
    std::vector<int> pauses;
    scripted_driver values, mtc;

    void install(marrak::engine_context& ctx) {
        ctx.egdb().identify = [this](const char* directory, int* kind, int* pieces) {
            const std::string name = std::filesystem::path(directory).filename().string();
            identified.push_back(name);
            directories.push_back(directory);
            const auto it = folders.find(name);
            if (it == folders.end()) {
                // What a driver leaves there when it finds nothing is not to be trusted.
                *kind = 3;
                *pieces = 7;
                return 1;
            }
            *kind = it->second.kind;
            *pieces = it->second.pieces;
            return 0;
        };
        ctx.egdb().open = [this](int options, int pieces, int megabytes,
                                 const char* directory) -> egdb_driver* {
            const std::string name = std::filesystem::path(directory).filename().string();
            opens.push_back(open_call{options, pieces, megabytes, name});
            const auto it = folders.find(name);
            return it == folders.end() ? nullptr : it->second.driver;
        };
        ctx.set_pause([this](int seconds) { pauses.push_back(seconds); });
    }
    int closes() const { return values.closes + mtc.closes; }
};

} // namespace engine_test
