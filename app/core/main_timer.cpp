#include "app/core/main_timer.h"

#include "app/core/engine_requests.h"
#include "app/core/engine_seams.h"
#include "app/core/game_clock.h"
#include "app/core/game_session.h"
#include "app/core/request_flags.h"
#include "app/core/shell_state.h"
#include "app/core/status_parsers.h"

std::string ClockLabelText;

namespace {
TSavedStatusText g_savedStatus;
std::uint32_t g_savedStatusStart = 0; // the request whose line g_savedStatus holds
} // namespace

void UpdateClockLabel(ITickView& view) {
    const std::string text = ClockLabelFor(Clocks[0].load(), Clocks[1].load());
    if (text == ClockLabelText) return;
    ClockLabelText = text;
    view.ShowClockLabel(text);
}

void ReadPluginStatus(int engineKind, TGameType variant, int side) {
    const TStatusText text = EngineBridge().StatusText();
    // A new request starts with nothing shown: its first line is read whatever the last one was.
    if (EngineInfo.Starts() != g_savedStatusStart) {
        g_savedStatusStart = EngineInfo.Starts();
        g_savedStatus = TSavedStatusText{};
    }
    if (!g_savedStatus.Changed(text)) return;
    TEngineInfo info = EngineInfo.Snapshot();
    const std::string line = StatusLine(text);
    const bool parsed = engineKind == ekTrevalo ? ParseTrevaloStatus(line, info)
                                                : ParseMarrakStatus(line, variant, side, info);
    if (!parsed) return;
    // Only the parsed fields: the engine thread may have changed the name meanwhile.
    EngineInfo.Update([&](TEngineInfo& target) {
        target.Score = info.Score;
        target.Bound = info.Bound;
        target.Depth = info.Depth;
        target.Time = info.Time;
        target.Speed = info.Speed;
        target.BestLine = info.BestLine;
    });
}

void RunMainTimerTick(ITickView& view) {
    TGameSession& session = GameSession();
    {
        // The views read the game; the engine thread changes it only under this lock.
        TGameLock lock = session.Lock();
        if (TakeFlag(RedrawPending)) view.DrawBoard(RedrawMode.load());
        if (TakeFlag(PanelRefreshPending)) view.RefreshGamePanel();
        if (TakeFlag(BookRefreshPending)) view.ShowBookMoves();
    }
    if (TakeFlag(EngineDone)) view.StopButtonIdle();
    const bool playMode = AnalysisMode.load() == 0;
    int side = 0;
    if (playMode) {
        {
            // The clock of the side to move, with no move made between reading the side and the step.
            TGameLock lock = session.Lock();
            side = session.SideToMove();
            RunClockStep(side);
        }
        UpdateClockLabel(view);
    } else {
        side = session.SideToMove();
    }
    const int kind = EngineSettings.Kind;
    const bool plugin = kind == ekTrevalo || kind == ekMarrak || kind == ekMarrakItalian;
    if (plugin && IsEngineBusy())
        ReadPluginStatus(kind, session.CurrentVariant(), side);
    else
        view.ServeElectronicBoard();
    if (const auto message = TakeGameMessage()) view.ShowGameMessage(message->text, message->kind);
    if (EngineInfo.HasNewInfo() && (!playMode || !view.TournamentMode())) {
        EngineInfo.ClearNewInfo();
        view.ShowEngineInfo(EngineInfo.Snapshot(), kind);
    }
}
