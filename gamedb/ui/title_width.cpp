#include "gamedb/ui/title_width.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLayout>
#include <QWidget>

#include <algorithm>

namespace {

// Watches one window and widens it when its title needs more.
class TTitleFit final : public QObject {
  public:
    explicit TTitleFit(QWidget& window)
        : QObject(&window), m_window(window), m_ownMinimum(window.minimumWidth()) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window) {
            switch (event->type()) {
            case QEvent::Show:
            case QEvent::WindowTitleChange:
            case QEvent::FontChange:
            case QEvent::LayoutRequest: // after the layout has set its sizes
            case QEvent::Resize:
                Fit();
                break;
            default:
                break;
            }
        }
        return false;
    }

  private:
    void Fit() {
        QWidget& w = m_window;
        const int need = TitleWidth(w);
        if (w.minimumWidth() == w.maximumWidth()) {
            // A fixed width, the window's own (or its layout's) unless it is the one set here.
            if (w.minimumWidth() != m_set) m_ownFixed = w.minimumWidth();
            m_set = std::max(m_ownFixed, need);
            if (w.minimumWidth() != m_set) w.setFixedWidth(m_set);
            return;
        }
        // Only a minimum the layout does not reach already is set; otherwise the layout keeps its own.
        const int layoutMinimum = w.layout() ? w.layout()->totalMinimumSize().width() : 0;
        const int minimum = need > layoutMinimum ? std::max(need, m_ownMinimum) : m_ownMinimum;
        if (minimum != m_set) {
            m_set = minimum;
            w.setMinimumWidth(minimum);
        }
        if (w.isVisible() && w.width() < need) w.resize(need, w.height());
    }

    QWidget& m_window;
    const int m_ownMinimum; // the minimum width the window had set itself
    int m_ownFixed = 0;     // the fixed width the window set itself
    int m_set = -1;         // the width set here last
};

} // namespace

QString ShownWindowTitle(const QWidget& window) {
    const QString title = window.windowTitle();
    const QString name = QGuiApplication::applicationDisplayName();
    if (name.isEmpty() || title.endsWith(name)) return title;
    return title.isEmpty() ? name : title + QString::fromUtf8(" \u2014 ") + name;
}

int TitleWidth(const QWidget& window) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const QFontMetrics metrics(font);
    // The icon, three buttons and the gaps between them, each about a title line high.
    const int frame = 5 * (metrics.height() + 4);
    return metrics.horizontalAdvance(ShownWindowTitle(window)) + frame;
}

void FitWidthToTitle(QWidget& window) {
    window.installEventFilter(new TTitleFit(window));
}
