// PDN files as the import reads them: the splitter, the tags, the FEN and the move text, in a
// variant chosen by the first byte; and the tag and FEN readers on the raw bytes.
#include "gamedb/fen.h"
#include "gamedb/pdn_export.h"
#include "gamedb/pdn_import.h"

#include <cstdint>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const TGameType variant = static_cast<TGameType>(1 + (size ? data[0] % 7 : 0));
    static auto game = std::make_unique<TGame>();
    TPdnReader reader(text, variant);
    TPdnGameReport report;
    for (int games = 0; games < 10000 && reader.Next(*game, report); ++games) {
        // Whatever was read writes out again and reads back as a game.
        const std::string again = PdnGameText(*game);
        TPdnReader back(again, variant);
        TPdnGameReport backReport;
        auto copy = std::make_unique<TGame>();
        if (!back.Next(*copy, backReport) || copy->header.nodeCount != game->header.nodeCount)
            __builtin_trap();
    }
    std::string key, value;
    ParsePdnTag(text, key, value);
    TBoard board{};
    int side = 0;
    ParseFen(value, board, side, variant);
    return 0;
}
