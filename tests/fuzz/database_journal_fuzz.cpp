// The journal of an interrupted replacement, as the next open reads it: any bytes beside an old
// database and the staged files of a new one. A journal that reads back whole is one this program
// writes (it formats back to the same bytes); whatever the bytes, the open ends with the database's
// three files byte for byte the old set or the new one, and no file outside the set is touched.
// Input: the journal's bytes.
#include "fuzz_files.h"
#include "gamedb/db_file.h"
#include "gamedb/game_database.h"
#include "tests/support/random_games.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using TSet = std::array<std::vector<std::uint8_t>, 3>; // index, names, moves

constexpr long StagedPid = 99999999; // above any process id: the process that staged them is gone

struct TFixture {
    TSet oldSet, newSet;
    TDbFileNames target, staged;
};

TSet Read(const TDbFileNames& f) {
    return {test_support::ReadBytes(f.index), test_support::ReadBytes(f.names),
            test_support::ReadBytes(f.moves)};
}

void Write(const TDbFileNames& f, const TSet& s) {
    test_support::WriteBytes(f.index, s[0]);
    test_support::WriteBytes(f.names, s[1]);
    test_support::WriteBytes(f.moves, s[2]);
}

const TFixture& Fixture() {
    static const TFixture f = [] {
        TFixture x;
        test_support::TRandomGameOptions o;
        o.moves = 6;
        test_support::WriteRandomDatabase(fuzz_files::Path("made_old.vqb"), 3, 1, o);
        test_support::WriteRandomDatabase(fuzz_files::Path("made_new.vqb"), 2, 2, o);
        x.oldSet = Read(DatabaseFileNames(fuzz_files::Path("made_old.vqb")));
        x.newSet = Read(DatabaseFileNames(fuzz_files::Path("made_new.vqb")));
        x.target = DatabaseFileNames(fuzz_files::Path("journal.vqb"));
        x.staged = StagedFileNames(x.target, StagedPid);
        return x;
    }();
    return f;
}

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TFixture& f = Fixture();
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<TJournalEntry> entries;
    if (ParseDatabaseJournal(text, f.target, entries)) Check(FormatDatabaseJournal(entries) == text);

    Write(f.target, f.oldSet);
    Write(f.staged, f.newSet);
    fuzz_files::Write("journal.vqb~journal", data, size);
    static TGameDatabase db;
    OpenDatabase(f.target.index, db);
    Check(db.open);
    CloseDatabase(db);
    const TSet now = Read(f.target);
    Check(now == f.oldSet || now == f.newSet);
    // Only the set's own files were renamed: a staged file is gone only when it is now in place.
    const TSet staged = Read(f.staged);
    for (std::size_t i = 0; i < 3; ++i)
        Check(!staged[i].empty() || now == f.newSet || f.newSet[i].empty());
    return 0;
}
