#include "app/core/engine_bridge.h"

#include "app/core/builtin_engine.h"
#include "app/core/engine_requests.h"
#include "app/core/language.h"
#include "app/core/request_flags.h"
#include "ei_api.h"
#include "platform/library_loader.h"
#include "platform/steady_clock.h"
#include "rules/clock.h"
#include "rules/engine_stop.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

std::atomic<std::int64_t> ThinkStartStamp{0};

namespace {
const char* const kEngineNames[5] = {"Vantor", "Oskeen", "Trevalo", "Marrak", "Marrak Italian"};

// The Oskeen state of the bridge whose library was initialised: the callback has no argument to
// find it by. Shared, so that a late callback or EI_Stop never outlives what it reads.
std::mutex g_infoMutex;
std::shared_ptr<TEngineBridge::TOskeenState> g_infoTarget;

std::shared_ptr<TEngineBridge::TOskeenState> InfoTarget() {
    std::lock_guard lock(g_infoMutex);
    return g_infoTarget;
}
void SetInfoTarget(std::shared_ptr<TEngineBridge::TOskeenState> s) {
    std::lock_guard lock(g_infoMutex);
    g_infoTarget = std::move(s);
}

// The engines' own rules: a reply is checked against the legal moves under them.
TGameType RulesOf(int kind) {
    return kind == ekOskeen ? gtRussian : kind == ekMarrakItalian ? gtItalian : gtEnglish;
}

bool StopAsked() {
    return EngineRequestStopped() || EngineStopRequested();
}

std::int64_t SteadyNanoseconds() {
    return SteadyNow().count();
}

// Set-up commands of a plug-in, in the order and spelling the engines expect (the trailing blanks
// included).
std::vector<std::string> SetUpCommands(int kind, const TEngineMemory& m) {
    switch (kind) {
    case ekTrevalo:
        return {"set hashsize " + std::to_string(m.trevaloMB), "set dbmbytes 1", "set allscores 0"};
    case ekMarrak:
        return {"set hashsize " + std::to_string(m.marrakMB) + " ", "set dbmbytes 1", "set allscores 0"};
    default:
        return {"set dbpath db_it ", "set hashsize " + std::to_string(m.marrakItalianMB) + " ",
                "set dbmbytes 1", "set allscores 0"};
    }
}
} // namespace

TEngineFiles EngineFilesIn(const std::string& appDir) {
    return {appDir + "libtrevaloD.so", appDir + "libMarrak.so", appDir + "libmarrak_italian.so",
            std::filesystem::path(appDir + "../Engines/libOskeen_2.so").lexically_normal().string()};
}

void ApplyOskeenInfo(TEngineInfo& info, std::int32_t evaluation, std::int32_t depth, std::int32_t speed,
                     const std::string& bestLine, std::int64_t elapsedCentiseconds) {
    info.Depth = std::to_string(depth);
    info.Speed = std::to_string(speed) + "kN/s";
    const std::int32_t v = std::clamp<std::int32_t>(evaluation, -32700, 32700);
    info.Score = info.Bound = static_cast<std::int16_t>(v);
    info.Time = std::to_string(elapsedCentiseconds);
    info.BestLine = bestLine;
    info.EdbProbes.clear();
    info.HashFill.clear();
    info.HashHits.clear();
}

// ---- records: what one call writes into, shared with its thread -----------------------------

struct TEngineBridge::TOskeenState {
    std::atomic<bool> thinking{false}; // an Oskeen request runs: its callbacks count
    std::atomic<bool> stopInFlight{false};
    std::atomic<std::int64_t> lastStop{0}; // steady nanoseconds
};

struct TEngineBridge::TLibraries {
    getmove_fn getmove[5] = {};
    enginecommand_fn enginecommand[5] = {};
    EI_Initialization_fn eiInitialization = nullptr;
    EI_GetName_fn eiGetName = nullptr;
    EI_SetupBoard_fn eiSetupBoard = nullptr;
    EI_SetTime_fn eiSetTime = nullptr;
    EI_Think_fn eiThink = nullptr;
    EI_Analyse_fn eiAnalyse = nullptr;
    EI_Stop_fn eiStop = nullptr;
};

struct TEngineBridge::TPluginRecord {
    TLibraryCall call;
    host_board EngineHostBoard{};
    host_move move{}; // zeroed: only marrak_italian writes it
    TStatusText EngineStatusText{};
    alignas(std::atomic_ref<std::int32_t>::required_alignment) std::int32_t playNow = 0;
    TCommandText command{};
    TStatusText reply{};
};

