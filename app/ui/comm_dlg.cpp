#include "app/ui/comm_dlg.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TCommDlg::TCommDlg(QWidget* parent) : TModalDialog(parent) {
    setObjectName("CommDlg");
    setWindowTitle("Move comment");
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameShape(QFrame::StyledPanel);
    Memo1 = new QPlainTextEdit(Bevel1);
    Memo1->setObjectName("Memo1");
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->installEventFilter(this);
    OKBtn = new QPushButton("OK", this);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    CancelBtn->setObjectName("CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });
    auto* inner = new QVBoxLayout(Bevel1);
    inner->addWidget(Memo1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Bevel1);
    layout->addLayout(buttons);
    resize(380, 200);
}

void TCommDlg::showEvent(QShowEvent* event) {
    TModalDialog::showEvent(event);
    Memo1->setFocus();
}

bool TCommDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            done(mrOk); // the default button
            return true;
        }
    }
    return TModalDialog::eventFilter(watched, event);
}
