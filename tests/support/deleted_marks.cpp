#include "tests/support/deleted_marks.h"

#include "gamedb/game_index_record.h"

#include <algorithm>
#include <cstdint>

namespace test_support {

bool SetDeletedMarks(TGameDatabase& db, const std::vector<int>& games) {
    for (int n = 1; n <= IndexRecordCount(db); ++n) {
        TGameIndexRecord r;
        if (ReadIndexRecord(db, n, r) != TDbStatus::Ok) return false;
        const bool del = std::find(games.begin(), games.end(), n) != games.end();
        r.flags = static_cast<std::uint8_t>(del ? (r.flags | gfDeleted) : (r.flags & ~gfDeleted));
        if (WriteIndexRecord(db, n, r) != TDbStatus::Ok) return false;
    }
    return true;
}

std::vector<int> DeletedMarks(const TGameDatabase& db) {
    std::vector<int> out;
    for (int n = 1; n <= IndexRecordCount(db); ++n) {
        TGameIndexRecord r;
        if (ReadIndexRecord(db, n, r) != TDbStatus::Ok)
            out.push_back(-n);
        else if (r.flags & gfDeleted)
            out.push_back(n);
    }
    return out;
}

} // namespace test_support
