#include "app/core/engine_requests.h"

#include "app/core/builtin_engine.h"
#include "app/core/builtin_search.h"
#include "app/core/engine_seams.h"
#include "app/core/game_clock.h"
#include "app/core/game_end.h"
#include "app/core/language.h"
#include "app/core/move_sound.h"
#include "app/core/request_flags.h"
#include "app/core/shell_state.h"
#include "rules/movegen.h"
#include "rules/notation.h"
#include "rules/variant_state.h"

#include <thread>

ManualResetEvent EngineIdleEvent(true);

namespace {
std::atomic<bool> g_hostStop{false};
std::atomic<std::uint8_t> g_runningKind{ekVantor};
// The request's thread; user-interface thread only. A request still running when the process ends
// is stopped and waited for, so its thread is never left behind unjoined.
struct TRequestThread {
    std::thread thread;
    ~TRequestThread() {
        if (!thread.joinable()) return;
        StopEngine();
        thread.join();
    }
};
TRequestThread g_thread;

class TNoEngines final : public IEngineBridge {
  public:
    bool GetEngineMove(int, const TBoard&, int, TMove&, double) override { return false; }
    bool ThinkOutsideEngine(const TBoard&, int, std::int32_t, TMove&) override { return false; }
    void StopOutsideEngine() override {}
    TStatusText StatusText() override { return {}; }
};
class TNoBook final : public IBookMoves {
  public:
    std::vector<TMove> PlayableBookMoves(const TBoard&, int, TGameType) override { return {}; }
};
TNoEngines g_noEngines;
TNoBook g_noBook;
std::atomic<IEngineBridge*> g_bridge{&g_noEngines};
std::atomic<IBookMoves*> g_book{&g_noBook};

bool StopWordSet() {
    return EngineStopFlag().Requested(std::memory_order_seq_cst);
}
void SetStopWord(std::int32_t v) {
    EngineStopFlag().Set(v, std::memory_order_seq_cst);
}

// Sets the idle event and the done flag when the request ends, whatever way it ends.
struct TRequestEndGuard {
    ~TRequestEndGuard() {
        EngineDone = 1;
        EngineIdleEvent.Set();
    }
};

// The engine's answer, made in the game when it is still the answer to this game's position.
bool ApplyEngineMove(const TEngineRequest& r, const TMove& move) {
    const TAddMoveResult added = GameSession().PlayEngineMove(r.at, move);
    if (added.treeFull) PostGameMessage(std::string(Phrase(53)), 0);
    if (added.node == 0) return false;
    // The sound plays outside the lock: it blocks while it plays.
    if (EngineRequestHooks().playMoveSound)
        EngineRequestHooks().playMoveSound();
    else
        PlayMoveSound();
    RequestRedraw(0);
    RequestPanelRefresh();
    return true;
}

// The information shown is the engine's of this request from its start: an earlier engine's texts
// (the built-in search's table fill while a plug-in thinks) would pass for this one's.
void BeginEngineInfo(const TEngineSettings& settings) {
    EngineInfo.Begin(settings.ShortName);
}

void AnalyseOnce(const TEngineRequest& r) {
    BeginEngineInfo(r.settings);
    TMove move;
    switch (r.settings.Kind) {
    case ekTrevalo:
    case ekMarrak:
    case ekMarrakItalian:
        EngineBridge().GetEngineMove(r.settings.Kind, r.at.board, r.at.side, move,
                                     static_cast<double>(AnalysisBudget));
        break;
    case ekOskeen:
        EngineBridge().ThinkOutsideEngine(r.at.board, r.at.side, static_cast<std::int32_t>(AnalysisBudget),
                                          move);
        break;
    default:
        RunBuiltinSearch({r.at.board, r.at.side, r.at.variant, false, r.fullNotation}, AnalysisDepth, 0,
                         AnalysisBudget, g_hostStop, BookMoves(), BuiltinEngine().SearchSetup());
        break;
    }
}

void RunWorker(const std::function<void()>& body) {
    TRequestEndGuard guard;
    try {
        body();
    } catch (...) {
        // Nothing leaves the thread; the worker ends as a stopped one would.
    }
}

void Execute(TEngineRequest r) {
    TRequestEndGuard guard;
    try {
        // In analysis mode the game's end changes nothing, so only play mode tests it.
        if (r.playMode && CheckGameOver(true)) return;
        ClearEngineStopWord();
        if (r.playMode)
            ComputeEngineMove(r);
        else
            AnalyseOnce(r);
        if (r.playMode) CheckGameOver(true);
    } catch (...) {
        // An engine failure is not reported: the request ends without a move, and no exception
        // leaves the thread.
    }
}
} // namespace

