#pragma once
// A titled group of radio buttons addressed by item index, as the form resources use them.

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    TRadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);
    // -1 when no item is checked.
    int ItemIndex() const;
    void SetItemIndex(int index);
    QString ItemText(int index) const;
    void SetItemText(int index, const QString& text);
    int Count() const { return static_cast<int>(m_buttons.size()); }

  private:
    std::vector<QRadioButton*> m_buttons;
};
