#include "app/ui/ebtest.h"

#include "app/ui/edb_compr.h"
#include "app/ui/shell_prompts.h"
#include "rules/endgame_db.h"
#include "rules/variant_state.h"

#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include <random>

namespace {

std::optional<std::int16_t> ProbeOpenDatabase(const TBoard& board) {
    TPieceCount count;
    CountPieces(board, count);
    return ProbeEndgameDatabase(board, count.all, 0, 0);
}

QTableWidget* Grid(QWidget* parent, const char* name, const QStringList& columns) {
    auto* g = new QTableWidget(parent);
    g->setObjectName(name);
    g->setColumnCount(static_cast<int>(columns.size()));
    g->setHorizontalHeaderLabels(columns);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->setDefaultSectionSize(20);
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return g;
}

void SetCell(QTableWidget* g, int row, int column, std::int64_t value) {
    QTableWidgetItem* item = g->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        g->setItem(row, column, item);
    }
    item->setText(QString::number(value));
}

QString GroupText(const char* caption, const TEdbTestGroup& g) {
    QString text = caption + QString::number(g.count);
    if (g.count > 0) text += QString("  sum %1  min %2  max %3").arg(g.sum).arg(g.min).arg(g.max);
    return text;
}

} // namespace

Tebtest::Tebtest(QWidget* parent)
    : QWidget(parent, Qt::Window), m_probe(ProbeOpenDatabase), m_seed(std::random_device{}()) {
    setObjectName("ebtest");
    setWindowTitle("ebtest");
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        return b;
    };
    BitBtn1 = button("BitBtn1", "gettable");
    BitBtn2 = button("BitBtn2", "make test");
    Button1 = button("Button1", "ConvertEdb");
    StopBtn = button("StopBtn", "Stop");
    StopBtn->setEnabled(false);
    auto spin = [this](const char* name, int low, int high, int value) {
        auto* s = new QSpinBox(this);
        s->setObjectName(name);
        s->setRange(low, high);
        s->setValue(value);
        return s;
    };
    Men0 = spin("Men0", 1, EdbMaxPieces - 1, 3);
    Men1 = spin("Men1", 1, EdbMaxPieces - 1, 2);
    Positions = spin("Positions", 100, 1000000, 1000);
    Positions->setSingleStep(100);
    // Keep the two sides within the database's five pieces.
    connect(Men0, &QSpinBox::valueChanged, this, [this](int v) { Men1->setMaximum(EdbMaxPieces - v); });
    connect(Men1, &QSpinBox::valueChanged, this, [this](int v) { Men0->setMaximum(EdbMaxPieces - v); });
    Men1->setMaximum(EdbMaxPieces - Men0->value());
    Men0->setMaximum(EdbMaxPieces - Men1->value());

    results = Grid(this, "results", {"side 0", "side 1"});
    results->setRowCount(EdbSquares);
    QStringList squares;
    for (int s = 1; s <= EdbSquares; ++s)
        squares << QString::number(s);
    results->setVerticalHeaderLabels(squares);
    tm = Grid(this, "tm", {"counter"});

    auto label = [this](const char* name, const char* text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };
    WinLabel = label("WinLabel", "Win=");
    DrawLabel = label("DrawLabel", "Draw=");
    LoseLabel = label("LoseLabel", "Lose=");
    Counts = label("Counts", "");
    Status = label("Status", "");
    Status->setWordWrap(true);
    auto* note = label(
        "Note", "Random positions of side 0's men against side 1's, side 0 to move and without a capture, "
                "probed in the open endgame database. A score below 0 counts as a loss for side 0, 0 as "
                "a draw, above 0 as a win; positions without a value are skipped and counted apart. "
                "\"results\": per square, 10 for each man in a won position of its side, 2 in a draw "
                "(negative for the losing side); \"tm\": per men advancement, 3 and 1.");
    note->setWordWrap(true);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Men of side 0:", this));
    top->addWidget(Men0);
    top->addWidget(new QLabel("of side 1:", this));
    top->addWidget(Men1);
    top->addWidget(new QLabel("Positions:", this));
    top->addWidget(Positions);
    top->addStretch();
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {BitBtn1, BitBtn2, StopBtn, Button1})
        buttons->addWidget(b);
    auto* g = new QGridLayout(this);
    g->addLayout(top, 0, 0, 1, 2);
    g->addWidget(note, 1, 0, 1, 2);
    g->addWidget(results, 2, 0);
    g->addWidget(tm, 2, 1);
    g->addWidget(Counts, 3, 0, 1, 2);
    g->addWidget(WinLabel, 4, 0, 1, 2);
    g->addWidget(DrawLabel, 5, 0, 1, 2);
    g->addWidget(LoseLabel, 6, 0, 1, 2);
    g->addWidget(Status, 7, 0, 1, 2);
    g->addLayout(buttons, 8, 0, 1, 2);
    resize(620, 760);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(StopBtn, &QPushButton::clicked, this, [this] { StopClick(); });
    Timer1 = new QTimer(this);
    Timer1->setInterval(25);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

