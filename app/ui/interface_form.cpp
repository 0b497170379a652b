#include "app/ui/interface_form.h"

#include "app/core/request_flags.h"
#include "app/core/shell_state.h"
#include "app/ui/radio_group.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

TInterfaceForm::TInterfaceForm(QWidget* parent) : TModalDialog(parent) {
    setObjectName("InterfaceForm");
    setWindowTitle("Interface");
    Sound = new QCheckBox("Sound", this);
    Sound->setObjectName("Sound");
    notation = new TRadioGroup("Notation", {"Short (cd4; 4-8)", "Full (c3-d4; 04-08)"}, this);
    notation->setObjectName("notation");
    notation->SetItemIndex(0);
    TakeChar = new TRadioGroup("Take-char", {":", "x"}, this);
    TakeChar->setObjectName("TakeChar");
    TakeChar->SetItemIndex(0);
    Highlight = new QCheckBox("Highlight last move", this);
    Highlight->setObjectName("Highlight");
    Highlight->setChecked(HighlightLastMove);
    // The board behind the dialog follows the box at once.
    connect(Highlight, &QCheckBox::toggled, this, [](bool on) {
        HighlightLastMove = on;
        RequestRedraw(0);
    });
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { done(mrOk); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Sound);
    layout->addWidget(notation);
    layout->addWidget(TakeChar);
    layout->addWidget(Highlight);
    layout->addWidget(Button1);
}

void TInterfaceForm::showEvent(QShowEvent* event) {
    Sound->setChecked(SoundOn);
    TModalDialog::showEvent(event);
}

void TInterfaceForm::done(int result) {
    SoundOn = Sound->isChecked(); // however the dialog closes
    TModalDialog::done(result);
}
