#include "gamedb/ui/image_control.h"

#include <QMouseEvent>
#include <QPainter>

TImageControl::TImageControl(const QImage& image, QWidget* parent)
    : QWidget(parent), m_shown(&image), m_stretched(true) {
    // The stretched picture covers the whole control.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TImageControl::TImageControl(QSize size, QWidget* parent)
    : QWidget(parent), m_own(size, QImage::Format_RGB32), m_shown(&m_own), m_stretched(false) {
    setFixedSize(size);
    m_own.fill(Qt::gray);
}

void TImageControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_stretched) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), *m_shown);
    } else {
        p.drawImage(0, 0, *m_shown);
    }
}

void TImageControl::mousePressEvent(QMouseEvent* event) {
    const int button = event->button() == Qt::RightButton ? 1 : event->button() == Qt::MiddleButton ? 2 : 0;
    const QPoint pt = event->position().toPoint();
    emit mouseDown(button, pt.x(), pt.y());
    event->accept();
}
