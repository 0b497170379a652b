#pragma once
// One QApplication for the Qt tests of this executable (offscreen platform).

#include "tests/support/wait.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

inline void EnsureQtApp() {
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv); // lives to the end of the process, like the program's
}

// Runs `d` modally, does `action` once its loop runs, and returns the modal result. A dialog that
// does not close within the watchdog's limit gives -1 instead of hanging the test.
inline int RunModal(QDialog* d, const std::function<void()>& action) {
    QTimer act, guard;
    act.setSingleShot(true);
    guard.setSingleShot(true);
    QObject::connect(&act, &QTimer::timeout, action);
    QObject::connect(&guard, &QTimer::timeout, d, [d] { d->done(-1); });
    act.start(0);
    guard.start(test_support::WatchdogLimit);
    return d->exec();
}

// Runs `action` once `d`, which the next call shows modally, is visible. A dialog that never got
// its action is closed with -1 at the watchdog's limit instead of hanging the test; once the action
// ran, the guard is off, so that it cannot close a later showing of the same dialog.
inline void WhenShown(QDialog* d, std::function<void()> action) {
    auto* poll = new QTimer(d);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, d, [d, poll, action] {
        if (!d->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start();
    QTimer::singleShot(test_support::WatchdogLimit, poll, [d] {
        if (d->isVisible()) d->done(-1);
    });
}

#include <QCoreApplication>
#include <QDir>
#include <cstdlib>
#include <string>

// The run directory of this build (build/run next to build/tests), or VQ_RUN_DIR when set.
inline std::string RunDir() {
    if (const char* env = std::getenv("VQ_RUN_DIR"); env && *env) return env;
    EnsureQtApp();
    return QDir(QCoreApplication::applicationDirPath() + "/../run").absolutePath().toStdString();
}
