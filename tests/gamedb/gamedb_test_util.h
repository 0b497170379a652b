#pragma once
// Helpers for the database tests: a scratch folder, a prompt with scripted answers, file bytes,
// and random legal game trees.

#include "gamedb/game_database.h"
#include "gamedb/user_prompt.h"
#include "rules/movegen.h"

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

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const Bytes& b) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

inline void WriteText(const std::string& path, const std::string& s) {
    WriteBytes(path, Bytes(s.begin(), s.end()));
}

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

// A fresh folder per test, with the scripted prompt installed.
class TDbTest : public ::testing::Test {
  protected:
    std::filesystem::path dir;
    TScriptedPrompt prompt;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = std::filesystem::temp_directory_path() / ("vq_gamedb_" + std::to_string(::getpid()) + "_" +
                                                        info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        SetUserPrompt(&prompt);
    }
    void TearDown() override {
        SetUserPrompt(nullptr);
        std::filesystem::remove_all(dir);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
};

inline std::unique_ptr<TGame> NewGame(TGameType variant) {
    auto g = std::make_unique<TGame>();
    InitGame(*g, variant);
    g->startKey = {};
    PositionToKey(StartPositionOf(variant), g->startKey);
    return g;
}

// Random legal game trees: variations, comments, marks, freed and reused slots, set-up starts.
// `boards[n]` is the position after node n, for checking PositionAtNode.
struct TRandomTree {
    std::unique_ptr<TGame> game;
    std::vector<TBoard> boards;
};

inline std::string RandomText(std::mt19937& rng, int maxLen) {
    std::string s(std::uniform_int_distribution<int>(0, maxLen)(rng), ' ');
    for (char& c : s)
        c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng)); // any byte, CR and NUL too
    return s;
}

inline TRandomTree MakeRandomTree(std::mt19937& rng, TGameType variant, int moves) {
    TRandomTree t;
    t.game = NewGame(variant);
    TGame& g = *t.game;
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    TBoard start = StartPositionOf(variant);
    int startSide = 0;
    TMoveList list;
    if (pick(3) == 0) {
        // A set-up start: a few random plies from the standard position, sometimes pieces removed.
        for (int i = 0, plies = pick(12); i < plies; ++i) {
            FindMoves(start, startSide, list, variant);
            if (list.empty()) break;
            MakeMove(list[pick(static_cast<int>(list.size()))], start, variant);
            startSide ^= 1;
        }
        if (pick(2) == 0)
            for (int s = 1; s <= SquaresOf(variant); ++s)
                if (pick(4) == 0) start[s] = 0;
    }
    PositionToKey(start, g.startKey);
    g.header.startSide = static_cast<std::uint8_t>(startSide);
    t.boards.assign(NodeSlots, start);
    std::vector<int> side(NodeSlots, startSide);
    std::vector<int> inUse{0};
    int highest = 0;
    for (int step = 0; step < moves; ++step) {
        if (highest >= 1 && pick(4) == 0) {
            // Free a leaf (not the root), so its slot can be taken again.
            const int leaf = pick(2) ? inUse.back() : inUse[pick(static_cast<int>(inUse.size()))];
            if (leaf != 0 && ListChildNodes(leaf, g).empty()) {
                ClearNode(g, leaf);
                std::erase(inUse, leaf);
                continue;
            }
        }
        // Mostly extend the newest line, sometimes branch anywhere.
        const int parent = pick(4) ? inUse.back() : inUse[pick(static_cast<int>(inUse.size()))];
        FindMoves(t.boards[parent], side[parent], list, variant);
        if (list.empty()) continue;
        // Reuse the lowest free slot or take a new one, so free slots stay behind in the tree.
        int slot = highest + 1;
        if (pick(2))
            for (slot = 1; slot <= highest && !g.nodes[slot].free;)
                ++slot;
        if (slot > MaxNodes) break;
        const bool firstChild = ListChildNodes(parent, g).empty();
        TMove m = list[pick(static_cast<int>(list.size()))];
        m.parent = static_cast<std::uint16_t>(parent);
        m.mainLine = firstChild ? 1 : 0;
        m.free = 0;
        m.annotation = pick(3) == 0 ? static_cast<std::uint16_t>(pick(65536)) : 0;
        g.nodes[slot] = m;
        if (slot > highest) highest = slot;
        g.header.nodeCount = static_cast<std::uint16_t>(highest);
        g.commentBefore[slot] = pick(5) == 0 ? RandomText(rng, 40) : "";
        g.commentAfter[slot] = pick(5) == 0 ? RandomText(rng, 400) : "";
        t.boards[slot] = t.boards[parent];
        MakeMove(m, t.boards[slot], variant);
        side[slot] = side[parent] ^ 1;
        inUse.push_back(slot);
    }
    return t;
}

} // namespace gamedb_test
