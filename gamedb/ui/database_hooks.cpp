#include "gamedb/ui/database_hooks.h"

#include "rules/variant_state.h"

#include <QFontDialog>

#include <filesystem>

namespace {

TDatabaseHooks Defaults() {
    TDatabaseHooks h;
    h.appDir = [] {
        std::error_code ec;
        std::string dir = std::filesystem::current_path(ec).string();
        if (dir.empty() || dir.back() != '/') dir += '/';
        return dir;
    };
    h.chooseFont = [](QWidget* parent, const QFont& initial) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, initial, parent);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };
    h.currentVariant = [] { return CurrentVariant.load(); };
    return h;
}

TDatabaseHooks& Registered() {
    static TDatabaseHooks hooks = Defaults();
    return hooks;
}

} // namespace

TDatabaseHooks& DatabaseHooks() {
    return Registered();
}

void ResetDatabaseHooks() {
    Registered() = Defaults();
}
