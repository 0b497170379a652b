#pragma once
// "New move": the moves that already follow the position, and the choice of a new variation (1),
// replacing a line (3) or cancelling (2). Filled and read by move entry.

#include "app/ui/modal_dialog.h"

class QListWidget;
class QPushButton;

class TNewMoveQ : public TModalDialog {
    Q_OBJECT
  public:
    explicit TNewMoveQ(QWidget* parent = nullptr);
    QListWidget* ListBox1;
    QPushButton *ButtonNew, *ButtonRepl, *ButtonCanc;
};
