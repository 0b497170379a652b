#pragma once
// The progress of a long database task (import, export, copy, search, duplicate check, clean-up),
// behind a small interface so the task runs headless in tests and tools: each task takes the progress
// it shows (the database window's session carries the shell's one progress window, tests and tools
// pass their own).
//
// Contract of a task: BeginProgress once, StepProgress as it advances (the window implementation
// lets pending window messages run there), EndProgress on every way out; TProgressScope guarantees
// the last. Texts are CP1251 (convert a file name from UTF-8 first). Positions and counts are
// 64-bit: a maximum may be a file's size in bytes.
// Threads: a progress is called on the thread that runs the task; the window implementation must be
// called on the interface thread only.

#include <cstdint>
#include <string>

class IProgress {
  public:
    virtual ~IProgress() = default;
    // Starts showing a task: caption, a line of text, the gauge's maximum (a negative value counts as
    // 0) and a count shown beside it. Takes the start stamp of the time estimate. Calling it again
    // while shown restarts the task with the new values.
    virtual void BeginProgress(const std::string& caption, const std::string& text, std::int64_t maximum,
                               std::int64_t count) = 0;
    // Moves the gauge to `position` (clamped to 0..maximum) and, when `count` is not 0, shows it;
    // updates the time estimate.
    virtual void StepProgress(std::int64_t position, std::int64_t count) = 0;
    // Replaces the line of text, keeping the gauge and the estimate; shown by the next step.
    virtual void SetProgressText(const std::string& text) { (void)text; }
    // Ends the task and hides whatever Begin showed. Harmless when nothing is shown.
    virtual void EndProgress() = 0;
};

// A progress that shows nothing, for tasks that were given none. Stateless: any thread may use it.
IProgress& SilentProgress();

// Calls BeginProgress now and EndProgress when it goes out of scope or End() is called, so a task
// that returns early or throws never leaves the window up.
class TProgressScope {
  public:
    TProgressScope(IProgress& progress, const std::string& caption, const std::string& text,
                   std::int64_t maximum, std::int64_t count);
    ~TProgressScope() { End(); }
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;

    void Step(std::int64_t position, std::int64_t count) { m_progress.StepProgress(position, count); }
    void End();

  private:
    IProgress& m_progress;
    bool m_active = true;
};

// Centiseconds left when `position` of `maximum` took `elapsed` centiseconds, at the same pace:
// round(elapsed * maximum / position) - elapsed, computed without overflow; 0 once the position
// reaches the maximum; -1 when there is no estimate yet (position 0 or below).
std::int64_t RemainingCentiseconds(std::int64_t elapsed, std::int64_t position, std::int64_t maximum);
// "Estimated time hh:mm:ss" for the above, or "" when there is no estimate yet.
std::string EstimateText(std::int64_t elapsed, std::int64_t position, std::int64_t maximum);

// The estimate of one running task on the program's clock (NowCentiseconds), for implementations
// of IProgress: Start at BeginProgress, Text at each step.
class TProgressEstimate {
  public:
    void Start(std::int64_t maximum);
    std::int64_t Maximum() const { return m_maximum; }
    std::string Text(std::int64_t position) const;

  private:
    std::int64_t m_start = 0;
    std::int64_t m_maximum = 0;
};

// A position clamped into the gauge's range 0..maximum.
std::int64_t ClampProgress(std::int64_t position, std::int64_t maximum);
