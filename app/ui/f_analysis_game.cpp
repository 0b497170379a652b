#include "app/ui/f_analysis_game.h"

#include "app/ui/shell_prompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TFAnalysisGame::TFAnalysisGame(QWidget* parent) : TModalDialog(parent) {
    setObjectName("FAnalysisGame");
    setWindowTitle("Game Analysis");
    Label1 = new QLabel("Time", this);
    Label1->setObjectName("Label1");
    MinCountSpin = new QSpinBox(this);
    MinCountSpin->setObjectName("MinCountSpin");
    MinCountSpin->setRange(1, 1440);
    MinCountSpin->setValue(3);
    Label2 = new QLabel("minutes", this);
    Label2->setObjectName("Label2");
    GroupBox1 = new QGroupBox("Analysis for", this);
    GroupBox1->setObjectName("GroupBox1");
    WhiteM = new QCheckBox("White moves", GroupBox1);
    WhiteM->setObjectName("WhiteM");
    BlackM = new QCheckBox("Black moves", GroupBox1);
    BlackM->setObjectName("BlackM");
    auto* gl = new QVBoxLayout(GroupBox1);
    gl->addWidget(WhiteM);
    gl->addWidget(BlackM);
    NewAlg = new QCheckBox("Inaccurate evaluation", this);
    NewAlg->setObjectName("NewAlg");
    NewAlg->setChecked(true);
    Explodevars = new QCheckBox("Explode variations", this);
    Explodevars->setObjectName("Explodevars");
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });
    auto* g = new QGridLayout(this);
    g->addWidget(Label1, 0, 0);
    g->addWidget(MinCountSpin, 0, 1);
    g->addWidget(Label2, 0, 2);
    g->addWidget(GroupBox1, 1, 0, 1, 3);
    g->addWidget(NewAlg, 2, 0, 1, 3);
    g->addWidget(Explodevars, 3, 0, 1, 3);
    g->addWidget(OKBtn, 4, 1);
    g->addWidget(CancelBtn, 4, 2);
}

void TFAnalysisGame::OKBtnClick() {
    if (!WhiteM->isChecked() && !BlackM->isChecked()) {
        ShellPrompts().ShowMessage(this, "Select color(s)");
        return;
    }
    done(mrOk);
}
