// vqdbgen N OUT.vqb [seed]
// Writes a database of N random legal games (all seven variants, variations, comments, set-up
// starts, deleted marks, Latin and Cyrillic names) through the store's own WriteGame. The same seed
// gives the same database. For trying the database window and for benchmarks by hand.

#include "gamedb/game_database.h"
#include "gamedb/user_prompt.h"
#include "platform/codepage.h"
#include "tests/support/random_games.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

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

} // namespace

int main(int argc, char** argv) {
    long long count = 0, seed = 1;
    if (argc < 3 || argc > 4 || !ParseNumber(argv[1], 0, 10'000'000, count) ||
        (argc == 4 && !ParseNumber(argv[3], 0, 0xFFFFFFFFLL, seed))) {
        std::cerr << "usage: vqdbgen N OUT.vqb [seed]\n"
                     "  writes N random legal games (0..10,000,000) into a new database OUT\n";
        return 2;
    }
    TTerminalPrompt prompt;
    SetUserPrompt(&prompt);
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    if (!test_support::WriteRandomDatabase(argv[2], static_cast<int>(count), static_cast<std::uint32_t>(seed),
                                           {}, nullptr, &error)) {
        std::cerr << "vqdbgen: " << error << '\n';
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << argv[2] << ": " << count << " games, seed " << seed << ", " << seconds << " s\n";
    return 0;
}
