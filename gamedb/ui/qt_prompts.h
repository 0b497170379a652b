#pragma once
// The real message boxes and file dialogs behind the database logic's IUserPrompt and IFileChooser,
// which the shell gives the database window at start-up. Messages may come from another thread (the autoplay
// thread's database): they are shown on the interface thread, and the caller waits for the answer.

#include "gamedb/file_chooser.h"
#include "gamedb/user_prompt.h"

#include <QMessageBox>

// The window a message box or file dialog belongs to, so that the window manager keeps it over that
// window and gives the focus back to it: the window of `preferred` when that is shown, else the
// window the user works in (the topmost modal window, the active window, or a shown main window).
// A box without an owner would float free of the program's windows.
QWidget* PromptOwner(QWidget* preferred = nullptr);

// A message box of the program over `owner` (PromptOwner), with no title of its own (the window
// manager shows the program's name) and as wide as that title; the button pressed, Cancel when the
// box was closed otherwise.
QMessageBox::StandardButton ShowMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton);

class TQtUserPrompt final : public IUserPrompt {
  public:
    void ShowMessage(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
};

// Dialogs of the toolkit's own kind (the same on every desktop). OpenFile also takes a name that
// does not exist yet.
class TQtFileChooser final : public IFileChooser {
  public:
    std::optional<std::string> OpenFile(const std::string& title, const std::string& filter,
                                        const std::string& folder) override;
    std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                        const std::string& folder) override;
};
