#pragma once
// A user at the keyboard, for window tests that run the program's own message loop: steps taken one
// after another, each once the window it needs is shown and holds the focus; keys go to the widget
// that has the focus, as the window system sends them. A step whose window never comes stops the
// script after the watchdog time: every dialog is closed, then the main window, so the loop ends and
// the test fails naming the step it waited for.

#include "tests/support/wait.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class TUserScript : public QObject {
  public:
    explicit TUserScript(QWidget& mainWindow) : m_main(mainWindow) {
        m_poll.setInterval(5);
        connect(&m_poll, &QTimer::timeout, this, [this] { Poll(); });
    }

    // A step: what it waits for (in failure messages), when it can act, and what it does. The act
    // runs from the event loop, so it may open a modal window and wait in it like a user's click.
    void Then(std::string what, std::function<bool()> ready, std::function<void()> act) {
        m_steps.push_back({std::move(what), std::move(ready), std::move(act)});
    }
    // Starts watching; the steps run once the message loop runs.
    void Start() {
        m_waiting.start();
        m_poll.start();
    }
    bool Finished() const { return m_next == m_steps.size(); }
    // The step waited for when the loop ended, or "" once every step was taken.
    std::string Waiting() const {
        return Finished() ? std::string()
                          : m_steps[m_next].what + (m_shown.empty() ? "" : " (" + m_shown + ")");
    }

    // The widget keys go to: the one with the focus, or the active window itself when none has it.
    static QWidget* KeyTarget() {
        QWidget* w = QApplication::focusWidget();
        return w ? w : QApplication::activeWindow();
    }
    // The window the keyboard works in: the topmost modal window, else the main window, when shown,
    // active and enabled (a command that runs disables its window; a user waits for it).
    static QWidget* KeyboardWindow() {
        QWidget* target = KeyTarget();
        if (!target || !target->isVisible() || !target->isEnabled()) return nullptr;
        QWidget* w = target->window();
        if (!w->isEnabled()) return nullptr;
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != w) return nullptr;
        return w;
    }
    // The window of type T that the keyboard works in, or nullptr.
    template <class T> static T* Active() { return qobject_cast<T*>(KeyboardWindow()); }

    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(KeyTarget(), key, modifiers);
    }
    static void Type(const QString& text) { QTest::keyClicks(KeyTarget(), text); }

  private:
    struct TStep {
        std::string what;
        std::function<bool()> ready;
        std::function<void()> act;
    };

    void Poll() {
        if (Finished()) {
            m_poll.stop();
            return;
        }
        StandInForTheWindowManager();
        TStep& step = m_steps[m_next];
        if (step.ready()) {
            ++m_next;
            m_waiting.start();
            // From a timer of its own: an act that waits in a modal window leaves this one polling.
            QTimer::singleShot(0, this, step.act);
        } else if (m_waiting.elapsed() > std::chrono::milliseconds(test_support::WatchdogLimit).count()) {
            GiveUp();
        }
    }
    // A window manager gives the focus to the window below one that closed; the offscreen platform
    // may leave none active.
    static void StandInForTheWindowManager() {
        if (QApplication::activeWindow() && QApplication::activeWindow()->isVisible()) return;
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->isVisible() && !top->parentWidget() && top->windowType() == Qt::Window) w = top;
        }
        if (!w || !w->isVisible()) return;
        w->activateWindow();
        // The platform may still count the window as focused from before and ignore the request.
        QApplication::setActiveWindow(w);
    }
    static std::string Name(const QObject* o) {
        return o ? std::string(o->metaObject()->className()) + " " + o->objectName().toStdString() : "none";
    }
    void GiveUp() {
        m_shown = "given up; active window: " + Name(QApplication::activeWindow()) +
                  ", focus: " + Name(QApplication::focusWidget()) +
                  ", modal: " + Name(QApplication::activeModalWidget());
        m_poll.stop();
        for (int i = 0; i < 20; ++i) {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d) break;
            d->done(-1);
        }
        QTimer::singleShot(0, &m_main, [this] { m_main.close(); });
    }

    QWidget& m_main;
    std::vector<TStep> m_steps;
    std::size_t m_next = 0;
    QTimer m_poll;
    QElapsedTimer m_waiting;
    std::string m_shown;
};
