#include "app/ui/new_move_q.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TNewMoveQ::TNewMoveQ(QWidget* parent) : TModalDialog(parent) {
    setObjectName("NewMoveQ");
    setWindowTitle("New move");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ButtonNew = new QPushButton("New variation", this);
    ButtonNew->setObjectName("ButtonNew");
    ButtonNew->setDefault(true);
    ButtonRepl = new QPushButton("Replace", this);
    ButtonRepl->setObjectName("ButtonRepl");
    ButtonCanc = new QPushButton("Cancel", this);
    ButtonCanc->setObjectName("ButtonCanc");
    connect(ButtonNew, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(ButtonRepl, &QPushButton::clicked, this, [this] { done(mrAbort); });
    connect(ButtonCanc, &QPushButton::clicked, this, [this] { done(mrCancel); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonNew);
    buttons->addWidget(ButtonRepl);
    buttons->addWidget(ButtonCanc);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox1);
    layout->addLayout(buttons);
    resize(300, 220);
}
