#include "app/ui/who_moves.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

TWhoMoves::TWhoMoves(QWidget* parent) : TModalDialog(parent) {
    setObjectName("WhoMoves");
    setWindowTitle("To move:");
    Label2 = new QLabel("To move:", this);
    Label2->setObjectName("Label2");
    RadioButton1 = new QRadioButton("White", this);
    RadioButton1->setObjectName("RadioButton1");
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton("Black", this);
    RadioButton2->setObjectName("RadioButton2");
    Label1 = new QLabel("First move", this);
    Label1->setObjectName("Label1");
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName("SpinEdit1");
    SpinEdit1->setRange(1, 128);
    SpinEdit1->setValue(1);
    Button1 = new QPushButton("Done", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { done(mrOk); });
    auto* g = new QGridLayout(this);
    g->addWidget(Label2, 0, 0, 1, 2);
    g->addWidget(RadioButton1, 1, 0);
    g->addWidget(RadioButton2, 1, 1);
    g->addWidget(Label1, 2, 0);
    g->addWidget(SpinEdit1, 2, 1);
    g->addWidget(Button1, 3, 0, 1, 2);
}

void TWhoMoves::reject() {
    if (m_closing)
        done(mrCancel); // the close box
    else
        done(mrOk); // Escape presses "Done", the cancel button
}

void TWhoMoves::closeEvent(QCloseEvent* event) {
    m_closing = true;
    TModalDialog::closeEvent(event); // calls reject()
    m_closing = false;
}
