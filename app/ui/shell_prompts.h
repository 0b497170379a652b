#pragma once
// The message boxes and choosers that the shell's dialogs use, behind a small interface so that
// tests answer them. User-interface thread only.

#include <QString>
#include <cstdint>
#include <optional>

class QWidget;

class IShellPrompts {
  public:
    virtual ~IShellPrompts() = default;
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    // A file to open, or nothing when cancelled.
    virtual std::optional<QString> OpenFile(QWidget* parent, const QString& filter,
                                            const QString& folder) = 0;
    // The same with a title of its own.
    virtual std::optional<QString> OpenFileTitled(QWidget* parent, const QString& title,
                                                  const QString& filter, const QString& folder) {
        (void)title;
        return OpenFile(parent, filter, folder);
    }
    // A file to write, or nothing when cancelled. A name typed without an extension gets
    // defaultSuffix; replacing an existing file is confirmed by the user first.
    virtual std::optional<QString> SaveFile(QWidget* parent, const QString& title, const QString& filter,
                                            const QString& folder, const QString& defaultSuffix) = 0;
    // A Windows colour value, or nothing when cancelled.
    virtual std::optional<std::uint32_t> ChooseColor(QWidget* parent, std::uint32_t initial) = 0;
    // Opens a mailto: or http: address with the desktop's default program.
    virtual void OpenUrl(const QString& url) = 0;
};

// The real dialogs. Replaced by tests through SetShellPrompts.
IShellPrompts& ShellPrompts();
void SetShellPrompts(IShellPrompts* prompts); // nullptr restores the real dialogs
