#pragma once
// "Move comment": one memo, OK (1) and Cancel (2). Enter does not break the line: it confirms.

#include "app/ui/modal_dialog.h"

class QFrame;
class QPlainTextEdit;
class QPushButton;

class TCommDlg : public TModalDialog {
    Q_OBJECT
  public:
    explicit TCommDlg(QWidget* parent = nullptr);
    QPlainTextEdit* Memo1;
    QPushButton *OKBtn, *CancelBtn;
    QFrame* Bevel1;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
