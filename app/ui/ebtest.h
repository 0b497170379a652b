#pragma once
// The endgame-database test window ("ebtest"): statistics over random positions probed in the
// open endgame database ("gettable" fills the grids "results" and "tm"; "make test" sorts the
// advancement counters of new positions by outcome), and the six-piece converter. The work runs
// on a worker thread; the window shows its figures every 100 positions and can stop it.
// A developer window: created hidden at start-up, opened by the hidden "Test EDB Func" command.
// User-interface thread only.

#include "app/core/edb_experiments.h"
#include "app/core/edb_tool_jobs.h"
#include "app/core/worker_job.h"

#include <QWidget>

#include <cstdint>
#include <variant>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

class Tebtest : public QWidget {
    Q_OBJECT
  public:
    explicit Tebtest(QWidget* parent = nullptr);
    ~Tebtest() override;

    // "gettable", "make test", "ConvertEdb" (asks for the six-piece source file), Stop.
    void BitBtn1Click();
    void BitBtn2Click();
    void Button1Click();
    void StopClick();
    // Converts `input` without a dialog; false with a message when it cannot start.
    bool StartConvert(const QString& input);
    // Takes the worker's latest figures into the grids and labels; run by the 25 ms timer.
    void Timer1Timer();
    // A job runs, or its end is not yet shown.
    bool Busy() const { return m_experiment.Pending() || m_convert.Pending(); }

    // Tests replace the probe (the open database by default) and the random seed.
    void SetProbe(TEdbProbeFn probe) {
        m_probe = std::move(probe);
        m_probeIsDatabase = false;
    }
    void SetSeed(std::uint32_t seed) { m_seed = seed; }
    // The advancement counters of the last whole "gettable" run (empty before one).
    const std::vector<std::int64_t>& Advancement() const { return m_advancement; }
    TEdbExperimentSettings Settings() const;

    QPushButton *BitBtn1, *BitBtn2, *Button1, *StopBtn;
    QSpinBox *Men0, *Men1, *Positions;
    QTableWidget *results, *tm;
    QLabel *WinLabel, *DrawLabel, *LoseLabel, *Counts, *Status;
    QTimer* Timer1;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    using TFigures = std::variant<TEdbTable, TEdbTest>;
    struct TExperimentState {
        TFigures figures;
        bool finished = false;
        TEdbRunEnd end;
    };

    bool StartExperiment(bool table);
    void ShowTable(const TEdbTable& t);
    void ShowTest(const TEdbTest& t);
    void SetBusy(bool busy);
    void FinishExperiment(const TExperimentState& last);
    void FinishConvert(const TEdbToolState& last);

    TEdbProbeFn m_probe;
    bool m_probeIsDatabase = true;
    std::uint32_t m_seed;
    int m_tmLow = 0; // advancement of the first row of "tm"
    std::vector<std::int64_t> m_advancement;
    TWorkerJob<TExperimentState> m_experiment;
    TEdbToolJob m_convert;
};

class QAction;
class TEDBCompr;

// The hidden "Test EDB Func" command: opens the test window, or the compressor when Shift is
// held (either may be null: nothing opens).
void OpenEdbToolWindow(Tebtest* test, TEDBCompr* compressor);
// Keys for the hidden command, which no menu shows: Ctrl+Alt+E, and Ctrl+Alt+Shift+E for the
// compressor.
void InstallEdbToolShortcuts(QWidget* window, QAction* command);