struct TEngineBridge::TOskeenRecord {
    TLibraryCall call;
    std::array<char, 34> position{};
    std::string reply; // the move text, copied before the library may reuse its buffer
    std::string name;
};

// ---- binding ----------------------------------------------------------------------------------

TEngineBridge::TEngineBridge()
    : m_libs(std::make_unique<TLibraries>()), m_oskeen(std::make_shared<TOskeenState>()) {
    m_available[ekVantor] = true;
}

TEngineBridge::~TEngineBridge() {
    std::lock_guard lock(g_infoMutex);
    if (g_infoTarget == m_oskeen) g_infoTarget.reset();
}

void TEngineBridge::Bind(const TEngineFiles& files, TDiagnostics diagnostics) {
    m_diagnostics = diagnostics ? std::move(diagnostics) : [](const std::string& line) {
        std::fprintf(stderr, "tavrix: %s\n", line.c_str());
    };
    *m_libs = TLibraries{};
    for (int k = ekOskeen; k <= ekMarrakItalian; ++k)
        m_available[k] = false;
    const auto load = [&](int kind, const std::string& file, std::span<TExportSlot> slots) {
        std::string error;
        const TDynamicLibrary lib = TDynamicLibrary::Load(file, &error);
        if (lib.Loaded() && BindExports(lib, slots, &error)) return true;
        m_diagnostics(std::string(kEngineNames[kind]) + " unavailable: " + error);
        return false;
    };
    const std::string* pluginFiles[5] = {nullptr, nullptr, &files.trevalo, &files.marrak,
                                         &files.marrakItalian};
    for (int kind = ekTrevalo; kind <= ekMarrakItalian; ++kind) {
        std::array<TExportSlot, 2> slots{{{"getmove"}, {"enginecommand"}}};
        if (!load(kind, *pluginFiles[kind], slots)) continue;
        m_libs->getmove[kind] = reinterpret_cast<getmove_fn>(slots[0].address);
        m_libs->enginecommand[kind] = reinterpret_cast<enginecommand_fn>(slots[1].address);
        m_available[kind] = true;
    }
    std::array<TExportSlot, 7> ei{{{"EI_Initialization"},
                                   {"EI_GetName"},
                                   {"EI_SetupBoard"},
                                   {"EI_SetTime"},
                                   {"EI_Think"},
                                   {"EI_Analyse"},
                                   {"EI_Stop"}}};
    if (load(ekOskeen, files.oskeen, ei)) {
        TLibraries& l = *m_libs;
        l.eiInitialization = reinterpret_cast<EI_Initialization_fn>(ei[0].address);
        l.eiGetName = reinterpret_cast<EI_GetName_fn>(ei[1].address);
        l.eiSetupBoard = reinterpret_cast<EI_SetupBoard_fn>(ei[2].address);
        l.eiSetTime = reinterpret_cast<EI_SetTime_fn>(ei[3].address);
        l.eiThink = reinterpret_cast<EI_Think_fn>(ei[4].address);
        l.eiAnalyse = reinterpret_cast<EI_Analyse_fn>(ei[5].address);
        l.eiStop = reinterpret_cast<EI_Stop_fn>(ei[6].address);
        m_available[ekOskeen] = true;
    }
    std::lock_guard lock(m_mutex);
    m_oskeenName = DefaultOskeenName;
}

bool TEngineBridge::Available(int kind) const {
    return kind >= 0 && kind <= 4 && m_available[kind].load();
}

std::string TEngineBridge::OskeenEngineName() const {
    std::lock_guard lock(m_mutex);
    return m_oskeenName;
}

// ---- calls --------------------------------------------------------------------------------------

// The call a stop must wake, while it is registered.
class TEngineBridge::TRegistration {
  public:
    TRegistration(TEngineBridge& bridge, std::shared_ptr<TLibraryCall> call) : m_bridge(bridge) {
        std::lock_guard lock(m_bridge.m_mutex);
        m_bridge.m_running = std::move(call);
    }
    ~TRegistration() {
        std::lock_guard lock(m_bridge.m_mutex);
        m_bridge.m_running.reset();
    }

  private:
    TEngineBridge& m_bridge;
};

TCallOutcome TEngineBridge::Run(const std::shared_ptr<TLibraryCall>& call, std::function<void()> body,
                                TCallGuard guard) {
    const TRegistration registered(*this, call);
    return RunLibraryCall(call, std::move(body), guard);
}

TCallGuard TEngineBridge::RequestGuard(std::function<void()> onStop) const {
    TCallGuard g;
    g.stopAsked = StopAsked;
    g.onStop = std::move(onStop);
    g.grace = m_grace.load();
    return g;
}

