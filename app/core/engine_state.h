#pragma once
// The engine state of the main program: the chosen engine with its level, the information shown of
// a running engine, and the request flags of the engine buttons.
// EngineSettings is written by the user-interface thread only, between requests; a request works on
// the copy taken when it starts. EngineInfo is written by the engine thread and read by the timer,
// always whole and under its lock.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

enum EngineKind : std::uint8_t {
    ekVantor = 0,        // the built-in engine
    ekOskeen = 1,        // outside engine with the EI_ interface
    ekTrevalo = 2,       // outside plug-in
    ekMarrak = 3,        // plug-in, English rules
    ekMarrakItalian = 4, // plug-in, Italian rules
};

struct TEngineSettings {
    std::uint8_t Kind = ekVantor;
    std::string LongName = "Vantor Quillan 2.0"; // at most 30 characters
    std::string ShortName = "Vantor 2.0";        // at most 30 characters
    std::uint8_t Level = 1;                      // 0 "Master" (the strongest) .. 4
    std::uint8_t MaxDepth = 14;                  // deepest iteration of the built-in search
    std::uint16_t ScoreMargin = 5;               // how far below the best a chosen move may be
};

struct TLevelRow {
    std::uint8_t maxDepth;
    std::uint16_t scoreMargin;
};
constexpr TLevelRow LevelTable[5] = {{98, 0}, {14, 5}, {12, 15}, {10, 25}, {8, 35}};
constexpr int AnalysisDepth = 98;
constexpr std::int64_t AnalysisBudget = 100000000; // centiseconds: until stopped

// Sets MaxDepth and ScoreMargin from the level table; a level above 4 counts as 4.
void ApplyLevel(TEngineSettings& s);

extern TEngineSettings EngineSettings;

// What the main window shows of a running engine.
struct TEngineInfo {
    std::string Name, Depth, Speed, BestLine, Time, EdbProbes, HashFill, HashHits;
    std::int16_t Score = 0;
    std::int16_t Bound = 0; // equal to Score when exact
};

// EngineInfo with its lock and its new-information flag. Update and Snapshot may be called from
// any thread; the lock is held only while the texts are copied.
class TEngineInfoBox {
  public:
    template <class F> void Update(F&& change) {
        {
            std::lock_guard lock(m_mutex);
            change(m_info);
        }
        m_new.store(true, std::memory_order_release);
    }
    TEngineInfo Snapshot() const {
        std::lock_guard lock(m_mutex);
        return m_info;
    }
    // A new request's information: its engine's name and nothing else yet. Each start counts, so
    // that a reader of progress lines takes the new engine's first line even when it repeats the
    // last one read.
    void Begin(const std::string& name) {
        Update([&](TEngineInfo& info) {
            info = TEngineInfo{};
            info.Name = name;
        });
        m_starts.fetch_add(1, std::memory_order_acq_rel);
    }
    std::uint32_t Starts() const { return m_starts.load(std::memory_order_acquire); }
    bool HasNewInfo() const { return m_new.load(std::memory_order_acquire); }
    void ClearNewInfo() { m_new.store(false, std::memory_order_release); }

  private:
    mutable std::mutex m_mutex;
    TEngineInfo m_info;
    std::atomic<bool> m_new{false};
    std::atomic<std::uint32_t> m_starts{0};
};
extern TEngineInfoBox EngineInfo;
