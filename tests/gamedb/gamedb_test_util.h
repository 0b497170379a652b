#pragma once
// Helpers for the database tests: a scratch folder with a prompt of scripted answers, and random
// legal game trees as editing leaves them (the shared generator of tests/support).

#include "gamedb/game_database.h"
#include "gamedb/user_prompt.h"
#include "rules/movegen.h"
#include "tests/support/random_games.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace gamedb_test {

using Bytes = std::vector<std::uint8_t>;
using test_support::NewGame;
using test_support::ReadBytes;
using test_support::TRandom;
using test_support::WriteBytes;
using test_support::WriteText;
using TRandomTree = test_support::TRandomGame;

// Records every message and question; answers questions from a script (default Cancel).
class TScriptedPrompt final : public IUserPrompt {
  public:
    std::vector<std::string> messages, questions;
    std::deque<bool> answers;

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool Confirm(const std::string& text) override {
        questions.push_back(text);
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

// A fresh folder per test, with a scripted prompt for the databases and commands of the test.
class TDbTest : public ::testing::Test {
  protected:
    test_support::TTempDir tempDir{"gamedb"};
    const std::filesystem::path& dir = tempDir.Path();
    TScriptedPrompt prompt;

    std::string Path(const std::string& name) const { return tempDir.File(name); }
};

// Trees as stored games hold them after editing: variations, freed and reused slots, set-up
// starts, comments of any byte (CR and NUL too) and any annotation word; no header.
inline TRandomTree MakeRandomTree(TRandom& rng, TGameType variant, int moves) {
    test_support::TRandomGameOptions o;
    o.variant = variant;
    o.moves = moves;
    o.header = false;
    o.variationPercent = 25;
    o.setUpPercent = 33;
    o.freeSlots = true;
    o.anyBytes = true;
    return test_support::RandomGame(rng, o);
}

} // namespace gamedb_test
