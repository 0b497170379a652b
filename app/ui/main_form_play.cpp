// The main window's play and analysis commands: "Compute!", "STOP!", the draw offer, the time
// controls, the clock label and the 25 ms tick. The logic lives in app/core; this binds it.

#include "app/core/engine_requests.h"
#include "app/core/game_clock.h"
#include "app/core/game_end.h"
#include "app/core/language.h"
#include "app/core/main_timer.h"
#include "app/core/request_flags.h"
#include "app/core/score_text.h"
#include "app/core/shell_state.h"
#include "app/ui/f_set_tm.h"
#include "app/ui/forms.h"
#include "app/ui/main_form.h"
#include "app/ui/shell_prompts.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>

#include <chrono>
#include <random>

namespace {
QString Ui(const std::string& text) {
    return QString::fromStdString(text);
}
QString Ui(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

void SetStopButtonColour(QPushButton* b, bool red) {
    QPalette p = b->palette();
    // Back to the colour of inactive captions when idle.
    p.setColor(QPalette::ButtonText,
               red ? QColor(255, 0, 0)
                   : b->style()->standardPalette().color(QPalette::Inactive, QPalette::WindowText));
    b->setPalette(p);
}
} // namespace

// What the tick shows, on the main window's controls.
class TMainFormTickView final : public ITickView {
  public:
    explicit TMainFormTickView(TMainForm& f) : m_form(f) {}
    void DrawBoard(int mode) override { m_form.DrawBoard(mode == 1); }
    void RefreshGamePanel() override {
        m_form.ReadGameHeaderIntoPanel();
        m_form.RebuildGamePanel();
    }
    void ShowBookMoves() override { m_form.ShowBookMoves(); }
    void StopButtonIdle() override { SetStopButtonColour(m_form.StopButton, false); }
    void ShowClockLabel(const std::string& text) override { m_form.ClockLabel->setText(Ui(text)); }
    void ServeElectronicBoard() override { m_form.ServeElectronicBoard(); }
    void ShowGameMessage(const std::string& text, int kind) override {
        if (kind != 0) {
            m_form.ShowInfoMessage(Ui(text));
            return;
        }
        // The box runs its own event loop, in which the timer goes on ticking: the clocks and the
        // engine display are served while it is open.
        ShellPrompts().ShowMessage(&m_form, Ui(text));
    }
    bool TournamentMode() override { return m_form.Item("N55")->isChecked(); }
    void ShowEngineInfo(const TEngineInfo& info, int kind) override {
        m_form.EnginePanel->setText(Ui(info.Name));
        // Until the engine of this request reports, its name alone: no depth, no score.
        const bool reported = !info.Depth.empty();
        m_form.DepthPanel->setText(reported ? Ui(Phrase(59)) + " " + Ui(info.Depth) : QString());
        m_form.EvalPanel->setText(reported ? Ui(ScoreRangeText(info.Score, info.Bound, kind)) : QString());
        QString text = Ui(info.BestLine) + "\n";
        text += Ui(Phrase(63)) + "=" + Ui(info.Speed) + "  \n";
        text += Ui(Phrase(23)) + "=" + Ui(info.Time) + "  \n";
        if (!info.EdbProbes.empty()) text += "EDB=" + Ui(info.EdbProbes) + "\n";
        if (!info.HashFill.empty()) text += "HashSize=" + Ui(info.HashFill) + "\n";
        m_form.Label2->setText(text);
    }

