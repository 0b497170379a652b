#pragma once
// The database logic's message boxes and file dialogs answered by a test: every message and question
// is recorded; questions and file dialogs are answered from queues (Cancel, or nothing chosen, when a
// queue is empty). The test gives it as the prompt of its databases (or the session's database) and
// as the chooser of its session.

#include "gamedb/file_chooser.h"
#include "gamedb/user_prompt.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

class TScriptedDatabasePrompts final : public IUserPrompt, public IFileChooser {
  public:
    TScriptedDatabasePrompts() = default;
    TScriptedDatabasePrompts(const TScriptedDatabasePrompts&) = delete;
    TScriptedDatabasePrompts& operator=(const TScriptedDatabasePrompts&) = delete;

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool Confirm(const std::string& text) override { return Answer(text); }
    bool AskYesNo(const std::string& text) override { return Answer(text); }

    std::optional<std::string> OpenFile(const std::string& title, const std::string& filter,
                                        const std::string& folder) override {
        return Choose(title, filter, folder);
    }
    std::optional<std::string> SaveFile(const std::string& title, const std::string& filter,
                                        const std::string& folder) override {
        return Choose(title, filter, folder);
    }

    std::vector<std::string> messages, questions;
    std::deque<bool> answers;
    std::deque<std::optional<std::string>> files;
    struct TDialog {
        std::string title, filter, folder;
    };
    std::vector<TDialog> dialogs;

  private:
    bool Answer(const std::string& text) {
        questions.push_back(text);
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> Choose(const std::string& title, const std::string& filter,
                                      const std::string& folder) {
        dialogs.push_back({title, filter, folder});
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

} // namespace test_support
