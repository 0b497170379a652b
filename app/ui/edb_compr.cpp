#include "app/ui/edb_compr.h"

#include "app/ui/shell_prompts.h"

#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

TEDBCompr::TEDBCompr(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("EDBCompr");
    setWindowTitle("EDB compressor");
    Button1 = new QPushButton("Button1", this);
    Button1->setObjectName("Button1");
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setEnabled(false);
    auto label = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    Label1 = label("Label1");
    Label2 = label("Label2");
    Label3 = label("Label3");
    Label4 = label("Label4");
    Label5 = label("Label5");
    auto* g = new QGridLayout(this);
    const char* captions[4] = {"Read:", "Written:", "Largest block:", "Ratio, %:"};
    QLabel* values[4] = {Label1, Label2, Label3, Label4};
    for (int i = 0; i < 4; ++i) {
        g->addWidget(new QLabel(captions[i], this), i, 0);
        g->addWidget(values[i], i, 1);
    }
    g->addWidget(Label5, 4, 0, 1, 2);
    g->addWidget(Button1, 5, 0);
    g->addWidget(CancelBtn, 5, 1);
    g->setColumnMinimumWidth(1, 160);
    setMinimumWidth(420);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelClick(); });
    Timer1 = new QTimer(this);
    Timer1->setInterval(25);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

TEDBCompr::~TEDBCompr() {
    m_job.Cancel(); // the job's destructor waits for the worker
}

void TEDBCompr::Button1Click() {
    if (m_job.Pending()) return;
    const auto file = ShellPrompts().OpenFile(this, "Text files (*.txt);;All files (*)", QDir::currentPath());
    if (file) StartCompress(*file);
}

bool TEDBCompr::StartCompress(const QString& input, std::uint32_t blockCount) {
    const std::string error = StartCompressJob(m_job, input.toStdString(), blockCount);
    if (!error.empty()) {
        ShellPrompts().ShowMessage(this, QString::fromStdString(error));
        return false;
    }
    ShowTotals({});
    Label5->setText(QString::fromStdString("Compressing into " + CompressedName(input.toStdString())));
    Button1->setEnabled(false);
    CancelBtn->setEnabled(true);
    Timer1->start();
    return true;
}

void TEDBCompr::CancelClick() {
    if (!m_job.Busy()) return;
    m_job.Cancel();
    Label5->setText("Cancelling...");
}

void TEDBCompr::Timer1Timer() {
    const bool finished = m_job.TakeFinished();
    if (finished) Timer1->stop(); // before the message box, whose loop would run the timer on
    if (auto state = m_job.TakeState()) {
        if (state->finished)
            Finish(*state);
        else
            ShowTotals(state->totals);
    }
}

void TEDBCompr::ShowTotals(const TCompressTotals& t) {
    Label1->setText(QString::number(t.bytesRead));
    Label2->setText(QString::number(t.bytesWritten));
    Label3->setText(QString::number(t.largestBlock));
    Label4->setText(QString::number(t.Ratio()));
}

void TEDBCompr::Finish(const TEdbToolState& last) {
    Button1->setEnabled(true);
    CancelBtn->setEnabled(false);
    if (last.result.ok) ShowTotals(last.totals);
    ShowToolEnd(this, Label5, last.result);
}

void ShowToolEnd(QWidget* window, QLabel* status, const TToolResult& result) {
    if (result.ok) {
        status->setText(QString::fromStdString("Written " + result.output));
        ShellPrompts().ShowMessage(window, "ok");
    } else if (result.error == CancelledError) {
        status->setText("Cancelled: nothing written");
    } else {
        status->setText("Failed");
        ShellPrompts().ShowMessage(window, QString::fromStdString(result.error));
    }
}

void TEDBCompr::closeEvent(QCloseEvent* event) {
    // Closing stops the work: a hidden window would compress on with nobody to see the end.
    CancelClick();
    QWidget::closeEvent(event);
}
