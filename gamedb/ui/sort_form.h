#pragma once
// "Sort games": the order the database window's list is sorted in. Created once at start-up and
// handed to the database window (its SortForm()); interface thread only.

#include <QDialog>

class QRadioButton;

class TSortForm : public QDialog {
    Q_OBJECT
  public:
    explicit TSortForm(QWidget* parent = nullptr);

    QRadioButton *wp, *bp, *yt;

    // 1 by White player, 2 by Black player, 3 by year and tournament: the chosen button.
    int SortKind() const;

    void reject() override { done(2); }
};
