// vqdupcheck BEFORE.vqb MATCHED.vqb [CLEANED.vqb]
// Checks a run of "Match games" (Moves, Exact match, Complete length) from outside: BEFORE is a copy
// of the database taken before matching, MATCHED the database after it, CLEANED (optional) the
// database after "CleanUp database". Real copies are decided without the matcher
// (tests/support/real_copies.h: same variant, start position and main line, move for move).
//
// It checks that the games are the same in BEFORE and MATCHED but for deleted marks, that every game
// the matching marked has an earlier real copy, and that CleanUp kept exactly the unmarked games in
// their order, so every game that is no copy (and was not deleted before) is still there. It prints
// the counts; exit status 0 when every check holds, 1 when one fails, 2 on wrong arguments.

#include "gamedb/game_database.h"
#include "gamedb/game_index_record.h"
#include "gamedb/user_prompt.h"
#include "platform/codepage.h"
#include "tests/support/real_copies.h"

#include <array>
#include <cstdint>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

class TTerminalPrompt final : public IUserPrompt {
  public:
    void ShowMessage(const std::string& text) override {
        std::cerr << "vqdupcheck: " << Cp1251ToUtf8(text) << '\n';
    }
    bool Confirm(const std::string&) override { return false; }
};

using TRecordBytes = std::array<std::uint8_t, IndexRecordSize>;

bool ReadRecords(const TGameDatabase& db, std::vector<TRecordBytes>& out) {
    out.clear();
    for (int n = 1; n <= IndexRecordCount(db); ++n) {
        TGameIndexRecord r;
        if (ReadIndexRecord(db, n, r) != TDbStatus::Ok) return false;
        TRecordBytes bytes;
        EncodeIndexRecord(r, bytes.data());
        out.push_back(bytes);
    }
    return true;
}

constexpr std::size_t FlagsOffset = 28;

bool Deleted(const TRecordBytes& r) {
    return (r[FlagsOffset] & gfDeleted) != 0;
}

bool SameButDeletedMark(TRecordBytes a, TRecordBytes b) {
    a[FlagsOffset] &= static_cast<std::uint8_t>(~gfDeleted);
    b[FlagsOffset] &= static_cast<std::uint8_t>(~gfDeleted);
    return a == b;
}

bool Open(const std::string& name, TGameDatabase& db, IUserPrompt& prompt) {
    db.prompt = &prompt;
    OpenDatabase(name, db, TOpenMode::ReadOnly);
    if (!db.open) std::cerr << "vqdupcheck: cannot open " << name << '\n';
    return db.open;
}

// Prints up to ten game numbers after a label.
void Show(const char* label, const std::vector<int>& games) {
    if (games.empty()) return;
    std::cout << "  " << label << ":";
    for (std::size_t i = 0; i < games.size() && i < 10; ++i)
        std::cout << ' ' << games[i];
    if (games.size() > 10) std::cout << " ...";
    std::cout << '\n';
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: vqdupcheck BEFORE.vqb MATCHED.vqb [CLEANED.vqb]\n"
                     "  checks that Match games (Moves, Exact match, Complete length) marked only real\n"
                     "  copies and that CleanUp kept every game it did not mark\n";
        return 2;
    }
    TTerminalPrompt prompt;
    TGameDatabase before, matched;
    if (!Open(argv[1], before, prompt) || !Open(argv[2], matched, prompt)) return 1;
    std::vector<TRecordBytes> beforeRecords, matchedRecords;
    if (!ReadRecords(before, beforeRecords) || !ReadRecords(matched, matchedRecords)) {
        std::cerr << "vqdupcheck: an index record cannot be read\n";
        return 1;
    }
    if (beforeRecords.size() != matchedRecords.size()) {
        std::cerr << "vqdupcheck: " << beforeRecords.size() << " games before, " << matchedRecords.size()
                  << " after matching\n";
        return 1;
    }
    bool ok = true;
    const std::vector<int> earliest = test_support::EarliestRealCopies(before);
    std::vector<int> changed, wronglyMarked, missed, unreadable;
    int realCopies = 0, deletedBefore = 0, marked = 0, withoutMoves = 0;
    auto g = std::make_unique<TGame>();
    for (std::size_t i = 0; i < beforeRecords.size(); ++i) {
        const int n = int(i) + 1;
        const int copyOf = earliest[std::size_t(n)];
        if (copyOf < 0) unreadable.push_back(n);
        if (copyOf > 0) ++realCopies;
        if (copyOf == 0 && ReadGame(before, n, false, *g) == TDbStatus::Ok &&
            test_support::MainLineMoves(*g).empty())
            ++withoutMoves;
        if (!SameButDeletedMark(beforeRecords[i], matchedRecords[i])) changed.push_back(n);
        if (Deleted(beforeRecords[i])) ++deletedBefore;
        const bool newlyMarked = Deleted(matchedRecords[i]) && !Deleted(beforeRecords[i]);
        if (newlyMarked) {
            ++marked;
            if (copyOf <= 0) wronglyMarked.push_back(n);
        }
        if (copyOf > 0 && !Deleted(matchedRecords[i])) missed.push_back(n);
    }
    std::cout << argv[2] << ": " << beforeRecords.size() << " games, " << withoutMoves << " without moves, "
              << realCopies << " real copies of an earlier game, " << deletedBefore
              << " deleted before matching\n"
              << "  marked by the matching: " << marked
              << ", of them without an earlier real copy: " << wronglyMarked.size()
              << "\n  real copies left unmarked: " << missed.size() << '\n';
    Show("marked without an earlier real copy", wronglyMarked);
    Show("real copies left unmarked", missed);
    Show("unreadable", unreadable);
    if (!changed.empty()) {
        Show("changed by the matching beyond the deleted mark", changed);
        ok = false;
    }
    if (!wronglyMarked.empty()) ok = false;

    if (argc == 4) {
        TGameDatabase cleaned;
        std::vector<TRecordBytes> cleanedRecords;
        if (!Open(argv[3], cleaned, prompt) || !ReadRecords(cleaned, cleanedRecords)) return 1;
        std::vector<TRecordBytes> kept;
        int lostNonCopies = 0;
        for (std::size_t i = 0; i < matchedRecords.size(); ++i) {
            if (!Deleted(matchedRecords[i]))
                kept.push_back(matchedRecords[i]);
            else if (!Deleted(beforeRecords[i]) && earliest[i + 1] <= 0)
                ++lostNonCopies; // a game that is no copy, deleted only by the matching
        }
        const bool same = kept == cleanedRecords;
        std::cout << argv[3] << ": " << cleanedRecords.size() << " games kept by CleanUp, "
                  << (same ? "exactly the unmarked games in their order" : "NOT the unmarked games")
                  << "; games that are no copy and were removed: " << lostNonCopies << '\n';
        if (!same || lostNonCopies != 0) ok = false;
        CloseDatabase(cleaned);
    }
    CloseDatabase(before);
    CloseDatabase(matched);
    std::cout << (ok ? "every check holds\n" : "CHECK FAILED\n");
    return ok ? 0 : 1;
}
