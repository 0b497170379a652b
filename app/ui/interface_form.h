#pragma once
// "Interface": move sound, notation, capture character and last-move highlight. The radio groups
// keep their own state; the main window reads them when it closes. The check box Highlight also
// keeps its own and switches the highlight of the last move at once (HighlightLastMove).

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
