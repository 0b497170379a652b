// vqdb DB.vqb: prints one line per game of a database (see vqdb_dump.h). Opens it read-only.
// Exit status: 0 when every game read, 1 when some are damaged, 2 when it cannot be opened.

#include "gamedb/user_prompt.h"
#include "tools/vqdb/vqdb_dump.h"

#include <iostream>

namespace {
class TStderrPrompt final : public IUserPrompt {
  public:
    void ShowMessage(const std::string& text) override { std::cerr << "vqdb: " << text << '\n'; }
    bool Confirm(const std::string&) override { return false; }
};
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vqdb DB.vqb\n";
        return 2;
    }
    TStderrPrompt prompt;
    SetUserPrompt(&prompt);
    TGameDatabase db;
    OpenDatabase(argv[1], db, TOpenMode::ReadOnly);
    if (!db.open) {
        std::cerr << "vqdb: cannot open " << argv[1] << '\n';
        return 2;
    }
    const int damaged = DumpDatabase(db, std::cout);
    CloseDatabase(db);
    return damaged ? 1 : 0;
}