TStopWord& EngineStopFlag() {
    static TStopWord word;
    return word;
}

TBuiltinEngine& BuiltinEngine() {
    static TBuiltinEngine& engine = *new TBuiltinEngine(EngineStopFlag());
    return engine;
}

IEngineBridge& EngineBridge() {
    return *g_bridge.load();
}
void SetEngineBridge(IEngineBridge* bridge) {
    g_bridge = bridge ? bridge : &g_noEngines;
}
IBookMoves& BookMoves() {
    return *g_book.load();
}
void SetBookMoves(IBookMoves* book) {
    g_book = book ? book : &g_noBook;
}

TEngineRequestHooks& EngineRequestHooks() {
    static TEngineRequestHooks hooks;
    return hooks;
}

void ClearEngineStopWord() {
    SetStopWord(0);
    // StopEngine raises the host's request before the word, so one of the two is seen here.
    if (g_hostStop.load()) SetStopWord(1);
}

bool EngineRequestStopped() {
    return g_hostStop.load();
}

int BudgetDivisor(TGameType variant) {
    if (variant == gtEnglish || variant == gtItalian) return 30;
    if (variant == gtInternational) return 40;
    return 20;
}

TEngineRequest CaptureEngineRequest(const TEngineSettings& settings) {
    TEngineRequest r;
    r.settings = settings;
    ApplyLevel(r.settings);
    r.playMode = AnalysisMode.load() == 0;
    r.fullNotation = FullNotation;
    r.at = GameSession().Snapshot();
    return r;
}

bool ComputeEngineMove(const TEngineRequest& r) {
    // An engine match changes engines between moves: a stop must reach the one thinking now.
    g_runningKind = r.settings.Kind;
    ClearEngineStopWord();
    BeginEngineInfo(r.settings);
    const int n = BudgetDivisor(r.at.variant);
    const std::int32_t clock = Clocks[r.at.side & 1].load();
    TMove move;
    bool got = false;
    switch (r.settings.Kind) {
    case ekTrevalo:
    case ekMarrak:
    case ekMarrakItalian:
        got = EngineBridge().GetEngineMove(r.settings.Kind, r.at.board, r.at.side, move,
                                           clock / double(n) / 100);
        break;
    case ekOskeen:
        got = EngineBridge().ThinkOutsideEngine(r.at.board, r.at.side, clock * 10, move);
        break;
    default: {
        const TBuiltinSearchOutcome out = RunBuiltinSearch(
            {r.at.board, r.at.side, r.at.variant, true, r.fullNotation}, r.settings.MaxDepth,
            r.settings.ScoreMargin, clock / n, g_hostStop, BookMoves(), BuiltinEngine().SearchSetup());
        got = out.hasMove;
        move = out.move;
        break;
    }
    }
    // A stopped request makes no move, whatever the engine left in the word.
    if (g_hostStop.load() || StopWordSet()) return false;
    const bool made = got && ApplyEngineMove(r, move);
    RequestBookRefresh();
    return made;
}

void StopEngine() {
    g_hostStop.store(true);
    SetStopWord(1);
    // Only a running request has an engine call to reach; an idle stop touches no library.
    if (!IsEngineBusy()) return;
    EngineBridge().StopRunningCall();
    if (g_runningKind.load() == ekOskeen) EngineBridge().StopOutsideEngine();
}

void StopEngineAndWait() {
    StopEngine();
    EngineIdleEvent.Wait();
    if (g_thread.thread.joinable()) g_thread.thread.join();
}

bool IsEngineBusy() {
    return !EngineIdleEvent.IsSet();
}

namespace {
// Everything before a worker thread starts. Reset here, before the thread runs: a stop that comes
// at once is then neither lost nor answered by a wait that finds the previous idle signal.
void PrepareWorker(std::uint8_t kind) {
    StopEngineAndWait();
    EngineDone = 0;
    if (EngineRequestHooks().requestStarted) EngineRequestHooks().requestStarted();
    EngineIdleEvent.Reset();
    g_runningKind = kind;
    g_hostStop.store(false);
    SetStopWord(0);
}
} // namespace

void StartEngine() {
    StartClock();
    StopEngineAndWait();
    TEngineRequest r = CaptureEngineRequest(EngineSettings);
    ApplyLevel(EngineSettings);
    PrepareWorker(r.settings.Kind);
    g_thread.thread = std::thread(Execute, std::move(r));
}

void StartEngineWorker(std::function<void()> body) {
    PrepareWorker(ekVantor);
    g_thread.thread = std::thread(RunWorker, std::move(body));
}
