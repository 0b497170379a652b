// vqbook: builds an opening book from a game database, prints a book, or checks its order.
//   vqbook build DB.vqb BOOK.cbk   adds every game of the database to the book (made when missing)
//   vqbook dump BOOK.cbk           one line per record, with the ".cbn" comment lines
//   vqbook check BOOK.cbk          sorted by key and side, no pair twice, whole records
// Exit status: 0 done (a sound book), 1 the book is not sound, 2 a file could not be used.

#include "gamedb/book_builder.h"
#include "gamedb/book_comments.h"
#include "gamedb/user_prompt.h"
#include "platform/file_io.h"
#include "tools/vqbook/vqbook_check.h"

#include <iostream>
#include <numeric>
#include <unistd.h>

namespace {

class TStderrPrompt final : public IUserPrompt {
  public:
    void ShowMessage(const std::string& text) override { std::cerr << "vqbook: " << text << '\n'; }
    bool Confirm(const std::string&) override { return false; }
};

int Usage() {
    std::cerr << "usage: vqbook build DB.vqb BOOK.cbk\n"
                 "       vqbook dump BOOK.cbk\n"
                 "       vqbook check BOOK.cbk\n";
    return 2;
}

bool ReadBook(const std::string& path, std::vector<std::uint8_t>& bytes) {
    const TIoStatus s = RegularFileExists(path)
                            ? ReadWholeFile(path, bytes)
                            : TIoStatus::Failure("cannot read " + path + ": no such file");
    if (!s) std::cerr << "vqbook: " << s.Message() << '\n';
    return s.Ok();
}

int Build(const std::string& database, const std::string& book, IUserPrompt& prompt) {
    TGameDatabase db;
    db.prompt = &prompt;
    OpenDatabase(database, db, TOpenMode::ReadOnly);
    if (!db.open) {
        std::cerr << "vqbook: cannot open " << database << '\n';
        return 2;
    }
    std::vector<std::int32_t> games(static_cast<std::size_t>(db.gameCount));
    std::iota(games.begin(), games.end(), 1);
    const TBookBuildReport report = BuildBook(book, db, games, [](int n) {
        if (n % 10000 == 0 && isatty(2)) std::cerr << n << " games\r" << std::flush;
    });
    CloseDatabase(db);
    if (!report.ok) {
        std::cerr << "vqbook: " << report.error << '\n';
        return 2;
    }
    std::cout << "Total " << report.records << '\n';
    if (report.skippedGames) std::cout << "Games left out as damaged: " << report.skippedGames << '\n';
    return 0;
}

int Check(const std::string& book) {
    std::vector<std::uint8_t> bytes;
    if (!ReadBook(book, bytes)) return 2;
    const TBookCheck c = CheckBookBytes(bytes);
    for (const std::string& p : c.problems)
        std::cout << p << '\n';
    std::cout << c.records << " records; " << c.outOfOrder << " out of order, " << c.duplicates
              << " repeated pairs, " << c.trailingBytes << " trailing bytes; " << c.badKeys << " bad keys, "
              << c.badSides << " bad sides, " << c.badMarks << " marks above 7\n";
    return c.Sound() ? 0 : 1;
}

int Dump(const std::string& book) {
    std::vector<std::uint8_t> bytes;
    if (!ReadBook(book, bytes)) return 2;
    std::string text;
    std::vector<std::string> comments;
    if (ReadWholeFile(BookCommentFileName(book), text)) comments = ParseBookComments(text);
    DumpBookBytes(bytes, comments, std::cout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    TStderrPrompt prompt;
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "build" && argc == 4) return Build(argv[2], argv[3], prompt);
    if (command == "dump" && argc == 3) return Dump(argv[2]);
    if (command == "check" && argc == 3) return Check(argv[2]);
    return Usage();
}
