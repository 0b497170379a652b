// vqdbgen [--copies P] [--prefixes P] [--captures P] [--undeleted] N OUT.vqb [seed]
// Writes a database of N random legal games (all seven variants, variations, comments, set-up
// starts, deleted marks, Latin and Cyrillic names) through the store's own WriteGame. The same seed
// gives the same database. For trying the database window and for benchmarks by hand.
//
// Planted duplicates, each option a percentage of the N games, drawn from the games written
// before: exact copies (--copies), games holding only the first moves of an earlier game's main
// line (--prefixes), and copies whose main line ends one capture on another square (--captures;
// such a copy is no longer legal after that capture). --undeleted clears every deleted mark.

#include "gamedb/game_database.h"
#include "gamedb/game_index_record.h"
#include "gamedb/user_prompt.h"
#include "platform/codepage.h"
#include "tests/support/random_games.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

class TTerminalPrompt final : public IUserPrompt {
  public:
    void ShowMessage(const std::string& text) override {
        std::cerr << "vqdbgen: " << Cp1251ToUtf8(text) << '\n';
    }
    bool Confirm(const std::string&) override { return false; }
};

bool ParseNumber(const char* text, long long low, long long high, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && value >= low && value <= high;
}

struct TPlanting {
    int copies = 0, prefixes = 0, captures = 0; // percent of the games
    bool undeleted = false;
    bool Any() const { return copies || prefixes || captures || undeleted; }
};

// The main line's nodes from the root, in order.
std::vector<int> MainLineNodes(const TGame& g) {
    std::vector<int> line;
    for (int node = 0;;) {
        const TNodeList children = ListChildNodes(node, g);
        if (children.empty() || !g.nodes[children[0]].mainLine || line.size() >= MaxNodes) return line;
        node = children[0];
        line.push_back(node);
    }
}

// Game `g` with its main line cut to `plies` moves and no variation.
void CutMainLine(TGame& g, int plies) {
    const std::vector<int> line = MainLineNodes(g);
    std::vector<TMove> moves;
    for (int i = 0; i < plies && i < int(line.size()); ++i)
        moves.push_back(g.nodes[line[std::size_t(i)]]);
    for (int n = 1; n < NodeSlots; ++n)
        ClearNode(g, n);
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const int n = int(i) + 1;
        g.nodes[n] = moves[i];
        g.nodes[n].parent = static_cast<std::uint16_t>(n - 1);
        g.nodes[n].mainLine = 1;
        g.nodes[n].free = 0;
    }
    g.header.nodeCount = static_cast<std::uint16_t>(moves.size());
}

// The last capture of the main line lands on another square; false when there is none.
bool MoveLastCapture(TGame& g) {
    const std::vector<int> line = MainLineNodes(g);
    for (auto it = line.rbegin(); it != line.rend(); ++it) {
        TMove& m = g.nodes[*it];
        if (!m.captures) continue;
        const int squares = SquaresOf(g.header.variant);
        std::uint8_t& to = m.squares[2 * m.captures - 1];
        to = static_cast<std::uint8_t>(to % squares + 1);
        return true;
    }
    return false;
}

bool WritePlantedDatabase(const std::string& fileName, int count, std::uint32_t seed, const TPlanting& p,
                          std::string& error, IUserPrompt& prompt) {
    TGameDatabase db;
    db.prompt = &prompt;
    if (!CreateDatabase(fileName, db)) {
        error = "cannot create " + fileName;
        return false;
    }
    test_support::TRandom random(seed);
    test_support::TRandom plant(seed ^ 0x5EEDu);
    auto scratch = std::make_unique<TGame>();
    for (int i = 0; i < count; ++i) {
        std::unique_ptr<TGame> fresh;
        TGame* g = scratch.get();
        const int draw = plant.Below(100);
        const bool planted = i > 0 && draw < p.copies + p.prefixes + p.captures;
        if (planted && ReadGame(db, 1 + plant.Below(i), false, *scratch) == TDbStatus::Ok) {
            if (draw >= p.copies && draw < p.copies + p.prefixes) {
                const int plies = int(MainLineNodes(*scratch).size());
                CutMainLine(*scratch, plies > 1 ? 1 + plant.Below(plies - 1) : 0);
            } else if (draw >= p.copies + p.prefixes) {
                MoveLastCapture(*scratch);
            }
        } else {
            fresh = std::move(test_support::RandomGame(random).game);
            g = fresh.get();
        }
        if (p.undeleted || planted) g->header.flags &= static_cast<std::uint8_t>(~gfDeleted);
        const TDbStatus s = WriteGame(*g, 0, db, false);
        if (s != TDbStatus::Ok) {
            CloseDatabase(db);
            error = "game " + std::to_string(i + 1) + ": " + DbStatusText(s);
            return false;
        }
        ++db.gameCount;
    }
    const bool saved = SaveDatabase(db);
    CloseDatabase(db);
    if (!saved) error = "cannot write the name file of " + fileName;
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    long long count = 0, seed = 1;
    TPlanting planting;
    int first = 1;
    bool optionsOk = true;
    for (; first < argc && std::strncmp(argv[first], "--", 2) == 0; ++first) {
        long long percent = 0;
        const std::string option = argv[first];
        if (option == "--undeleted") {
            planting.undeleted = true;
            continue;
        }
        int* field = option == "--copies"     ? &planting.copies
                     : option == "--prefixes" ? &planting.prefixes
                     : option == "--captures" ? &planting.captures
                                              : nullptr;
        if (!field || first + 1 >= argc || !ParseNumber(argv[first + 1], 0, 100, percent)) {
            optionsOk = false;
            break;
        }
        *field = static_cast<int>(percent);
        ++first;
    }
    const int rest = argc - first;
    if (!optionsOk || planting.copies + planting.prefixes + planting.captures > 100 || rest < 2 || rest > 3 ||
        !ParseNumber(argv[first], 0, 10'000'000, count) ||
        (rest == 3 && !ParseNumber(argv[first + 2], 0, 0xFFFFFFFFLL, seed))) {
        std::cerr
            << "usage: vqdbgen [--copies P] [--prefixes P] [--captures P] [--undeleted] N OUT.vqb [seed]\n"
               "  writes N random legal games (0..10,000,000) into a new database OUT; the options\n"
               "  plant P percent of exact copies, main-line beginnings and copies whose last\n"
               "  capture lands elsewhere, of games written before; --undeleted: no deleted marks\n";
        return 2;
    }
    const std::string out = argv[first + 1];
    TTerminalPrompt prompt;
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    const bool written = planting.Any()
                             ? WritePlantedDatabase(out, static_cast<int>(count),
                                                    static_cast<std::uint32_t>(seed), planting, error, prompt)
                             : test_support::WriteRandomDatabase(out, static_cast<int>(count),
                                                                 static_cast<std::uint32_t>(seed), {},
                                                                 nullptr, &error, &prompt);
    if (!written) {
        std::cerr << "vqdbgen: " << error << '\n';
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << out << ": " << count << " games, seed " << seed << ", " << seconds << " s\n";
    return 0;
}
