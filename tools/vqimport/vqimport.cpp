// vqimport [--yes] [--variant N] [--window] IN.chb|IN.pdn [OUT.vqb]
// Imports the games of IN into a new database OUT (default: IN's base name + ".vqb" beside it) as
// the database window does. N (1 Russian .. 7 Czech; default 1) is the current variant: the variant
// of a CHB file's games, and of a PDN file's games without a GameType tag. Asks before it replaces a
// database unless --yes is given. Shows the progress on the terminal, or in the program's progress
// window with --window; the closing message and the log's path on the terminal.
// An existing database is replaced as one step: a failure or a kill on the way leaves it as it was.
// Exit status: 0 when the import ran through the file, 1 when it stopped early at a full name list
// (the games before are kept), 2 when it could not run, was cancelled or changed nothing.

#include "gamedb/chb_import.h"
#include "gamedb/game_database.h"
#include "gamedb/pdn_import.h"
#include "gamedb/progress.h"
#include "gamedb/ui/f_imp_chb.h"
#include "gamedb/user_prompt.h"
#include "platform/codepage.h"
#include "rules/file_names.h"
#include "tools/vqimport/text_progress.h"

#include <QApplication>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

constexpr int ExitDone = 0, ExitStopped = 1, ExitFailed = 2;

class TTerminalPrompt final : public IUserPrompt {
  public:
    bool yes = false; // answer every question with yes
    void ShowMessage(const std::string& text) override {
        std::cerr << "vqimport: " << Cp1251ToUtf8(text) << '\n';
    }
    bool Confirm(const std::string& text) override {
        if (yes) return true;
        std::cerr << Cp1251ToUtf8(text) << " [y/N] " << std::flush;
        std::string answer;
        if (!std::getline(std::cin, answer)) return false;
        return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
    }
};

int Usage() {
    std::cerr << "usage: vqimport [--yes] [--variant N] [--window] IN.chb|IN.pdn [OUT.vqb]\n"
                 "  --variant N  the current variant: 1 Russian (default), 2 English, 3 Brazilian, 4 Pool,\n"
                 "               5 Italian, 6 International (PDN only), 7 Czech\n"
                 "  --yes        replace an existing database without asking\n"
                 "  --window     show the progress in the program's progress window\n";
    return ExitFailed;
}

std::string LowerExtension(const std::string& name) {
    const std::string base = StripExtension(name);
    std::string ext = name.substr(base.size());
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

bool DatabaseExists(const std::string& name) {
    const std::string base = StripExtension(name);
    std::error_code ec;
    return std::filesystem::exists(base + ".vqb", ec) || std::filesystem::exists(base + ".vqn", ec) ||
           std::filesystem::exists(base + ".vqm", ec);
}

// The progress window of the program, or the terminal's.
struct TToolProgress {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<TFImpCHB> window;
    TTextProgress text{stderr};

    IProgress& Start(bool useWindow) {
        if (!useWindow) return text;
        static int qtArgc = 1;
        static char name[] = "vqimport";
        static char* qtArgv[] = {name, nullptr};
        app = std::make_unique<QApplication>(qtArgc, qtArgv);
        window = std::make_unique<TFImpCHB>();
        return *window;
    }
};

int ImportPdn(const std::string& in, const std::string& out, TGameType variant, bool yes, bool window,
              TTerminalPrompt& prompt) {
    prompt.yes = yes;
    TToolProgress tool;
    IProgress& progress = tool.Start(window);
    const TPdnImportResult r = ImportPdnDatabase(in, out, variant, prompt, progress);
    if (r.status == TPdnImportStatus::Done || r.status == TPdnImportStatus::WriteFailed) {
        std::cout << in << ": " << r.games << " games came in, " << r.whole << " whole, into "
                  << r.databaseFileName << '\n';
        std::cout << (r.logPath.empty() ? "no log: every game was read whole" : "log: " + r.logPath) << '\n';
    }
    switch (r.status) {
    case TPdnImportStatus::Done:
        return ExitDone;
    case TPdnImportStatus::WriteFailed:
        return ExitStopped;
    case TPdnImportStatus::Cancelled:
        std::cerr << "vqimport: nothing imported\n";
        return ExitFailed;
    default:
        return ExitFailed;
    }
}

} // namespace

int main(int argc, char** argv) {
    bool yes = false, window = false;
    int variant = gtRussian;
    std::string in, out;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--yes") {
            yes = true;
        } else if (a == "--window") {
            window = true;
        } else if (a == "--variant" && i + 1 < argc) {
            char* end = nullptr;
            variant = static_cast<int>(std::strtol(argv[++i], &end, 10));
            if (*end != '\0' || !IsValidVariant(variant)) return Usage();
        } else if (!a.empty() && a[0] == '-') {
            return Usage();
        } else if (in.empty()) {
            in = a;
        } else if (out.empty()) {
            out = a;
        } else {
            return Usage();
        }
    }
    if (in.empty()) return Usage();
    if (out.empty()) out = StripExtension(in) + ".vqb";

    TTerminalPrompt prompt;
    const std::string ext = LowerExtension(in);
    if (ext == ".pdn") return ImportPdn(in, out, static_cast<TGameType>(variant), yes, window, prompt);
    if (ext != ".chb") {
        std::cerr << "vqimport: " << in << ": neither a CHB file (.chb) nor a PDN file (.pdn)\n";
        return ExitFailed;
    }
    // Nothing is touched before the import is known to be able to run.
    if (const std::string why = ChbImportRefusal(static_cast<TGameType>(variant)); !why.empty()) {
        std::cerr << "vqimport: " << why << '\n';
        return ExitFailed;
    }
    if (TChbFile probe; !probe.Open(in)) {
        std::cerr << "vqimport: cannot open " << in << '\n';
        return ExitFailed;
    }
    if (DatabaseExists(out) && !yes && !prompt.Confirm("Replace the database " + Utf8ToCp1251(out) + "?")) {
        std::cerr << "vqimport: nothing imported\n";
        return ExitFailed;
    }

    TToolProgress tool;
    const TChbImportResult res =
        ImportChbFile(in, out, static_cast<TGameType>(variant), prompt, tool.Start(window));
    if (res.status == TChbImportStatus::NothingImported || res.status == TChbImportStatus::Refused ||
        res.status == TChbImportStatus::CannotOpen)
        return ExitFailed; // the import has said why

    std::cout << in << ": " << res.stored << " of " << res.records << " games came in, " << res.whole
              << " whole, into " << StripExtension(out) << ".vqb\n";
    std::cout << (res.logPath.empty() ? "no log: every game was read whole" : "log: " + res.logPath) << '\n';
    switch (res.status) {
    case TChbImportStatus::Done:
        return ExitDone;
    case TChbImportStatus::ReadFailed:
    case TChbImportStatus::WriteFailed:
        return ExitStopped;
    default:
        return ExitFailed;
    }
}
