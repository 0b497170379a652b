#pragma once
// "Set time": minutes and seconds of both clocks. The first row is always side 0 (White, or Black in
// English and Pool). User-interface thread only.

#include "app/ui/modal_dialog.h"

class QLabel;
class QPushButton;
class QSpinBox;

class TFSetTm : public TModalDialog {
    Q_OBJECT
  public:
    explicit TFSetTm(QWidget* parent = nullptr);
    // Row captions in the current language and the four fields from the clocks.
    void FormShow();

    QLabel *Label1, *Label2;
    QSpinBox *Wmin, *Wsec, *Bmin, *Bsec;
    QPushButton* OKBtn;

  protected:
    void showEvent(QShowEvent* event) override;
};
