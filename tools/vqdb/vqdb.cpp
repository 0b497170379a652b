// vqdb DB.vqb: prints one line per game of a database (see vqdb_dump.h). Opens it read-only; like
// every open where the folder can be written, it first finishes a replacement of the database that
// did not finish (the new database was already decided on) and removes what killed imports left.
// vqdb --pdn DB.vqb: writes every game as PDN (CP1251, CR LF) to standard output instead.
// Exit status: 0 when every game read, 1 when some are damaged (or the output failed), 2 when it
// cannot be opened.

#include "gamedb/pdn_export.h"
#include "gamedb/user_prompt.h"
#include "tools/vqdb/vqdb_dump.h"

#include <iostream>
#include <memory>
#include <string>

namespace {
class TStderrPrompt final : public IUserPrompt {
  public:
    void ShowMessage(const std::string& text) override { std::cerr << "vqdb: " << text << '\n'; }
    bool Confirm(const std::string&) override { return false; }
};

// Every game as PDN; the number of games that could not be read, or -1 when the output failed.
int WritePdn(const TGameDatabase& db) {
    int damaged = 0;
    auto game = std::make_unique<TGame>();
    for (std::int32_t n = 1; n <= db.gameCount; ++n) {
        if (ReadGame(db, n, false, *game) != TDbStatus::Ok) {
            std::cerr << "vqdb: game " << n << " is damaged: not written\n";
            ++damaged;
            continue;
        }
        if (!WritePdnGame(*game, std::cout)) return -1;
    }
    return std::cout.flush() ? damaged : -1;
}
} // namespace

int main(int argc, char** argv) {
    const bool pdn = argc == 3 && std::string(argv[1]) == "--pdn";
    if (argc != 2 && !pdn) {
        std::cerr << "usage: vqdb [--pdn] DB.vqb\n";
        return 2;
    }
    const char* name = argv[argc - 1];
    TStderrPrompt prompt;
    TGameDatabase db;
    db.prompt = &prompt;
    OpenDatabase(name, db, TOpenMode::ReadOnly);
    if (!db.open) {
        std::cerr << "vqdb: cannot open " << name << '\n';
        return 2;
    }
    if (pdn) {
        const int damaged = WritePdn(db);
        CloseDatabase(db);
        if (damaged < 0) std::cerr << "vqdb: cannot write the output\n";
        return damaged != 0 ? 1 : 0;
    }
    const int damaged = DumpDatabase(db, std::cout);
    CloseDatabase(db);
    return damaged ? 1 : 0;
}
