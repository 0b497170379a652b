#pragma once
// The endgame-database compressor window: compresses a raw database (one byte per value) chosen
// in the open dialog into the block file beside it, on a worker thread, showing the running
// totals and a Cancel. A developer window: created hidden at start-up, opened by the hidden
// "Test EDB Func" command with Shift held. User-interface thread only.

#include "app/core/edb_tool_jobs.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

// Shows how a compressor or converter run ended: "ok" after a written file, the error after a
// failure, nothing but the status line after a cancel.
void ShowToolEnd(QWidget* window, QLabel* status, const TToolResult& result);

class TEDBCompr : public QWidget {
    Q_OBJECT
  public:
    explicit TEDBCompr(QWidget* parent = nullptr);
    ~TEDBCompr() override;

    // Asks for the input file, then starts compressing it.
    void Button1Click();
    // Starts compressing `input` (no dialog); false with a message when it cannot start.
    bool StartCompress(const QString& input, std::uint32_t blockCount = EdbBlockCount);
    // Stops a running compression; the partial output is removed.
    void CancelClick();
    // Takes the worker's latest state into the labels; run by the 25 ms timer.
    void Timer1Timer();
    // A job runs, or its end is not yet shown.
    bool Busy() const { return m_job.Pending(); }

    QPushButton *Button1, *CancelBtn;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5; // read, written, largest, ratio, status
    QTimer* Timer1;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void ShowTotals(const TCompressTotals& t);
    void Finish(const TEdbToolState& last);

    TEdbToolJob m_job;
};
