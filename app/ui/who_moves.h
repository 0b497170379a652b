#pragma once
// "To move:": the side to move and the first move number after a position set-up. Its one button
// "Done" is also the cancel button, so Escape closes with 1 as well; the close box gives 2.

#include "app/ui/modal_dialog.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TWhoMoves : public TModalDialog {
    Q_OBJECT
  public:
    explicit TWhoMoves(QWidget* parent = nullptr);
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

    QRadioButton *RadioButton1, *RadioButton2;
    QLabel *Label1, *Label2;
    QSpinBox* SpinEdit1;
    QPushButton* Button1;

  private:
    bool m_closing = false;
};
