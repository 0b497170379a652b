#pragma once
// "Export diagram": the size of the square diagram, 110 to 880 pixels (220 at first, then the
// last size of the run), and OK. OK (Button1Click) resamples the board picture into the main
// window's CopyBoard; Escape and the close box cancel. User-interface thread only.

#include "app/ui/modal_dialog.h"
#include "gif/gif_bitmap.h"

class QLabel;
class QPushButton;
class QSpinBox;
class TBoardPicture;

class TExpDiagram : public TModalDialog {
    Q_OBJECT
  public:
    TExpDiagram(const TBoardPicture& board, TBitmap& copyBoard, QWidget* parent = nullptr);

    // CopyBoard becomes the board picture resampled to Size x Size; the dialog ends with OK.
    void Button1Click();

    QLabel* Label1;
    QSpinBox* Size;
    QPushButton* Button1;

  private:
    const TBoardPicture& m_board;
    TBitmap& m_copyBoard;
};
