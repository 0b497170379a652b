#include "app/core/request_flags.h"

#include <mutex>

std::atomic<std::uint8_t> RedrawPending{0};
std::atomic<std::uint8_t> RedrawMode{0};
std::atomic<std::uint8_t> PanelRefreshPending{0};
std::atomic<std::uint8_t> BookRefreshPending{0};
std::atomic<std::uint8_t> GameMessagePending{0};
std::atomic<std::uint8_t> AutoPlayActive{0};
std::atomic<std::uint8_t> EngineDone{0};
std::atomic<std::uint8_t> StopRequested{1};

namespace {
std::mutex g_messageMutex;
TGameMessage g_message;
} // namespace

void RequestRedraw(int mode) {
    // The mode first, so the timer never sees the flag with the previous mode.
    RedrawMode.store(static_cast<std::uint8_t>(mode));
    RedrawPending.store(1);
}

void RequestPanelRefresh() {
    PanelRefreshPending.store(1);
}
void RequestBookRefresh() {
    BookRefreshPending.store(1);
}

void PostGameMessage(const std::string& text, int kind) {
    if (AutoPlayActive.load() && kind == 0) return;
    std::lock_guard lock(g_messageMutex);
    g_message.kind = kind;
    g_message.text = text.substr(0, 255);
    GameMessagePending.store(1);
}

std::optional<TGameMessage> TakeGameMessage() {
    std::lock_guard lock(g_messageMutex);
    if (!TakeFlag(GameMessagePending)) return std::nullopt;
    return g_message;
}
