#pragma once
// The main window. User-interface thread only.

#include <QMainWindow>

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
};
