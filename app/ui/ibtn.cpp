#include "app/ui/ibtn.h"

#include <QMouseEvent>

IBtn::IBtn(QWidget* parent) : QLabel(parent) {
    resize(80, 25);
}

void IBtn::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    if (m_down) return; // a second button while one is held does not shift again
    m_down = true;
    move(x() + MoveRight, y() + MoveDown);
}

void IBtn::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (!m_down) return;
    m_down = false;
    move(x() - MoveRight, y() - MoveDown);
    // The shifted control still holds the pointer when it is released over it.
    if (rect().contains(event->position().toPoint())) emit clicked();
}
