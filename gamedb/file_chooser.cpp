#include "gamedb/file_chooser.h"

namespace {
class TCancelledChooser final : public IFileChooser {
  public:
    std::optional<std::string> OpenFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> SaveFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

} // namespace

IFileChooser& CancelledFileChooser() {
    static TCancelledChooser cancelled;
    return cancelled;
}
