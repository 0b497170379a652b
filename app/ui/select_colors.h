#pragma once
// "Select colors": the two square colours and the four piece pictures. Changes take effect at
// once; OK only closes (there is no cancel).

#include "app/ui/modal_dialog.h"

#include <functional>

class QLabel;
class QPushButton;
class TBoardPicture;

class TSelectColors : public TModalDialog {
    Q_OBJECT
  public:
    // `drawBoard(withFrame)` redraws the main window's board.
    TSelectColors(TBoardPicture& picture, std::function<void(bool)> drawBoard, QWidget* parent = nullptr);

    QLabel *lightcolor, *darkcolor;
    QLabel *bk, *bs, *ws, *wk;
    QPushButton *Button1, *Button2;

    void lightcolorClick();
    void darkcolorClick();
    // index pcBlackKing .. pcWhiteKing
    void PictureClick(int index);
    void Button2Click();
    // Shows the pictures the board draws with.
    void ShowPictures();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowColors();
    QLabel* PictureLabel(int index) const;

    TBoardPicture& m_picture;
    std::function<void(bool)> m_drawBoard;
};
