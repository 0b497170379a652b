#include "gamedb/ui/sort_form.h"

#include "gamedb/ui/title_width.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TSortForm::TSortForm(QWidget* parent) : QDialog(parent) {
    setObjectName("SortForm");
    setWindowTitle("Sort games");
    FitWidthToTitle(*this);
    const auto radio = [this](const char* name, const char* text) {
        auto* r = new QRadioButton(text, this);
        r->setObjectName(name);
        return r;
    };
    wp = radio("wp", "by White Player");
    bp = radio("bp", "by Black Player");
    yt = radio("yt", "by Year and Tournament");
    wp->setChecked(true);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OkButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("CancelButton");
    connect(ok, &QPushButton::clicked, this, [this] { done(1); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(2); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(wp);
    layout->addWidget(bp);
    layout->addWidget(yt);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

int TSortForm::SortKind() const {
    return bp->isChecked() ? 2 : yt->isChecked() ? 3 : 1;
}
