#pragma once
// "Interface": move sound, notation, capture character and last-move highlight. The radio groups
// and the check box Highlight keep their own state; the main window reads them when it closes.

#include "app/ui/modal_dialog.h"

class QCheckBox;
class QPushButton;
class TRadioGroup;

class TInterfaceForm : public TModalDialog {
    Q_OBJECT
  public:
    explicit TInterfaceForm(QWidget* parent = nullptr);
    QCheckBox *Sound, *Highlight;
    TRadioGroup *notation, *TakeChar;
    QPushButton* Button1;

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
};
