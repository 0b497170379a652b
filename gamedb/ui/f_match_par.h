#pragma once
// "Match games": the criteria of duplicate matching (names, year, tournament, moves), how moves
// compare ("Exact match" or "w/o captions", "Complete length" or "Partial length") and "Fast".
// "Ok" closes with 1, "Cancel", Escape and the close box with 2. The choices stay for the next
// showing. Created once at start-up and handed to the database window (its FMatchPar());
// interface thread only.

#include "gamedb/duplicate_match.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class TFMatchPar : public QDialog {
    Q_OBJECT
  public:
    explicit TFMatchPar(QWidget* parent = nullptr);
    ~TFMatchPar() override;

    QLabel* Label1;
    QCheckBox *Names, *Year, *Tournament, *Moves;
    QComboBox *matchtype, *matchlength;
    QCheckBox* fastmatch;
    QPushButton *OkButton, *CancelButton;

    // What the controls say.
    TDuplicateOptions Options() const;

    void reject() override { done(2); }
};
