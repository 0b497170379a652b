#include "gamedb/user_prompt.h"

#include <atomic>

namespace {
class TSilentPrompt final : public IUserPrompt {
  public:
    void ShowMessage(const std::string&) override {}
    bool Confirm(const std::string&) override { return false; }
};

TSilentPrompt SilentPrompt;
std::atomic<IUserPrompt*> Installed{nullptr};
} // namespace

IUserPrompt& UserPrompt() {
    IUserPrompt* p = Installed.load();
    return p ? *p : SilentPrompt;
}

void SetUserPrompt(IUserPrompt* prompt) {
    Installed.store(prompt);
}
