#include "gamedb/ui/f_match_par.h"

#include "gamedb/ui/title_width.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
QCheckBox* Check(QWidget* parent, const char* name, const char* text, bool on) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setChecked(on);
    return c;
}
QComboBox* Combo(QWidget* parent, const char* name, const QStringList& items) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems(items);
    c->setCurrentIndex(0);
    return c;
}
} // namespace

TFMatchPar::TFMatchPar(QWidget* parent) : QDialog(parent) {
    setObjectName("FMatchPar");
    setWindowTitle("Match games");
    FitWidthToTitle(*this);
    Label1 = new QLabel("Methods", this);
    Label1->setObjectName("Label1");
    Names = Check(this, "Names", "Names", false);
    Year = Check(this, "Year", "Year", false);
    Tournament = Check(this, "Tournament", "Tournament", false);
    Moves = Check(this, "Moves", "Moves", true);
    matchtype = Combo(this, "matchtype", {"Exact match", "w/o captions"});
    matchlength = Combo(this, "matchlength", {"Complete length", "Partial length"});
    fastmatch = Check(this, "fastmatch", "Fast", true);
    OkButton = new QPushButton("Ok", this);
    OkButton->setObjectName("OkButton");
    OkButton->setDefault(true);
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->setObjectName("CancelButton");
    connect(OkButton, &QPushButton::clicked, this, [this] { done(1); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(2); });

    auto* g = new QGridLayout(this);
    g->addWidget(Label1, 0, 0, 1, 2);
    g->addWidget(Names, 1, 0);
    g->addWidget(Year, 2, 0);
    g->addWidget(Tournament, 3, 0);
    g->addWidget(Moves, 4, 0);
    g->addWidget(matchtype, 1, 1);
    g->addWidget(matchlength, 2, 1);
    g->addWidget(fastmatch, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    g->addLayout(buttons, 5, 0, 1, 2);
}

TFMatchPar::~TFMatchPar() = default;

TDuplicateOptions TFMatchPar::Options() const {
    TDuplicateOptions o;
    o.names = Names->isChecked();
    o.year = Year->isChecked();
    o.tournament = Tournament->isChecked();
    o.moves = Moves->isChecked();
    o.withoutCaptures = matchtype->currentIndex() == 1;
    o.partialLength = matchlength->currentIndex() == 1;
    o.fast = fastmatch->isChecked();
    return o;
}
