#pragma once
// The engine bridge: the program's one contact with the engines in libraries. The plug-ins Trevalo
// (kind 2), Marrak (3) and Marrak Italian (4) answer getmove and enginecommand; the outside engine
// Oskeen (1) answers the seven EI_ functions. The bridge binds them, sends them their set-up at
// start, carries one request at a time through, and takes Oskeen's search information.
//
// Each library is bound whole or not at all: a missing file or export makes that engine
// unavailable, and the program runs without it. Every library call runs on a thread of its own
// (library_call.h): a stop is always passed on, and an engine that has not returned 2 s after its
// stop is abandoned and unavailable until the next start. The buffers a call writes into (board,
// move record, status text, play-now word, texts) belong to that call and live until the library
// returns, so a late answer lands in a record that nobody reads any more.
//
// Nothing an engine returns enters the game unless it is one of the legal moves of the position
// it was asked about (engine_convert.h).
//
// Threads: Bind and InitEngines on the user-interface thread at start-up, while no request runs;
// GetEngineMove and ThinkOutsideEngine on the engine thread or the engine-match thread, one at a
// time; the stops, StatusText, Available and OskeenEngineName on any thread.

#include "app/core/engine_convert.h"
#include "app/core/engine_seams.h"
#include "app/core/library_call.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

// The library files of the four engines.
struct TEngineFiles {
    std::string trevalo, marrak, marrakItalian, oskeen;
};
// The files in the run directory `appDir` (ending in "/"); Oskeen's in "../Engines/".
TEngineFiles EngineFilesIn(const std::string& appDir);

// The engines' memory settings in megabytes.
struct TEngineMemory {
    int vantorMB = 7;
    int trevaloMB = 1;
    int marrakMB = 8;
    int marrakItalianMB = 8;
    int oskeenMB = 1;
};

// How long an engine may take to answer its stop, or a set-up call to return, before it is given up.
inline constexpr std::chrono::milliseconds AbandonGrace{2000};

// The Oskeen entry of the Russian engine list until the engine names itself.
inline constexpr char DefaultOskeenName[] = "Oskeen 1.44.U5";
inline constexpr std::size_t EngineNameLimit = 30;

// The Oskeen engine's search information as the main window shows it: depth and speed as texts,
// the evaluation clamped to -32700..32700 into both ends of the score, the time in centiseconds
// since the request started, the best line; the other texts cleared.
void ApplyOskeenInfo(TEngineInfo& info, std::int32_t evaluation, std::int32_t depth, std::int32_t speed,
                     const std::string& bestLine, std::int64_t elapsedCentiseconds);

class TEngineBridge final : public IEngineBridge {
  public:
    using TDiagnostics = std::function<void(const std::string&)>;
    TEngineBridge();
    TEngineBridge(const TEngineBridge&) = delete;
    TEngineBridge& operator=(const TEngineBridge&) = delete;
    ~TEngineBridge() override;

    // Binds the four libraries, each whole or not at all. A library that cannot be bound makes its
    // engine unavailable, with one line to `diagnostics` (stderr when empty) naming the file and
    // the export. Replaces an earlier binding.
    void Bind(const TEngineFiles& files, TDiagnostics diagnostics = {});
    // The set-up of every available engine, in this order: Trevalo, Marrak and Marrak Italian get
    // their commands and a warm-up move request of 0.1 s on the start position; then Oskeen is
    // initialised and names itself. Replies are not read. A library that has not returned 2 s after
    // a call began is abandoned and its engine unavailable.
    void InitEngines(const TEngineMemory& memory);

    // Kind 0, the built-in engine, always is.
    bool Available(int kind) const;
    // Oskeen's own name, at most 30 characters; the default text until it named itself.
    std::string OskeenEngineName() const;
    // How long an engine may take to answer its stop (AbandonGrace); a request or set-up call uses
    // the grace of its start.
    void SetAbandonGrace(std::chrono::milliseconds grace) { m_grace.store(grace); }

    // A plug-in move (kinds 2, 3, 4) for `side` on `board`: false when the engine gave no legal
    // move, was stopped, threw, or is unavailable.
    bool GetEngineMove(int kind, const TBoard& board, int side, TMove& move, double seconds) override;
    // An Oskeen move within `milliseconds`, or an analysis until stopped (AnalysisBudget), which
    // gives no move.
    bool ThinkOutsideEngine(const TBoard& board, int side, std::int32_t milliseconds, TMove& move) override;
    void StopOutsideEngine() override;
    void StopRunningCall() override;
    // A copy of the running (or last) plug-in request's status text, its last byte zero.
    TStatusText StatusText() override;

    // The callback handed to EI_Initialization. Ignored while no Oskeen request runs.
    static void EngineInfoCallback(std::int32_t evaluation, std::int32_t depth, std::int32_t speed,
                                   const char* bestLine, std::int32_t extra);

    struct TOskeenState;

  private:
    struct TLibraries;
    class TRegistration;
    struct TPluginRecord;
    struct TOskeenRecord;

    TCallOutcome Run(const std::shared_ptr<TLibraryCall>& call, std::function<void()> body, TCallGuard guard);
    TCallGuard RequestGuard(std::function<void()> onStop) const;
    TCallGuard SetUpGuard() const;
    // Marks `kind` unavailable after it failed to return; tells the user once.
    void Abandon(int kind, const char* what);
    void RefuseUnavailable();
    void SendEiStop();

    std::unique_ptr<TLibraries> m_libs;
    std::array<std::atomic<bool>, 5> m_available{};
    std::atomic<std::chrono::milliseconds> m_grace{AbandonGrace};
    TDiagnostics m_diagnostics;

    mutable std::mutex m_mutex;                    // guards the members below
    std::shared_ptr<TLibraryCall> m_running;       // the call a stop must reach
    std::shared_ptr<TPluginRecord> m_statusRecord; // the plug-in request whose status text is read
    std::string m_oskeenName = DefaultOskeenName;

    std::shared_ptr<TOskeenState> m_oskeen;
};

// The program's bridge.
TEngineBridge& ProgramEngineBridge();
// Start-up: the built-in engine's table from its memory setting, then the set-up of the program's
// bridge.
void InitEngines(const TEngineMemory& memory);
