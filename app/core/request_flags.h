#pragma once
// Requests that worker threads raise for the main timer: redraw, game-panel and book-list refresh,
// the end of an engine request, and one game message. Any thread may raise them; only the timer
// takes and clears them. Beside them, the user's stop of the analysis (StopRequested).

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

extern std::atomic<std::uint8_t> RedrawPending;
extern std::atomic<std::uint8_t> RedrawMode;
extern std::atomic<std::uint8_t> PanelRefreshPending;
extern std::atomic<std::uint8_t> BookRefreshPending;
extern std::atomic<std::uint8_t> GameMessagePending;
// An engine match runs: its game-end messages of kind 0 are dropped.
extern std::atomic<std::uint8_t> AutoPlayActive;
// Set when an engine request ends; the timer turns the stop button's colour back and clears it.
extern std::atomic<std::uint8_t> EngineDone;
// 1 at start; set by "STOP!", cleared by "Compute!" in analysis mode. While 0, analysis follows
// the user through the game.
extern std::atomic<std::uint8_t> StopRequested;

void RequestRedraw(int mode);
void RequestPanelRefresh();
void RequestBookRefresh();

// Kind 0: a message box; any other kind: the caption of the information panel. A message posted
// before the timer took the previous one replaces it. The text is cut to 255 bytes.
void PostGameMessage(const std::string& text, int kind);

struct TGameMessage {
    std::string text;
    int kind = 0;
};
// The posted message, clearing the flag; nothing when none is pending. Timer only.
std::optional<TGameMessage> TakeGameMessage();

// Takes a flag: true when it was set, and it is clear afterwards.
inline bool TakeFlag(std::atomic<std::uint8_t>& flag) {
    return flag.exchange(0) != 0;
}
