// A stand-in plug-in library (getmove, enginecommand) for the engines that are not delivered, and
// for the hostile answers a real engine could give. Scripted through stub_set_script; every call is
// logged with its arguments. Built without enginecommand when STUB_NO_ENGINECOMMAND is defined.

#include "stub_common.h"
#include "stub_control.h"

#include "rules/board.h"
#include "rules/movegen.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

namespace {
stub_plugin_script g_script{};

char SquareChar(std::int32_t code) {
    switch (code) {
    case PIECE_EMPTY:
        return '.';
    case PIECE_MAN1:
        return 'b';
    case PIECE_MAN2:
        return 'w';
    case PIECE_KING1:
        return 'B';
    case PIECE_KING2:
        return 'W';
    default:
        return '?';
    }
}

std::string BoardText(const host_board& b) {
    std::string s;
    for (int n = 1; n <= 32; ++n) {
        const TSquareXY c = SquareToXY(n, 1);
        s += SquareChar(b.cells[c.x][c.y]);
    }
    return s;
}

// The engine's cells as the rules' board: colour 2 (codes 6, 10) moves up like side 0.
TBoard ToBoard(const host_board& hb) {
    TBoard b = EmptyBoard;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y) {
            const int n = XYToSquare(x, y, 1);
            if (n == 0) continue;
            switch (hb.cells[x][y]) {
            case PIECE_MAN2:
                b[n] = sqMan0;
                break;
            case PIECE_KING2:
                b[n] = sqKing0;
                break;
            case PIECE_MAN1:
                b[n] = sqMan1;
                break;
            case PIECE_KING1:
                b[n] = sqKing1;
                break;
            default:
                break;
            }
        }
    return b;
}

std::int32_t Code(std::int8_t v) {
    switch (v) {
    case sqMan0:
        return PIECE_MAN2;
    case sqKing0:
        return PIECE_KING2;
    case sqMan1:
        return PIECE_MAN1;
    case sqKing1:
        return PIECE_KING1;
    default:
        return PIECE_EMPTY;
    }
}

board_coord Cell(int square) {
    const TSquareXY c = SquareToXY(square, 1);
    return {c.x, c.y};
}

void FromBoard(const TBoard& b, host_board& hb) {
    for (int n = 1; n <= 32; ++n) {
        const TSquareXY c = SquareToXY(n, 1);
        hb.cells[c.x][c.y] = Code(b[n]);
    }
}

// Plays the first legal move on the board and describes it in the record; false with no move.
bool PlayFirstLegal(host_board& hb, int colour, int variant, host_move& record) {
    const TBoard before = ToBoard(hb);
    const int side = colour == 2 ? 0 : 1;
    TMoveList moves;
    FindMoves(before, side, moves, static_cast<TGameType>(variant));
    if (moves.empty()) return false;
    const TMove& m = moves.front();
    TBoard after = before;
    MakeMove(m, after, static_cast<TGameType>(variant));
    FromBoard(after, hb);
    record = host_move{};
    record.jumps = m.captures;
    record.oldpiece = Code(before[m.from]);
    record.newpiece = Code(after[m.To()]);
    record.from = Cell(m.from);
    record.to = Cell(m.To());
    for (int k = 1; k <= m.captures && k < HOST_MOVE_MAX_JUMPS; ++k) {
        record.path[k] = Cell(m.Landing(k));
        record.del[k - 1] = Cell(m.Captured(k));
        record.delpiece[k - 1] = Code(before[m.Captured(k)]);
    }
    return true;
}

// Written byte by byte as single reads, as the host reads it while the engine runs.
void WriteStatus(char* status, const char* text, bool terminate) {
    const std::size_t n = std::strlen(text);
    for (std::size_t i = 0; i < n && i < ENGINE_STATUS_TEXT_SIZE; ++i)
        std::atomic_ref<char>(status[i]).store(text[i], std::memory_order_relaxed);
    if (terminate && n < ENGINE_STATUS_TEXT_SIZE)
        std::atomic_ref<char>(status[n]).store('\0', std::memory_order_relaxed);
}

bool PlayNowRaised(int* playnow) {
    return playnow && std::atomic_ref<int>(*playnow).load() != 0;
}