Tebtest::~Tebtest() {
    m_experiment.Cancel();
    m_convert.Cancel(); // the jobs' destructors wait for the workers
}

TEdbExperimentSettings Tebtest::Settings() const {
    TEdbExperimentSettings s;
    s.men0 = Men0->value();
    s.men1 = Men1->value();
    s.positions = Positions->value();
    s.variant = CurrentVariant;
    return s;
}

void Tebtest::BitBtn1Click() {
    StartExperiment(true);
}

void Tebtest::BitBtn2Click() {
    StartExperiment(false);
}

bool Tebtest::StartExperiment(bool table) {
    if (Busy()) return false;
    const TEdbExperimentSettings settings = Settings();
    std::string error = CheckEdbExperimentSettings(settings);
    if (error.empty() && !table && m_advancement.empty())
        error = "Run \"gettable\" first: \"make test\" reads its counters.";
    if (error.empty() && m_probeIsDatabase && !EndgameDatabaseOpen())
        error = "No endgame database is open; its file is " + EndgameDatabasePath(settings.variant);
    if (!error.empty()) {
        ShellPrompts().ShowMessage(this, QString::fromStdString(error));
        return false;
    }
    if (table) {
        m_tmLow = -6 * settings.men1; // (32 - s) div 4 of a man on 5..32 is at most 6
        const int high = 6 * settings.men0;
        tm->setRowCount(high - m_tmLow + 1);
        QStringList rows;
        for (int a = m_tmLow; a <= high; ++a)
            rows << QString::number(a);
        tm->setVerticalHeaderLabels(rows);
        results->clearContents();
        tm->clearContents();
    }
    const auto probe = m_probe;
    const std::uint32_t seed = m_seed++;
    const std::vector<std::int64_t> advancement = m_advancement;
    m_experiment.Start([=](TWorkerJob<TExperimentState>& job) {
        std::mt19937 rng(seed);
        TExperimentState last;
        if (table)
            last.end = RunEdbTable(settings, probe, rng, job.CancelFlag(), [&](const TEdbTable& t) {
                last.figures = t;
                job.Publish({t, false, {}});
            });
        else
            last.end =
                RunEdbTest(settings, advancement, probe, rng, job.CancelFlag(), [&](const TEdbTest& t) {
                    last.figures = t;
                    job.Publish({t, false, {}});
                });
        last.finished = true;
        job.Publish(last);
    });
    SetBusy(true);
    Status->setText(table ? "gettable..." : "make test...");
    return true;
}

void Tebtest::Button1Click() {
    if (Busy()) return;
    const auto file =
        ShellPrompts().OpenFile(this, "Six-piece source (*.edb);;All files (*)", QDir::currentPath());
    if (file) StartConvert(*file);
}

bool Tebtest::StartConvert(const QString& input) {
    if (Busy()) return false;
    const std::string error = StartConvertJob(m_convert, input.toStdString());
    if (!error.empty()) {
        ShellPrompts().ShowMessage(this, QString::fromStdString(error));
        return false;
    }
    SetBusy(true);
    Status->setText(QString::fromStdString("Converting into " + ConvertedName(input.toStdString())));
    return true;
}

void Tebtest::StopClick() {
    m_experiment.Cancel();
    m_convert.Cancel();
}

