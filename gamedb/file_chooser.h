#pragma once
// The file dialogs of the database commands, behind a small interface so the commands run headless:
// the database window's session carries the one its commands use (the shell gives the window the
// real dialogs at start-up, tests their scripted answers).
// File names are as the file system spells them (UTF-8). Interface thread only.

#include <optional>
#include <string>

class IFileChooser {
  public:
    virtual ~IFileChooser() = default;
    // A file to open (it may not exist yet: the database commands create databases), starting in
    // `folder`; nothing when cancelled. `filter` is "Description (*.ext *.EXT)".
    virtual std::optional<std::string> OpenFile(const std::string& title, const std::string& filter,
                                                const std::string& folder) = 0;
    // A file to write, starting in `folder`; nothing when cancelled.
    virtual std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                                const std::string& folder) = 0;
};

// A chooser whose every dialog is cancelled, for code that was given none. Stateless.
IFileChooser& CancelledFileChooser();
