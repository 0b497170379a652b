#pragma once
// Base of the program's dialogs: modal results as the platform numbers them. Escape and the
// close box give mrCancel. Each is as wide as its title needs. User-interface thread only.

#include "gamedb/ui/title_width.h"

#include <QDialog>

enum : int { mrOk = 1, mrCancel = 2, mrAbort = 3 };

class TModalDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TModalDialog(QWidget* parent = nullptr) : QDialog(parent) { FitWidthToTitle(*this); }
    void reject() override { done(mrCancel); }
};