void Tebtest::SetBusy(bool busy) {
    for (QWidget* w : std::initializer_list<QWidget*>{BitBtn1, BitBtn2, Button1, Men0, Men1, Positions})
        w->setEnabled(!busy);
    StopBtn->setEnabled(busy);
    if (busy) Timer1->start();
}

void Tebtest::Timer1Timer() {
    const bool experimentEnded = m_experiment.TakeFinished();
    const bool convertEnded = m_convert.TakeFinished();
    const bool pending = m_experiment.Pending() || m_convert.Pending();
    if (!pending) Timer1->stop(); // before a message box, whose loop would run the timer on
    if (experimentEnded || convertEnded) SetBusy(pending);
    if (auto s = m_experiment.TakeState()) {
        if (const auto* t = std::get_if<TEdbTable>(&s->figures))
            ShowTable(*t);
        else
            ShowTest(std::get<TEdbTest>(s->figures));
        if (s->finished) FinishExperiment(*s);
    }
    if (auto s = m_convert.TakeState()) {
        if (s->finished)
            FinishConvert(*s);
        else
            Status->setText(QString("Converting: block %1 of %2").arg(s->blocksDone).arg(s->blocksTotal));
    }
}

void Tebtest::ShowTable(const TEdbTable& t) {
    for (int side = 0; side < 2; ++side)
        for (int s = 0; s < EdbSquares; ++s)
            SetCell(results, s, side, t.squares[side][s]);
    for (int row = 0; row < tm->rowCount(); ++row)
        SetCell(tm, row, 0, t.advancement[AdvancementSlot(m_tmLow + row)]);
    const auto n = [&t](TEdbOutcome o) { return t.outcomes[static_cast<int>(o)]; };
    Counts->setText(QString("Positions %1: wins %2, draws %3, losses %4 for side 0; without a value %5")
                        .arg(t.positions)
                        .arg(n(TEdbOutcome::Win))
                        .arg(n(TEdbOutcome::Draw))
                        .arg(n(TEdbOutcome::Loss))
                        .arg(n(TEdbOutcome::NoValue)));
}

void Tebtest::ShowTest(const TEdbTest& t) {
    WinLabel->setText(GroupText("Win=", t.groups[static_cast<int>(TEdbOutcome::Win)]));
    DrawLabel->setText(GroupText("Draw=", t.groups[static_cast<int>(TEdbOutcome::Draw)]));
    LoseLabel->setText(GroupText("Lose=", t.groups[static_cast<int>(TEdbOutcome::Loss)]));
    Counts->setText(QString("Positions %1; without a value %2").arg(t.positions).arg(t.skipped));
}

void Tebtest::FinishExperiment(const TExperimentState& last) {
    const auto* table = std::get_if<TEdbTable>(&last.figures);
    if (last.end.cancelled) {
        Status->setText("Stopped");
    } else if (!last.end.error.empty()) {
        Status->setText("Failed");
        ShellPrompts().ShowMessage(this, QString::fromStdString(last.end.error));
    } else {
        Status->setText("Done");
        if (table) m_advancement = table->advancement; // "make test" reads a whole run only
    }
}

void Tebtest::FinishConvert(const TEdbToolState& last) {
    ShowToolEnd(this, Status, last.result);
}

void Tebtest::closeEvent(QCloseEvent* event) {
    StopClick(); // a hidden window would work on with nobody to see the end
    QWidget::closeEvent(event);
}

void OpenEdbToolWindow(Tebtest* test, TEDBCompr* compressor) {
    QWidget* w = QGuiApplication::keyboardModifiers() & Qt::ShiftModifier ? static_cast<QWidget*>(compressor)
                                                                          : static_cast<QWidget*>(test);
    if (!w) return;
    w->show();
    w->raise();
    w->activateWindow();
}

void InstallEdbToolShortcuts(QWidget* window, QAction* command) {
    if (!command) return;
    for (const char* keys : {"Ctrl+Alt+E", "Ctrl+Alt+Shift+E"}) {
        auto* shortcut = new QShortcut(QKeySequence(keys), window);
        QObject::connect(shortcut, &QShortcut::activated, command, &QAction::trigger);
    }
}
