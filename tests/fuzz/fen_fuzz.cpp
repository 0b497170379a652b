// FEN values and tag lines, as a PDN file or the clipboard gives them.
#include "gamedb/fen.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string key, value;
    ParsePdnTag(text, key, value);
    for (TGameType v : {gtRussian, gtEnglish, gtItalian, gtInternational}) {
        TBoard board{};
        int side = 0;
        std::string error;
        ParseFen(text, board, side, v, &error);
        ParseFen(value, board, side, v, &error);
    }
    return 0;
}