TCallGuard TEngineBridge::SetUpGuard() const {
    TCallGuard g;
    g.grace = m_grace.load();
    g.deadlineFromStart = true;
    return g;
}

void TEngineBridge::Abandon(int kind, const char* what) {
    m_available[kind] = false;
    m_diagnostics(std::string(kEngineNames[kind]) + " did not return from " + what +
                  "; unavailable until the next start");
    PostGameMessage(std::string(Phrase(61)), 1);
}

void TEngineBridge::RefuseUnavailable() {
    PostGameMessage(std::string(Phrase(61)), 1);
}

void TEngineBridge::StopRunningCall() {
    std::shared_ptr<TLibraryCall> call;
    {
        std::lock_guard lock(m_mutex);
        call = m_running;
    }
    if (call) call->Wake();
}

void TEngineBridge::StopOutsideEngine() {
    // EI_Stop itself goes out from the waiting thread's stop action; this only makes it act now.
    StopRunningCall();
}

void TEngineBridge::SendEiStop() {
    // One EI_Stop at a time, and not more often than every 100 ms: repeated while the engine
    // thinks, so a stop sent before EI_Think started is not lost.
    TOskeenState& s = *m_oskeen;
    const std::int64_t now = SteadyNanoseconds();
    if (now - s.lastStop.load() < 100'000'000) return;
    if (s.stopInFlight.exchange(true)) return;
    s.lastStop = now;
    StartLibraryCall([state = m_oskeen, stop = m_libs->eiStop] {
        struct TClear {
            std::atomic<bool>& flag;
            ~TClear() { flag = false; }
        } clear{state->stopInFlight};
        // A late helper must not stop the next request.
        if (state->thinking.load()) stop();
    });
}

bool TEngineBridge::GetEngineMove(int kind, const TBoard& board, int side, TMove& move, double seconds) {
    move = TMove{};
    if (kind < ekTrevalo || kind > ekMarrakItalian) return false;
    if (!Available(kind)) {
        RefuseUnavailable();
        return false;
    }
    ClearEngineStopWord();
    auto rec = std::make_shared<TPluginRecord>();
    TBoard sent = board;
    // The Italian plug-in's board is turned, so that the side to move has colour 1.
    if (kind == ekMarrakItalian) FlipBoard(sent, 32);
    BoardToHostBoard(sent, rec->EngineHostBoard);
    const int colour = PluginColour(kind, side);
    {
        std::lock_guard lock(m_mutex);
        m_statusRecord = rec;
    }
    const getmove_fn getmove = m_libs->getmove[kind];
    const std::shared_ptr<TLibraryCall> call(rec, &rec->call);
    const TCallOutcome outcome = Run(
        call,
        [rec, getmove, colour, seconds] {
            getmove(&rec->EngineHostBoard, colour, seconds, rec->EngineStatusText.data(), &rec->playNow, 0, 0,
                    &rec->move);
        },
        RequestGuard([rec] { std::atomic_ref<std::int32_t>(rec->playNow).store(1); }));
    if (outcome == TCallOutcome::Abandoned) Abandon(kind, "getmove");
    if (outcome != TCallOutcome::Returned || StopAsked()) return false;
    const TGameType rules = RulesOf(kind);
    if (kind == ekMarrakItalian) {
        TMove described;
        return HostMoveToMove(rec->move, described, true) &&
               MatchLegalMove(board, side, rules, described, move);
    }
    TBoard after;
    HostBoardToBoard(rec->EngineHostBoard, after);
    return MatchMoveByResult(board, after, side, rules, move);
}

bool TEngineBridge::ThinkOutsideEngine(const TBoard& board, int side, std::int32_t milliseconds,
                                       TMove& move) {
    move = TMove{};
    if (!Available(ekOskeen)) {
        RefuseUnavailable();
        return false;
    }
    ThinkStartStamp = NowCentiseconds();
    auto rec = std::make_shared<TOskeenRecord>();
    const std::string text = BoardToEngineText(board, side);
    std::copy(text.begin(), text.end(), rec->position.begin());
    const bool analysis = milliseconds == static_cast<std::int32_t>(AnalysisBudget);
    const TLibraries& l = *m_libs;
    const std::shared_ptr<TLibraryCall> call(rec, &rec->call);
    const TRegistration registered(*this, call);
    m_oskeen->lastStop = 0; // the first stop of this request goes out at once
    m_oskeen->thinking = true;
    const TCallOutcome outcome = RunLibraryCall(
        call,
        [rec, milliseconds, analysis, setTime = l.eiSetTime, setup = l.eiSetupBoard, think = l.eiThink,
         analyse = l.eiAnalyse] {
            setTime(milliseconds, milliseconds);
            setup(rec->position.data());
            if (analysis) {
                analyse();
                return;
            }
            // A move text is at most some 70 characters; read no further than 127.
            rec->reply = EngineCString(think(), 127);
        },
        RequestGuard([this] { SendEiStop(); }));
    // An analysis lasts until it is stopped, even when the engine returned before.
    if (outcome == TCallOutcome::Returned && analysis) WaitForStop(call, StopAsked);
    m_oskeen->thinking = false;
    if (outcome == TCallOutcome::Abandoned) Abandon(ekOskeen, analysis ? "EI_Analyse" : "EI_Think");
    if (outcome != TCallOutcome::Returned || analysis || StopAsked()) return false;
    return MatchEngineMoveText(board, side, RulesOf(ekOskeen), rec->reply, move);
}

