#pragma once
// The 25 ms tick of the main window: it takes the flags that worker threads raise and turns them
// into redraws, panel updates, messages and engine displays, and runs the clocks, in a fixed order.
// User-interface thread only. The window answers through ITickView, so the tick runs headless.

#include "app/core/engine_state.h"
#include "app/core/status_parsers.h"
#include "rules/board.h"

#include <string>

class ITickView {
  public:
    virtual ~ITickView() = default;
    virtual void DrawBoard(int mode) = 0;
    virtual void RefreshGamePanel() = 0; // re-read the header, rebuild the move tree
    virtual void ShowBookMoves() = 0;
    virtual void StopButtonIdle() = 0; // the stop button's colour back from red
    virtual void ShowClockLabel(const std::string& text) = 0;
    virtual void ServeElectronicBoard() = 0;
    virtual void ShowGameMessage(const std::string& text, int kind) = 0;
    virtual bool TournamentMode() = 0;
    virtual void ShowEngineInfo(const TEngineInfo& info, int engineKind) = 0;
};

// The tick's memory between ticks: the clock label's text and the plug-in line last read. The
// main window owns one.
class TMainTimer {
  public:
    void RunMainTimerTick(ITickView& view);
    // The label changes only when its text does.
    void UpdateClockLabel(ITickView& view);
    // Reads the running plug-in's progress line into the engine information (kinds 2, 3 and 4).
    void ReadPluginStatus(int engineKind, TGameType variant, int side);
    // The text last shown in the clock label.
    const std::string& ClockLabelText() const { return m_clockLabelText; }

  private:
    std::string m_clockLabelText;
    TSavedStatusText m_savedStatus;
    std::uint32_t m_savedStatusStart = 0; // the request whose line m_savedStatus holds
};
