#pragma once
// Messages and questions of the database logic, so it runs headless: whoever opens a database or
// starts a command gives it the prompt to use (the shell its message boxes, tests scripted answers,
// tools their console). Texts are CP1251. A prompt is called on the thread that works on the
// database (the autoplay thread too), so an implementation that shows windows must hand the text to
// the interface thread.

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

// A prompt for work that was given none: messages go nowhere and every question is answered
// Cancel. Stateless: any thread may use it.
IUserPrompt& SilentPrompt();
