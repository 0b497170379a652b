// The name file (".vqn"): player, tournament and site names, one a line.
#include "gamedb/game_database.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TGameDatabase db;
    ParseNameFile(std::string(reinterpret_cast<const char*>(data), size), db);
    // What is written reads back as the same lists.
    const std::string written = FormatNameFile(db);
    TGameDatabase again;
    ParseNameFile(written, again);
    if (FormatNameFile(again) != written) std::abort();
    for (const TNameList* list : {&db.players, &db.tournaments, &db.sites})
        for (std::size_t i = 0; i < list->Size() && i < 1000; ++i) {
            const std::string& name = (*list)[i];
            if (name.size() > MaxNameLength) std::abort();
            // Found at its own place or at an earlier spelling of it.
            const std::uint32_t found = list->Find(name);
            if (i < MaxNamesPerList && (found == NoName || found > i)) std::abort();
        }
    return 0;
}
