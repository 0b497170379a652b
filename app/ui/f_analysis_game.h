#pragma once
// "Game Analysis": options of the game analysis. OK (1) only with at least one side checked.

#include "app/ui/modal_dialog.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

class TFAnalysisGame : public TModalDialog {
    Q_OBJECT
  public:
    explicit TFAnalysisGame(QWidget* parent = nullptr);
    QSpinBox* MinCountSpin;
    QGroupBox* GroupBox1;
    QCheckBox *WhiteM, *BlackM, *NewAlg, *Explodevars;
    QLabel *Label1, *Label2;
    QPushButton *OKBtn, *CancelBtn;

    void OKBtnClick();
};
