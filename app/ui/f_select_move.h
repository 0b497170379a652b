#pragma once
// "Choose move": the continuations of a position. Any key or mouse press in the list picks the
// selected item (result 1); with nothing selected it does nothing. Closed otherwise: 2.

#include "app/ui/modal_dialog.h"

class QListWidget;

class TFSelectMove : public TModalDialog {
    Q_OBJECT
  public:
    explicit TFSelectMove(QWidget* parent = nullptr);
    QListWidget* ListBox1;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
