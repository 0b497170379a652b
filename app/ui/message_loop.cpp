#include "app/ui/message_loop.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {

// Ends the loop once the watched window has taken its close: after its close handler has run,
// and only when the window really went away.
class TQuitWithWindow final : public QObject {
  public:
    explicit TQuitWithWindow(QWidget& window) : m_window(&window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::Close) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!m_window || !m_window->isVisible()) QCoreApplication::quit();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

  private:
    QPointer<QWidget> m_window;
};

} // namespace

int RunMessageLoop(QWidget& mainWindow) {
    // Qt's own rule would end the program when the last shown window closes, and while the
    // database window runs the main window is hidden: every box closed there would end it.
    const bool quitOnLast = QApplication::quitOnLastWindowClosed();
    const bool quitLock = QCoreApplication::isQuitLockEnabled();
    QApplication::setQuitOnLastWindowClosed(false);
    QCoreApplication::setQuitLockEnabled(false);
    TQuitWithWindow watcher(mainWindow);
    mainWindow.installEventFilter(&watcher);
    const int rc = QApplication::exec();
    mainWindow.removeEventFilter(&watcher);
    QApplication::setQuitOnLastWindowClosed(quitOnLast);
    QCoreApplication::setQuitLockEnabled(quitLock);
    return rc;
}
