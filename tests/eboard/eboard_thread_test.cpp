// The board reader against a pseudo-terminal that plays the board. Also built with ThreadSanitizer.
#include "app/core/eboard_move.h"
#include "app/core/eboard_thread.h"
#include "app/core/language.h"
#include "app/core/request_flags.h"

#include "tests/support/eboard_packets.h"
#include "tests/support/pty_board.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>
#include <random>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using namespace eboard_test;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(const TBoardPacket& p) {
    return Bytes(p.begin(), p.end());
}

// Functions, not globals: the start position lives in another unit, built at start-up.
TBoardPacket Start64() {
    return PacketOf(StartPosition64, false);
}
TBoardPacket After9_13() {
    return PacketOf(Moved(StartPosition64, 9, 13), false);
}
TBoardPacket After10_14() {
    return PacketOf(Moved(StartPosition64, 10, 14), false);
}

// A reader on a fresh pseudo-terminal.
struct TConnected {
    TPtyBoard board;
    TBoardThread thread;
    // `name` stands for the port's name as the user chose it.
    explicit TConnected(const std::string& name = {}) {
        std::string error;
        TSerialPort port = OpenBoardPort(board.Path(), &error);
        EXPECT_TRUE(port.IsOpen()) << error;
        EXPECT_TRUE(thread.Start(std::move(port), name));
    }
    std::optional<TBoardPacket> Next() {
        std::optional<TBoardPacket> p;
        WaitUntil([&] { return (p = thread.TakeEBoardPacket()).has_value(); });
        return p;
    }
    // Waits until the reader has taken what was written, and a packet gap after it.
    void Settle() const { ASSERT_TRUE(WaitUntilHandled(thread, board)); }
};

} // namespace

TEST(BoardThread, ChangedPacketsReachTheTimerAndRepeatsDoNot) {
    TConnected c;
    EXPECT_TRUE(c.thread.EBoardConnected());
    c.board.Write(Start64());
    EXPECT_EQ(c.Next(), Start64());
    c.board.Write(Start64()); // the board repeats itself
    c.board.Write(Start64());
    c.Settle();
    EXPECT_FALSE(c.thread.TakeEBoardPacket());
    c.board.Write(After9_13());
    EXPECT_EQ(c.Next(), After9_13());
}

TEST(BoardThread, OnlyTheNewestChangeWaits) {
    TConnected c;
    for (const TBoardPacket& p : {Start64(), After9_13(), After10_14(), Start64(), After9_13()})
        c.board.Write(p);
    c.Settle();
    EXPECT_EQ(c.thread.TakeEBoardPacket(), After9_13());
    EXPECT_FALSE(c.thread.TakeEBoardPacket());
}

TEST(BoardThread, DamagedLinesRealignAtTheNextPause) {
    const struct {
        const char* name;
        Bytes damaged;
    } rows[] = {
        {"a byte lost",
         [] {
             Bytes b = Of(After10_14());
             b.erase(b.begin() + 17);
             return b;
         }()},
        {"a byte doubled",
         [] {
             Bytes b = Of(After10_14());
             b.insert(b.begin() + 3, b[3]);
             return b;
         }()},
        {"a short packet", Bytes(12, 0x11)},
        {"unknown codes", Bytes(35, 0x99)},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        TConnected c;
        c.board.Write(r.damaged);
        c.Settle();
        c.thread.TakeEBoardPacket(); // whatever the damage made of it
        c.board.Write(After9_13());
        EXPECT_EQ(c.Next(), After9_13());
        c.Settle();
        EXPECT_FALSE(c.thread.TakeEBoardPacket());
    }
}

TEST(BoardThread, AWriterThatStopsMidPacketAndGoesOnGivesThePacket) {
    TConnected c;
    c.thread.SetSilence(test_support::WatchdogLimit); // a pause, however long the test is held up
    c.board.Write(Start64().data(), 20);
    // The first part read and kept, waiting for the rest.
    ASSERT_TRUE(WaitUntil([&] { return c.thread.BytesRead() == 20 && !c.thread.WaitsOnAQuietLine(); }));
    c.board.Write(Start64().data() + 20, BoardPacketSize - 20);
    EXPECT_EQ(c.Next(), Start64());
}

