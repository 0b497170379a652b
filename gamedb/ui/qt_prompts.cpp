#include "gamedb/ui/qt_prompts.h"

#include "gamedb/ui/title_width.h"
#include "platform/codepage.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

namespace {

QString FromCp1251(const std::string& text) {
    return QString::fromStdString(Cp1251ToUtf8(text));
}

// Runs `f` on the interface thread and returns its result.
template <class F> auto OnInterfaceThread(F f) {
    using R = decltype(f());
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) return f();
    R result{};
    QMetaObject::invokeMethod(
        app, [&] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
}

QMessageBox::StandardButton Ask(const std::string& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton yes) {
    return OnInterfaceThread(
        [&] { return ShowMessageBox(PromptOwner(), QMessageBox::Question, FromCp1251(text), buttons, yes); });
}

std::optional<std::string> RunDialog(QFileDialog& d) {
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    return d.selectedFiles().front().toStdString();
}

} // namespace

QWidget* PromptOwner(QWidget* preferred) {
    if (preferred && preferred->window()->isVisible()) return preferred->window();
    // Right after another dialog closed, the window manager may not have activated the window
    // below it yet: the modal one is the user's.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) return modal;
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible()) return active;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::Window) return w;
    return preferred ? preferred->window() : nullptr;
}

QMessageBox::StandardButton ShowMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, QString(), text, buttons, owner);
    box.setDefaultButton(defaultButton);
    FitWidthToTitle(box);
    if (box.exec() == -1) return QMessageBox::Cancel;
    return box.standardButton(box.clickedButton());
}

void TQtUserPrompt::ShowMessage(const std::string& text) {
    OnInterfaceThread([&] {
        return ShowMessageBox(PromptOwner(), QMessageBox::Information, FromCp1251(text), QMessageBox::Ok,
                              QMessageBox::Ok);
    });
}

bool TQtUserPrompt::Confirm(const std::string& text) {
    return Ask(text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

bool TQtUserPrompt::AskYesNo(const std::string& text) {
    return Ask(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

std::optional<std::string> TQtFileChooser::OpenFile(const std::string& title, const std::string& filter,
                                                    const std::string& folder) {
    QFileDialog d(PromptOwner(), QString::fromStdString(title), QString::fromStdString(folder),
                  QString::fromStdString(filter));
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::AnyFile); // a new database is made by naming it
    return RunDialog(d);
}

std::optional<std::string> TQtFileChooser::SaveFile(const std::string& title, const std::string& filter,
                                                    const std::string& folder) {
    QFileDialog d(PromptOwner(), QString::fromStdString(title), QString::fromStdString(folder),
                  QString::fromStdString(filter));
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setAcceptMode(QFileDialog::AcceptSave);
    return RunDialog(d);
}