// The engine's one way to learn of a stop: it polls its play-now word, as the real engines do (the
// host only writes the word). Returns once the word is raised, or at `until`.
void WaitForPlayNow(int* playnow, std::optional<std::chrono::steady_clock::time_point> until = {}) {
    while (!PlayNowRaised(playnow) && !(until && std::chrono::steady_clock::now() >= *until))
        std::this_thread::sleep_for(std::chrono::microseconds(200));
}

// Waits for a release since the call began.
void WaitForRelease(std::unique_lock<std::mutex>& lock, const TInside& call) {
    g_changed.wait(lock, [&] { return g_releases != call.releases; });
}
} // namespace

STUB_EXPORT int getmove(host_board* board, int color, double maxtime, char* status_text, int* playnow,
                        int info, int moreinfo, host_move* move) {
    TInside inside;
    stub_plugin_script s;
    {
        std::lock_guard lock(g_mutex);
        s = g_script;
    }
    // For trying the program by hand with a stub in its run directory: think this long (or until
    // play-now), with a progress line, when no test scripted the stub. Tests never wait for a time:
    // they hold an answer with STUB_IGNORE_STOP.
    int thinkMs = 0;
    if (const char* think = std::getenv("STUB_THINK_MS"); think && s.mode == STUB_FIRST_LEGAL) {
        thinkMs = std::atoi(think);
        s.status_line = 1;
        std::snprintf(s.status, sizeof s.status, "value=-3,  depth 11/19,  %.1fs,  812 kN/s,  stub line",
                      thinkMs / 1000.0);
    }
    char line[160];
    std::snprintf(line, sizeof line, "getmove colour=%d maxtime=%g info=%d moreinfo=%d board=", color,
                  maxtime, info, moreinfo);
    Log(line + BoardText(*board));
    if (s.clear_playnow && playnow) std::atomic_ref<int>(*playnow).store(0);
    const int variant = s.variant ? s.variant : 2;
    if (s.flood_status) {
        std::string flood = "value=12,  depth 9/12,  1.2s,  500 kN/s,  ";
        flood.resize(ENGINE_STATUS_TEXT_SIZE, 'x');
        WriteStatus(status_text, flood.c_str(), false);
    } else if (s.status_line) {
        WriteStatus(status_text, s.status, true);
    }
    if (thinkMs > 0)
        WaitForPlayNow(playnow, std::chrono::steady_clock::now() + std::chrono::milliseconds(thinkMs));
    switch (s.mode) {
    case STUB_SCRIPTED_BOARD:
        *board = s.board;
        return ENGINE_UNKNOWN;
    case STUB_SCRIPTED_MOVE: {
        host_move ignored;
        PlayFirstLegal(*board, color, variant, ignored);
        *move = s.move;
        return ENGINE_UNKNOWN;
    }
    case STUB_GARBAGE: {
        std::uint32_t x = 12345;
        const std::int32_t codes[] = {0, 5, 6, 9, 10, 7, -1, 1000, 3, 4};
        for (auto& column : board->cells)
            for (auto& cell : column) {
                x = x * 1103515245u + 12345u;
                cell = codes[(x >> 16) % 10];
            }
        return ENGINE_UNKNOWN;
    }
    case STUB_NO_MOVE:
        return ENGINE_LOSS;
    case STUB_BLOCK:
        WaitForPlayNow(playnow);
        break;
    case STUB_IGNORE_STOP: {
        std::unique_lock lock(g_mutex);
        WaitForRelease(lock, inside);
        break;
    }
    case STUB_THROW:
        throw std::runtime_error("stub engine failure");
    default:
        break;
    }
    PlayFirstLegal(*board, color, variant, *move);
    return ENGINE_UNKNOWN;
}

#ifndef STUB_NO_ENGINECOMMAND
STUB_EXPORT int enginecommand(const char* command, char* reply) {
    TInside inside;
    Log(std::string("enginecommand[") + command + "]");
    std::unique_lock lock(g_mutex);
    if (g_script.block_command) WaitForRelease(lock, inside);
    std::snprintf(reply, ENGINE_STATUS_TEXT_SIZE, "ok");
    return 1;
}
#endif

STUB_CONTROL_EXPORTS(stub_plugin_script, g_script)
