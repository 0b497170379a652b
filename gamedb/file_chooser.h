#pragma once
// The file dialogs of the database commands, behind a small interface so the commands run headless;
// the shell installs the real dialogs at start-up, tests install scripted answers.
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

// The installed chooser; without one every dialog is cancelled.
IFileChooser& FileChooser();
// Installs `chooser` (not owned; nullptr restores the default).
void SetFileChooser(IFileChooser* chooser);
