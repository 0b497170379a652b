#include "app/ui/board_image.h"

#include "app/ui/board_picture.h"

#include <QMouseEvent>
#include <QPainter>

TBoardImage::TBoardImage(const TBoardPicture& picture, QWidget* parent)
    : QWidget(parent), m_picture(picture) {
    setObjectName("BoardImage");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TBoardImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), m_picture.Image());
}

void TBoardImage::mousePressEvent(QMouseEvent* event) {
    const int button = event->button() == Qt::RightButton ? 1 : event->button() == Qt::MiddleButton ? 2 : 0;
    const QPoint pt = event->position().toPoint();
    emit mouseDown(button, pt.x(), pt.y());
}
