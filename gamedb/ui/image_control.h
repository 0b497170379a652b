#pragma once
// A control that shows an image and reports mouse presses, for the main window's board and the
// search dialog's pattern board. It shows either an image its owner keeps, stretched to the
// control, or an image of its own at its own size, which its owner draws into.
// Interface thread only.

#include <QImage>
#include <QWidget>

class TImageControl : public QWidget {
    Q_OBJECT
  public:
    // Shows `image`, which outlives the control, stretched to the control's size.
    TImageControl(const QImage& image, QWidget* parent);
    // Shows an image of its own, `size` pixels and grey at first; the control keeps that size.
    TImageControl(QSize size, QWidget* parent);

    // The image shown.
    const QImage& Image() const { return *m_shown; }

  signals:
    // Button 0 left, 1 right, 2 middle; x and y in control pixels.
    void mouseDown(int button, int x, int y);

  protected:
    // The control's own image (the second constructor).
    QImage& OwnImage() { return m_own; }
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QImage m_own;
    const QImage* m_shown;
    bool m_stretched;
};
