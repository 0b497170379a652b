#include "app/core/engine_choice.h"

#include "app/core/engine_bridge.h"

#include <algorithm>

namespace {
const char* const kVantorLong = "Vantor Quillan 2.0";
const char* const kVantorShort = "Vantor 2.0";
} // namespace

std::vector<TEngineListItem> EngineListItems(TGameType variant, const TEngineAvailability& engines) {
    std::vector<TEngineListItem> items{{kVantorLong, ekVantor, kVantorLong, kVantorShort}};
    switch (variant) {
    case gtRussian: {
        const bool named = engines.available[ekOskeen] && !engines.oskeenName.empty();
        const std::string name = named ? engines.oskeenName : std::string(DefaultOskeenName);
        items.push_back({name, ekOskeen, name, name});
        break;
    }
    case gtEnglish:
        items.push_back({"Trevalo Dunmere 1.09", ekTrevalo, "Trevalo Dunmere 1.09b", "Trevalo D 1.09"});
        items.push_back({"Marrak 1.15", ekMarrak, "Marrak 1.15v", "Marrak 1.15"});
        break;
    case gtItalian:
        items.push_back({"Marrak 1.15", ekMarrakItalian, "Marrak Italian 1.15", "Marrak 1.15"});
        break;
    default:
        break;
    }
    return items;
}

TEngineChoice SelectEngineForVariant(const TEngineOptionSettings& options, TGameType variant, int level,
                                     const TEngineAvailability& engines) {
    TEngineChoice c;
    TEngineSettings& s = c.settings;
    s.MaxDepth = 255;
    s.Kind = ekVantor;
    s.LongName = kVantorLong;
    s.ShortName = kVantorShort;
    s.Level = static_cast<std::uint8_t>(std::clamp(level, 0, 4));
    if (IsValidVariant(variant)) {
        const std::vector<TEngineListItem> items = EngineListItems(variant, engines);
        const int selected = options.engine[variant - 1];
        if (selected > 0 && selected < static_cast<int>(items.size()) &&
            engines.available[items[selected].kind]) {
            const TEngineListItem& item = items[selected];
            s.Kind = item.kind;
            s.LongName = item.longName.substr(0, EngineNameLimit);
            s.ShortName = item.shortName.substr(0, EngineNameLimit);
        }
    }
    c.levelsEnabled = s.Kind == ekVantor;
    return c;
}

bool FollowEngineChoice(TGame& game, const std::string& before, const std::string& after) {
    if (game.header.nodeCount != 0 || before.empty() || before == after) return false;
    bool changed = false;
    for (std::string* side : {&game.white, &game.black})
        if (*side == before) {
            *side = after;
            changed = true;
        }
    return changed;
}

int FreeMemoryMB(std::uint64_t totalPhysicalBytes) {
    const std::uint64_t mb = totalPhysicalBytes / 1024 / 1024 / 2;
    return static_cast<int>(std::min<std::uint64_t>(mb, 0x7FFFFFFF));
}

bool MemoryFits(const TEngineOptionSettings& o, int freeMB) {
    const std::int64_t sum = std::int64_t(o.vantorMemory) + o.oskeenMemory + o.trevaloMemory +
                             o.marrakMemory + o.marrakItalianMemory;
    return sum <= freeMB;
}
