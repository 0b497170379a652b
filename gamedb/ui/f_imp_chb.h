#pragma once
// The one progress window of the program: imports, exports, copies, searches, duplicate checks and
// clean-ups show it while they run. Created once at start-up and given to the database window's
// session as its progress; one task at a time uses it.
//
// While a task runs the window is application-modal and stays on top, so clicks and keys meant for
// other windows are dropped (not queued for later); it has no close button and ignores Escape and
// close requests. StepProgress lets pending window messages run, so the program stays responsive.
// Interface thread only.

#include "gamedb/progress.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;

class TFImpCHB : public QDialog, public IProgress {
    Q_OBJECT
  public:
    explicit TFImpCHB(QWidget* parent = nullptr);

    // Caption, text and count are CP1251. Shows the window centred on the screen.
    void BeginProgress(const std::string& caption, const std::string& text, std::int64_t maximum,
                       std::int64_t count) override;
    void StepProgress(std::int64_t position, std::int64_t count) override;
    void SetProgressText(const std::string& text) override;
    void EndProgress() override;

    // True between BeginProgress and EndProgress.
    bool Busy() const { return m_busy; }

    // The controls, for tests.
    QLabel* CountLabel() const { return m_count; }
    QProgressBar* Gauge() const { return m_gauge; }
    QLabel* TextLabel() const { return m_text; }
    QLabel* EstimateLabel() const { return m_estimateLabel; }

  public slots:
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void SetGauge(std::int64_t position);
    void CentreOnScreen();

    QLabel* m_count;
    QProgressBar* m_gauge;
    QLabel* m_text;
    QLabel* m_estimateLabel;
    TProgressEstimate m_estimate;
    std::int64_t m_scale = 1; // the gauge's int range holds maximum / m_scale
    bool m_busy = false;
    QElapsedTimer m_painted; // since the last paint
};
