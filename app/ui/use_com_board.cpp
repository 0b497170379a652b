#include "app/ui/use_com_board.h"

#include "app/core/eboard_thread.h"
#include "platform/serial_port_list.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TUseComBoard::TUseComBoard(QWidget* parent) : TModalDialog(parent) {
    setObjectName("UseComBoard");
    setWindowTitle("Connect to electronic damboard");
    listPorts = [] { return ListSerialPorts(); };
    Label1 = new QLabel("Port:", this);
    Label1->setObjectName("Label1");
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMinimumWidth(220);
    Label1->setBuddy(ComboBox1);
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });
    auto* port = new QHBoxLayout;
    port->addWidget(Label1);
    port->addWidget(ComboBox1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(port);
    layout->addLayout(buttons);
    FormCreate();
}

void TUseComBoard::FormCreate() {
    ComboBox1->clear();
    for (const std::string& name : listPorts())
        ComboBox1->addItem(QString::fromStdString(name));
    if (ComboBox1->count() > 0) ComboBox1->setCurrentIndex(0);
}

void TUseComBoard::OKBtnClick() {
    BoardPortName = ComboBox1->currentText().trimmed().toStdString();
    BoardPortHandle = OpenBoardPort(BoardPortName);
    done(mrOk);
}

void TUseComBoard::showEvent(QShowEvent* event) {
    FormCreate();
    TModalDialog::showEvent(event);
    ComboBox1->setFocus();
}
