// A stand-in for the outside engine Oskeen (the EI_ functions), scripted through stub_set_script;
// every call is logged with its arguments. Built without EI_Stop when STUB_NO_EI_STOP is defined.

#include "ei_api.h"
#include "stub_common.h"
#include "stub_control.h"

#include "rules/board.h"
#include "rules/movegen.h"
#include "rules/notation.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace {
stub_oskeen_script g_script{};
EI_Callback g_callback = nullptr;
TBoard g_board = EmptyBoard;
int g_side = 0;
char g_reply[128];
const char kLongName[] = "Oskeen Stub with a name far too long to keep";

std::string MoveText(const TMove& m) {
    const auto name = [](int s) { return SquareToText(s, gtRussian, false); };
    std::string t = name(m.from);
    if (m.captures == 0) return t + name(m.squares[0]);
    for (int k = 1; k <= m.captures; ++k)
        t += ":" + name(m.Captured(k));
    return t + ":" + name(m.Landing(m.captures));
}

const char* FirstLegal() {
    TMoveList moves;
    FindMoves(g_board, g_side, moves, gtRussian);
    std::snprintf(g_reply, sizeof g_reply, "%s", moves.empty() ? "" : MoveText(moves.front()).c_str());
    return g_reply;
}

// Callbacks from a thread of the engine's own: an evaluation beyond the display's range with a
// null line, then (count 2) an ordinary one.
void CallBackFromOwnThread(int count) {
    EI_Callback cb;
    {
        std::lock_guard lock(g_mutex);
        cb = g_callback;
    }
    if (!cb) return;
    std::thread([cb, count] {
        cb(40000, 7, 1234, nullptr, 0);
        if (count > 1) cb(-50, 8, 99, "c3d4 f6e5", 0);
    }).join();
}

// Waits until released (or, with `orStop`, until EI_Stop) since the call began.
void Wait(const TInside& call, bool orStop) {
    std::unique_lock lock(g_mutex);
    g_changed.wait(lock, [&] { return g_releases != call.releases || (orStop && g_stops != call.stops); });
}
} // namespace

STUB_EXPORT void EI_Initialization(EI_Callback callback, int32_t memory_mb) {
    TInside inside;
    Log("EI_Initialization mb=" + std::to_string(memory_mb));
    stub_oskeen_script s;
    {
        std::lock_guard lock(g_mutex);
        g_callback = callback;
        s = g_script;
    }
    // A callback while no request runs: the host must ignore it.
    if (callback) callback(100, 1, 1, "at initialisation", 0);
    if (s.block_init) Wait(inside, false);
}

STUB_EXPORT const char* EI_GetName(void) {
    TInside inside;
    Log("EI_GetName");
    std::lock_guard lock(g_mutex);
    return g_script.name_mode == 1 ? nullptr : g_script.name_mode == 2 ? kLongName : "Oskeen Stub 2.0";
}

STUB_EXPORT void EI_SetupBoard(const char* position) {
    TInside inside;
    Log(std::string("EI_SetupBoard ") + position);
    TBoard b = EmptyBoard;
    for (int s = 1; s <= 32; ++s) {
        const int at = 4 * (7 - (s - 1) / 4) + (s - 1) % 4;
        switch (position[at]) {
        case 'w':
            b[s] = sqMan0;
            break;
        case 'W':
            b[s] = sqKing0;
            break;
        case 'b':
            b[s] = sqMan1;
            break;
        case 'B':
            b[s] = sqKing1;
            break;
        default:
            break;
        }
    }
    std::lock_guard lock(g_mutex);
    g_board = b;
    g_side = position[32] == 'b' ? 1 : 0;
}

STUB_EXPORT void EI_SetTime(int32_t time, int32_t other) {
    TInside inside;
    Log("EI_SetTime " + std::to_string(time) + " " + std::to_string(other));
}

STUB_EXPORT const char* EI_Think(void) {
    TInside inside;
    Log("EI_Think");
    stub_oskeen_script s;
    {
        std::lock_guard lock(g_mutex);
        s = g_script;
    }
    if (s.callbacks) CallBackFromOwnThread(s.callbacks);
    switch (s.mode) {
    case OSK_SCRIPTED_TEXT: {
        std::lock_guard lock(g_mutex);
        std::snprintf(g_reply, sizeof g_reply, "%s", s.text);
        return g_reply;
    }
    case OSK_NULL:
        return nullptr;
    case OSK_BLOCK:
        Wait(inside, true);
        break;
    case OSK_IGNORE_STOP:
        Wait(inside, false);
        break;
    case OSK_THROW:
        throw std::runtime_error("stub engine failure");
    default:
        break;
    }
    std::lock_guard lock(g_mutex);
    return FirstLegal();
}

STUB_EXPORT void EI_Analyse(void) {
    TInside inside;
    Log("EI_Analyse");
    stub_oskeen_script s;
    {
        std::lock_guard lock(g_mutex);
        s = g_script;
    }
    if (s.callbacks) CallBackFromOwnThread(s.callbacks);
    if (s.mode == OSK_THROW) throw std::runtime_error("stub engine failure");
    if (s.analyse_returns) return;
    Wait(inside, s.mode != OSK_IGNORE_STOP);
}

#ifndef STUB_NO_EI_STOP
STUB_EXPORT void EI_Stop(void) {
    Log("EI_Stop");
    std::lock_guard lock(g_mutex);
    ++g_stops;
    g_changed.notify_all();
}
#endif

STUB_CONTROL_EXPORTS(stub_oskeen_script, g_script)

STUB_EXPORT void stub_fire_callback(void) {
    EI_Callback cb;
    {
        std::lock_guard lock(g_mutex);
        cb = g_callback;
    }
    if (cb) cb(321, 5, 10, "late", 0);
}