// Noise at full speed, then a pause and one valid move: the timer, served while the reader reads as
// the main window's does, decides nothing but that move.
TEST(BoardThread, AFloodNeverMakesAMove) {
    TConnected c;
    auto game = std::make_unique<TGame>();
    InitGame(*game, gtRussian);
    PositionToKey(StartPosition64, game->startKey);
    TEBoardContext shown;
    shown.current = StartPosition64;

    std::atomic<bool> flooding{true};
    std::thread writer([&] {
        std::mt19937 rng(99);
        std::uint8_t noise[997];
        for (int block = 0; block < 4000; ++block) {
            for (std::uint8_t& b : noise)
                b = static_cast<std::uint8_t>(rng());
            c.board.Write(noise, sizeof noise);
        }
        // The pause: the reader drops what the noise left unfinished.
        EXPECT_TRUE(WaitUntilHandled(c.thread, c.board));
        flooding = false;
        c.board.Write(After9_13());
    });
    std::vector<TEBoardDecision> moves;
    int served = 0;
    EXPECT_TRUE(WaitUntil([&] {
        const auto p = c.thread.TakeEBoardPacket();
        if (!p) return false;
        ++served;
        const TEBoardDecision d = DecideEBoardMove(*game, shown, PacketToBoard(*p, gtRussian));
        if (d.step != TEBoardStep::Ignore) moves.push_back(d);
        return *p == After9_13() && !flooding;
    }));
    writer.join();
    EXPECT_GT(served, 1);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].step, TEBoardStep::AddMove);
    EXPECT_EQ(moves[0].move.from, 9);
    EXPECT_EQ(moves[0].move.To(), 13);
    EXPECT_TRUE(c.thread.EBoardConnected());
}

TEST(BoardThread, PullingTheCableMidPacketEndsTheReaderAndSaysSo) {
    SetCurrentLanguage(1);
    TakeGameMessage();
    TConnected c("/dev/ttyUSB0");
    c.board.Write(Start64());
    EXPECT_EQ(c.Next(), Start64());
    c.board.Write(After9_13().data(), 20);
    c.board.Unplug();
    ASSERT_TRUE(WaitUntil([&] { return !c.thread.EBoardConnected(); }));
    EXPECT_FALSE(c.thread.TakeEBoardPacket()); // the half packet is not handed over

    struct TTarget : IEBoardTarget {
        int calls = 0;
        void SetupPosition(const TBoard&) override { ++calls; }
        void TakeMoveFromEBoard(const TBoard&) override { ++calls; }
    } target;
    ServeEBoard(c.thread, false, gtRussian, target);
    EXPECT_EQ(target.calls, 0);
    const auto message = TakeGameMessage();
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "Error: /dev/ttyUSB0") << "which port went";
    EXPECT_EQ(message->kind, 1); // the information panel, not a box
    ServeEBoard(c.thread, false, gtRussian, target);
    EXPECT_FALSE(TakeGameMessage()); // said once

    // A new connection works, on the same reader.
    TPtyBoard second;
    ASSERT_TRUE(c.thread.Start(OpenBoardPort(second.Path())));
    second.Write(After10_14());
    EXPECT_EQ(c.Next(), After10_14());
    c.thread.Stop();
}

TEST(BoardThread, StopEndsTheReaderAtOnceAndAsecondConnectionIsRefused) {
    TConnected c;
    TPtyBoard other;
    EXPECT_FALSE(c.thread.Start(OpenBoardPort(other.Path())));
    c.board.Write(Start64().data(), 10); // mid-packet, the line quiet
    // The reader waits without limit on a quiet line: only the wake-up can end it.
    test_support::MustEnd("Stop of a reader on a quiet line", [&] { c.thread.Stop(); });
    EXPECT_FALSE(c.thread.EBoardConnected());
    EXPECT_FALSE(c.thread.TakeLineLost()); // stopped, not lost
    // The port is closed: the line can be opened again at once, exclusively.
    TSerialPort again = OpenBoardPort(c.board.Path());
    EXPECT_TRUE(again.IsOpen());
    c.thread.Stop();                             // twice is harmless
    EXPECT_FALSE(c.thread.Start(TSerialPort())); // a closed port starts nothing
}

TEST(ServeEBoard, SetUpModeTakesThePositionOtherwiseTheMoveStep) {
    TConnected c;
    struct TTarget : IEBoardTarget {
        std::vector<TBoard> setup, moves;
        void SetupPosition(const TBoard& b) override { setup.push_back(b); }
        void TakeMoveFromEBoard(const TBoard& b) override { moves.push_back(b); }
    } target;
    c.board.Write(PacketOf(StartPosition100, true));
    ASSERT_TRUE(WaitUntil([&] {
        ServeEBoard(c.thread, true, gtInternational, target);
        return !target.setup.empty();
    }));
    EXPECT_EQ(target.setup[0], StartPosition100);
    c.board.Write(After9_13());
    ASSERT_TRUE(WaitUntil([&] {
        ServeEBoard(c.thread, false, gtRussian, target);
        return !target.moves.empty();
    }));
    EXPECT_EQ(target.moves[0], Moved(StartPosition64, 9, 13));
    EXPECT_EQ(target.setup.size(), 1u);
}
