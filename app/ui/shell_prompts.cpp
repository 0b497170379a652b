#include "app/ui/shell_prompts.h"

#include "app/core/shell_state.h"
#include "gamedb/ui/qt_prompts.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

namespace {
class TQtPrompts : public IShellPrompts {
  public:
    void ShowMessage(QWidget* parent, const QString& text) override {
        ShowMessageBox(PromptOwner(parent), QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
    }
    std::optional<QString> OpenFile(QWidget* parent, const QString& filter, const QString& folder) override {
        return OpenFileTitled(parent, QString(), filter, folder);
    }
    std::optional<QString> OpenFileTitled(QWidget* parent, const QString& title, const QString& filter,
                                          const QString& folder) override {
        const QString f = QFileDialog::getOpenFileName(PromptOwner(parent), title, folder, filter);
        return f.isEmpty() ? std::nullopt : std::optional<QString>(f);
    }
    std::optional<QString> SaveFile(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& folder, const QString& defaultSuffix) override {
        QFileDialog dialog(PromptOwner(parent), title, folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().front();
    }
    std::optional<std::uint32_t> ChooseColor(QWidget* parent, std::uint32_t initial) override {
        const TRgb rgb = ColorToRgb(initial);
        const QColor c = QColorDialog::getColor(QColor(rgb.r, rgb.g, rgb.b), PromptOwner(parent));
        if (!c.isValid()) return std::nullopt;
        return RgbToColor(c.red(), c.green(), c.blue());
    }
    void OpenUrl(const QString& url) override { QDesktopServices::openUrl(QUrl(url)); }
};

TQtPrompts g_qtPrompts;
IShellPrompts* g_prompts = &g_qtPrompts;
} // namespace

IShellPrompts& ShellPrompts() {
    return *g_prompts;
}
void SetShellPrompts(IShellPrompts* prompts) {
    g_prompts = prompts ? prompts : &g_qtPrompts;
}
