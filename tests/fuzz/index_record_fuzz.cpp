// Game headers of the index file (".vqb"): 52-byte records, every byte kept as read.
#include "gamedb/game_index_record.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (std::size_t at = 0; at + IndexRecordSize <= size; at += IndexRecordSize) {
        TGameIndexRecord r;
        DecodeIndexRecord(data + at, r);
        // Reserved fields too: a record rewritten unchanged is the same bytes.
        std::uint8_t back[IndexRecordSize];
        EncodeIndexRecord(r, back);
        if (std::memcmp(back, data + at, IndexRecordSize) != 0) std::abort();
        if (!GameResultText(r.result) || !TitleText(r.whiteTitle) || !TitleText(r.blackTitle)) std::abort();
    }
    return 0;
}