TStatusText TEngineBridge::StatusText() {
    std::shared_ptr<TPluginRecord> rec;
    {
        std::lock_guard lock(m_mutex);
        rec = m_statusRecord;
    }
    // The engine writes the buffer while this copies it.
    return rec ? CopyStatusText(rec->EngineStatusText.data()) : TStatusText{};
}

void TEngineBridge::EngineInfoCallback(std::int32_t evaluation, std::int32_t depth, std::int32_t speed,
                                       const char* bestLine, std::int32_t) {
    const std::shared_ptr<TOskeenState> target = InfoTarget();
    if (!target || !target->thinking.load()) return;
    const std::string line = EngineCString(bestLine, 255);
    const std::int64_t elapsed = ElapsedCentiseconds(ThinkStartStamp.load());
    EngineInfo.Update(
        [&](TEngineInfo& info) { ApplyOskeenInfo(info, evaluation, depth, speed, line, elapsed); });
}

// ---- start-up ---------------------------------------------------------------------------------

void TEngineBridge::InitEngines(const TEngineMemory& memory) {
    for (int kind = ekTrevalo; kind <= ekMarrakItalian; ++kind) {
        const enginecommand_fn command = m_libs->enginecommand[kind];
        const getmove_fn getmove = m_libs->getmove[kind];
        for (const std::string& text : SetUpCommands(kind, memory)) {
            if (!Available(kind)) break;
            auto rec = std::make_shared<TPluginRecord>();
            ShortToCString(text, rec->command);
            const std::shared_ptr<TLibraryCall> call(rec, &rec->call);
            if (Run(
                    call, [rec, command] { command(rec->command.data(), rec->reply.data()); },
                    SetUpGuard()) == TCallOutcome::Abandoned)
                Abandon(kind, "enginecommand");
        }
        if (!Available(kind)) continue;
        // The warm-up: the engine builds its tables now rather than in the user's first game. Its
        // move is dropped.
        auto rec = std::make_shared<TPluginRecord>();
        TBoard start = StartPosition64;
        if (kind == ekMarrakItalian) FlipBoard(start, 32);
        BoardToHostBoard(start, rec->EngineHostBoard);
        const int colour = PluginColour(kind, 0);
        const std::shared_ptr<TLibraryCall> call(rec, &rec->call);
        if (Run(
                call,
                [rec, getmove, colour] {
                    getmove(&rec->EngineHostBoard, colour, 0.1, rec->EngineStatusText.data(), &rec->playNow,
                            0, 0, &rec->move);
                },
                SetUpGuard()) == TCallOutcome::Abandoned)
            Abandon(kind, "getmove");
    }
    if (!Available(ekOskeen)) return;
    SetInfoTarget(m_oskeen);
    auto rec = std::make_shared<TOskeenRecord>();
    const std::shared_ptr<TLibraryCall> call(rec, &rec->call);
    const TLibraries& l = *m_libs;
    const int mb = memory.oskeenMB;
    const TCallOutcome outcome = Run(
        call,
        [rec, init = l.eiInitialization, getName = l.eiGetName, mb] {
            init(&TEngineBridge::EngineInfoCallback, mb);
            const char* name = getName();
            rec->name = name ? EngineCString(name, EngineNameLimit) : std::string(DefaultOskeenName);
        },
        SetUpGuard());
    if (outcome == TCallOutcome::Abandoned) return Abandon(ekOskeen, "EI_Initialization");
    if (outcome != TCallOutcome::Returned) return;
    std::lock_guard lock(m_mutex);
    m_oskeenName = rec->name;
}

TEngineBridge& ProgramEngineBridge() {
    static TEngineBridge bridge;
    return bridge;
}

void InitEngines(const TEngineMemory& memory) {
    BuiltinEngine().SetHashSize(memory.vantorMB);
    ProgramEngineBridge().InitEngines(memory);
}
