#include "app/ui/f_set_tm.h"

#include "app/core/game_clock.h"
#include "app/core/game_end.h"
#include "app/core/language.h"
#include "rules/variant_state.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

TFSetTm::TFSetTm(QWidget* parent) : TModalDialog(parent) {
    setObjectName("FSetTm");
    setWindowTitle("Set time");
    auto spin = [this](const char* name, int max) {
        auto* s = new QSpinBox(this);
        s->setObjectName(name);
        s->setRange(0, max);
        return s;
    };
    Label1 = new QLabel("White", this);
    Label1->setObjectName("Label1");
    Label2 = new QLabel("Black", this);
    Label2->setObjectName("Label2");
    // Minutes up to what a 32-bit centisecond clock holds.
    Wmin = spin("Wmin", 9999);
    Wsec = spin("Wsec", 59);
    Bmin = spin("Bmin", 9999);
    Bsec = spin("Bsec", 59);
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(mrOk); });
    auto* g = new QGridLayout(this);
    g->addWidget(new QLabel("min", this), 0, 1);
    auto* sec = new QLabel("sec", this);
    sec->setObjectName("LabelSec");
    g->addWidget(sec, 0, 2);
    g->addWidget(Label1, 1, 0);
    g->addWidget(Wmin, 1, 1);
    g->addWidget(Wsec, 1, 2);
    g->addWidget(Label2, 2, 0);
    g->addWidget(Bmin, 2, 1);
    g->addWidget(Bsec, 2, 2);
    g->addWidget(OKBtn, 3, 0, 1, 3);
}

void TFSetTm::FormShow() {
    const bool side0White = SideIsWhite(0, CurrentVariant);
    Label1->setText(QString::fromUtf8(Phrase(side0White ? 56 : 57)));
    Label2->setText(QString::fromUtf8(Phrase(side0White ? 57 : 56)));
    const int t0 = Clocks[0].load() / 100, t1 = Clocks[1].load() / 100;
    Wmin->setValue(t0 / 60);
    Wsec->setValue(t0 % 60);
    Bmin->setValue(t1 / 60);
    Bsec->setValue(t1 % 60);
}

void TFSetTm::showEvent(QShowEvent* event) {
    FormShow();
    TModalDialog::showEvent(event);
}
