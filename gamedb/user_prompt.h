#pragma once
// Messages and questions of the database logic, so it runs headless; the shell installs a
// message-box implementation at start-up, tests install scripted answers.
// Texts are CP1251. The prompt is process-wide: install it before any thread uses the store. It is
// called on the thread that works on the database (the autoplay thread too), so an implementation
// that shows windows must hand the text to the interface thread.

#include <string>

class IUserPrompt {
  public:
    virtual ~IUserPrompt() = default;
    // An information or warning box with one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // A confirmation box with OK and Cancel; true for OK.
    virtual bool Confirm(const std::string& text) = 0;
    // A question with Yes and No; true for Yes. Without its own box, the confirmation box.
    virtual bool AskYesNo(const std::string& text) { return Confirm(text); }
};

// The installed prompt; without one, messages go nowhere and every question is answered Cancel.
IUserPrompt& UserPrompt();
// Installs `prompt` (not owned; nullptr restores the silent default).
void SetUserPrompt(IUserPrompt* prompt);