  private:
    TMainForm& m_form;
};

void TMainForm::ConnectPlayCommands() {
    auto bind = [this](const char* item, void (TMainForm::*handler)()) {
        connect(Item(item), &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };
    bind("Compute1", &TMainForm::Compute1Click);
    bind("Offerdraw1", &TMainForm::Offerdraw1Click);
    bind("min1", &TMainForm::min1Click);
    bind("N5min1", &TMainForm::N5min1Click);
    bind("N10min1", &TMainForm::N10min1Click);
    bind("N30min1", &TMainForm::N30min1Click);
    bind("N60min1", &TMainForm::N60min1Click);
    bind("Anothertimecontrol1", &TMainForm::Anothertimecontrol1Click);
    connect(StopButton, &QPushButton::clicked, this, [this] { StopButtonClick(); });
    // Every request turns the stop button red, whoever starts it.
    EngineRequestHooks().requestStarted = [this] { SetStopButtonColour(StopButton, true); };
}

void TMainForm::Timer1Timer() {
    TMainFormTickView view(*this);
    RunMainTimerTick(view);
}

void TMainForm::UpdateClockLabel() {
    TMainFormTickView view(*this);
    ::UpdateClockLabel(view);
}

void TMainForm::StopEngineAndWait() {
    ::StopEngineAndWait();
}

void TMainForm::StopClocks() {
    ClockRunning = 0;
}

void TMainForm::Compute1Click() {
    if (AnalysisMode == 0) {
        bool handOver = false;
        {
            TGameLock lock = m_session.Lock();
            TGame& game = m_session.EditGame(lock);
            handOver = !IsEngineBusy() && game.header.result == grNone && game.header.nodeCount == 0;
            if (handOver) {
                // The engine takes over the side to move: its clock and its name.
                const std::int32_t c0 = Clocks[0].load();
                SetClocks(Clocks[1].load(), c0);
                std::swap(game.white, game.black);
                std::swap(game.header.white, game.header.black);
            }
        }
        if (handOver) {
            UpdateClockLabel();
            BoardReversed = 1;
            Item("N28")->setChecked(true);
            RequestRedraw(1);
            ReadGameHeaderIntoPanel();
        }
    } else {
        StopRequested = 0;
    }
    ::StartEngine();
}

void TMainForm::StopButtonClick() {
    if (!IsEngineBusy()) return;
    StopRequested = 1;
    ::StopEngine();
    ClockRunning = 0;
}

void TMainForm::Offerdraw1Click() {
    static std::mt19937 coin(
        static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    OfferDraw(coin);
}

void TMainForm::SetTimeControl(const char* item, int centiseconds) {
    Item(item)->setChecked(true);
    TGameLock lock = m_session.Lock();
    SetClocks(centiseconds, centiseconds);
}

void TMainForm::min1Click() {
    SetTimeControl("min1", TimeControlCentiseconds[0]);
}
void TMainForm::N5min1Click() {
    SetTimeControl("N5min1", TimeControlCentiseconds[1]);
}
void TMainForm::N10min1Click() {
    SetTimeControl("N10min1", TimeControlCentiseconds[2]);
}
void TMainForm::N30min1Click() {
    SetTimeControl("N30min1", TimeControlCentiseconds[3]);
}
void TMainForm::N60min1Click() {
    SetTimeControl("N60min1", TimeControlCentiseconds[4]);
}

void TMainForm::Anothertimecontrol1Click() {
    Item("Anothertimecontrol1")->setChecked(true);
    FSetTm->exec();
    // However the dialog was closed.
    TGameLock lock = m_session.Lock();
    SetClocks(ClockFromMinSec(FSetTm->Wmin->value(), FSetTm->Wsec->value()),
              ClockFromMinSec(FSetTm->Bmin->value(), FSetTm->Bsec->value()));
}

void TMainForm::ApplyCheckedTimeControl() {
    const char* const items[5] = {"min1", "N5min1", "N10min1", "N30min1", "N60min1"};
    for (int i = 0; i < 5; ++i)
        if (Item(items[i])->isChecked()) return SetTimeControl(items[i], TimeControlCentiseconds[i]);
    if (!Item("Anothertimecontrol1")->isChecked()) return;
    // The fields as the dialog last left them.
    TGameLock lock = m_session.Lock();
    SetClocks(ClockFromMinSec(FSetTm->Wmin->value(), FSetTm->Wsec->value()),
              ClockFromMinSec(FSetTm->Bmin->value(), FSetTm->Bsec->value()));
}
