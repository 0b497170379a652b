#pragma once
// The board image control: shows the 880-pixel board picture stretched to its own size.

#include <QWidget>

class TBoardPicture;

class TBoardImage : public QWidget {
    Q_OBJECT
  public:
    TBoardImage(const TBoardPicture& picture, QWidget* parent = nullptr);

  signals:
    // Button 0 left, 1 right, 2 middle; x and y in control pixels.
    void mouseDown(int button, int x, int y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    const TBoardPicture& m_picture;
};
