// The engine libraries under threads, loaded with dlopen as tavrix loads them: a second caller of
// one library waits for the running search, the two libraries search at once, and the host's
// thread reads the status text and raises play-now while the engine writes and clears them.

#include "host_board_util.h"

#include "tests/support/wait.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using namespace engine_test;

namespace {

const engine_position start_position{{0x00000FFFu, 0xFFF00000u}, 0};

// The caller's buffer as another thread sees it while the engine writes it byte by byte.
std::string read_text(const char* buffer) {
    std::string out;
    for (int i = 0; i < ENGINE_STATUS_TEXT_SIZE; ++i) {
        const char c = std::atomic_ref<const char>(buffer[i]).load(std::memory_order_relaxed);
        if (!c) break;
        out += c;
    }
    return out;
}

bool is_move_of(const library& lib, const engine_position& before, int side, const engine_position& after) {
    move_list list;
    lib.build(before, side, list);
    for (std::uint32_t i = 0; i < list.count; ++i)
        if (same(list.moves[i], after)) return true;
    return false;
}

// A getmove from the start position, with all the time in the world, on a thread of its own; it
// ends when the host raises play-now.
class running_search {
  public:
    running_search(const library& lib, int color)
        : m_lib(lib), m_color(color), m_board(board_of(start_position)) {
        const auto getmove = lib.function<getmove_fn>("getmove");
        m_thread = std::thread([this, getmove] {
            m_result = getmove(&m_board, m_color, 1000.0, m_status, &m_playnow, 1, 0, &m_record);
            m_done = true;
        });
    }
    ~running_search() { finish(); }

    // Waits for the first progress line of the search; false when the search ended first.
    bool wait_until_searching() {
        const auto searching = [this] { return status().rfind("value", 0) == 0; };
        test_support::WaitUntil([&] { return m_done || searching(); });
        return !m_done && searching();
    }
    std::string status() const { return read_text(m_status); }
    bool done() const { return m_done; }
    void play_now() { std::atomic_ref<int>(m_playnow).store(1); }
    // Stops the search and waits for its return.
    void finish() {
        if (!m_thread.joinable()) return;
        play_now();
        m_thread.join();
    }
    int result() const { return m_result; }
    int playnow() const { return std::atomic_ref<const int>(m_playnow).load(); }
    // The move the engine played, checked against its own generator.
    bool played_a_legal_move() const {
        return is_move_of(m_lib, start_position, m_color == 1 ? 1 : 0,
                          marrak::host::board_to_position(m_board));
    }

  private:
    const library& m_lib;
    int m_color;
    host_board m_board;
    host_move m_record{};
    char m_status[ENGINE_STATUS_TEXT_SIZE] = {};
    int m_playnow = 0;
    int m_result = -1;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

} // namespace

// While one getmove searches, a second request to the same library, a move request or a command
// that reallocates the table, writes nothing until the first has returned; then it runs.
TEST(LibraryThreads, SecondCallerWaitsForTheRunningSearch) {
    struct second_call {
        const char* name;
        const char* file;
        // A status text may be read while the engine writes it; a command's reply may not.
        bool watch_buffer;
        // Runs the call into `buffer`; then checks what it left.
        std::function<void(const library&, char* buffer)> call;
        std::function<void(const library&, const char* buffer)> check;
    };
    const second_call cases[] = {
        {"getmove", "libMarrak.so", true,
         [](const library& lib, char* buffer) {
             host_board b = board_of(start_position);
             int playnow = 0;
             const int code =
                 lib.function<getmove_fn>("getmove")(&b, 2, 0.02, buffer, &playnow, 0, 0, nullptr);
             EXPECT_NE(code, ENGINE_LOSS) << buffer;
             EXPECT_TRUE(is_move_of(lib, start_position, 0, marrak::host::board_to_position(b))) << buffer;
         },
         [](const library&, const char* buffer) {
             EXPECT_EQ(std::string(buffer).rfind("value", 0), 0u) << buffer;
         }},
        {"set hashsize 64", "libmarrak_italian.so", false,
         [](const library& lib, char* buffer) {
             EXPECT_EQ(lib.function<enginecommand_fn>("enginecommand")("set hashsize 64", buffer), 1);
         },
         [](const library& lib, const char* buffer) {
             EXPECT_STREQ(buffer, "hashsize set to 64mb");
             char reply[ENGINE_STATUS_TEXT_SIZE];
             lib.function<enginecommand_fn>("enginecommand")("get hashsize", reply);
             EXPECT_STREQ(reply, "64");
         }},
    };
    for (const second_call& c : cases) {
        SCOPED_TRACE(c.name);
        library lib(c.file);
        ASSERT_TRUE(lib.loaded()) << lib.error();
        running_search first(lib, 1);
        ASSERT_TRUE(first.wait_until_searching()) << first.status();

        static char buffer[ENGINE_STATUS_TEXT_SIZE];
        std::memset(buffer, 'x', sizeof buffer - 1);
        buffer[sizeof buffer - 1] = '\0';
        const std::string canary(buffer);
        std::atomic<int> tid{0};
        std::atomic<bool> returned{false};
        std::thread second([&] {
            tid = test_support::KernelThreadId();
            c.call(lib, buffer);
            returned = true;
        });
        // The second call reaches the engine and must wait there, asleep; one that ran beside the
        // search would write or return instead.
        const auto written = [&] { return c.watch_buffer && read_text(buffer) != canary; };
        EXPECT_TRUE(test_support::WaitUntil(
            [&] { return returned || written() || (tid != 0 && test_support::ThreadAsleep(tid)); }));
        EXPECT_FALSE(returned || written())
            << "the second call ran beside the search; the first: " << first.status();
        EXPECT_FALSE(first.done()) << first.status();
        first.finish();
        second.join();
        EXPECT_NE(first.result(), ENGINE_LOSS) << first.status();
        EXPECT_EQ(first.playnow(), 0);
        EXPECT_TRUE(first.played_a_legal_move()) << first.status();
        c.check(lib, buffer);
    }
}

// The two libraries search at the same time, each in its own state; the host's thread watches
// both status texts change and then stops both.
TEST(LibraryThreads, BothLibrariesSearchAtOnce) {
    library english("libMarrak.so"), italian("libmarrak_italian.so");
    ASSERT_TRUE(english.loaded() && italian.loaded());
    running_search a(english, 2), b(italian, 1);
    ASSERT_TRUE(a.wait_until_searching()) << a.status();
    ASSERT_TRUE(b.wait_until_searching()) << b.status();
    // Each moves on while the other keeps running.
    const std::string seen[2] = {a.status(), b.status()};
    bool changed[2] = {false, false};
    test_support::WaitUntil([&] {
        changed[0] = changed[0] || a.status() != seen[0];
        changed[1] = changed[1] || b.status() != seen[1];
        return changed[0] && changed[1];
    });
    EXPECT_TRUE(changed[0]) << seen[0];
    EXPECT_TRUE(changed[1]) << seen[1];
    EXPECT_FALSE(a.done());
    EXPECT_FALSE(b.done());
    a.finish();
    b.finish();
    for (const running_search* s : {&a, &b}) {
        EXPECT_NE(s->result(), ENGINE_LOSS);
        EXPECT_EQ(s->playnow(), 0);
        EXPECT_TRUE(s->played_a_legal_move());
        EXPECT_EQ(s->status().rfind("value", 0), 0u) << s->status();
    }
}
