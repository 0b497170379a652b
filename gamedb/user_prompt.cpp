#include "gamedb/user_prompt.h"

namespace {
class TSilentPrompt final : public IUserPrompt {
  public:
    void ShowMessage(const std::string&) override {}
    bool Confirm(const std::string&) override { return false; }
};
} // namespace

IUserPrompt& SilentPrompt() {
    static TSilentPrompt silent;
    return silent;
}
