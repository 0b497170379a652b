#pragma once
// Reading the generator's table files back in tests.

#include "edbforge/tables.h"
#include "tests/support/temp_dir.h"

#include <dirent.h>
#include <set>
#include <string>

namespace tables {

inline std::set<std::string> list_dir(const std::string& dir) {
    std::set<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') out.insert(e->d_name);
        closedir(d);
    }
    return out;
}

// Loads every class table of 2 to `max_pieces` pieces found in `dir`.
inline void load_all(const std::string& dir, int max_pieces, edb::table_set& set) {
    for (int n = 2; n <= max_pieces; ++n)
        for (int w = 1; w < n; ++w)
            for (int wm = 0; wm <= w; ++wm)
                for (int bm = 0; bm <= n - w; ++bm) {
                    const edb::material m{w - wm, n - w - bm, wm, bm};
                    auto t = std::make_unique<edb::table>();
                    if (edb::read_table_file(dir + "/" + edb::file_name(m), edb::table_bytes(m), *t) ==
                        edb::load_result::loaded)
                        set.put(m, std::move(t));
                }
}

} // namespace tables
