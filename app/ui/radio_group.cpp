#include "app/ui/radio_group.h"

#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent) {
    auto* layout = new QVBoxLayout(this);
    for (const QString& text : items) {
        auto* b = new QRadioButton(text, this);
        layout->addWidget(b);
        m_buttons.push_back(b);
    }
}

int TRadioGroup::ItemIndex() const {
    for (int i = 0; i < Count(); ++i)
        if (m_buttons[i]->isChecked()) return i;
    return -1;
}

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < Count()) m_buttons[index]->setChecked(true);
}

QString TRadioGroup::ItemText(int index) const {
    return index >= 0 && index < Count() ? m_buttons[index]->text() : QString();
}

void TRadioGroup::SetItemText(int index, const QString& text) {
    if (index >= 0 && index < Count()) m_buttons[index]->setText(text);
}
