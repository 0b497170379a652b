// The plug-in engines' progress lines, as the engines write them into the status buffer.
#include "app/core/status_parsers.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
bool SameInfo(const TEngineInfo& a, const TEngineInfo& b) {
    return a.Depth == b.Depth && a.Time == b.Time && a.Speed == b.Speed && a.BestLine == b.BestLine &&
           a.Score == b.Score && a.Bound == b.Bound;
}

// Every text field is cut from the line, so none is longer than it.
void CheckFields(const TEngineInfo& info, std::size_t lineSize) {
    for (const std::string* s : {&info.Depth, &info.Time, &info.Speed, &info.BestLine})
        if (s->size() > lineSize) std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The buffer as the engine leaves it: its bytes, the rest zero, no terminator promised.
    TStatusText text{};
    std::copy_n(data, std::min(size, text.size()), reinterpret_cast<std::uint8_t*>(text.data()));
    const std::string line = StatusLine(text);
    if (line.size() > 255) std::abort();

    TSavedStatusText saved;
    if (!saved.Changed(text) && text != TStatusText{}) std::abort();
    if (saved.Changed(text)) std::abort();

    for (TGameType variant : {gtEnglish, gtItalian}) {
        for (int side : {0, 1}) {
            TEngineInfo info;
            info.Depth = "unchanged";
            const TEngineInfo before = info;
            if (!ParseMarrakStatus(line, variant, side, info) && !SameInfo(info, before)) std::abort();
            CheckFields(info, std::max(line.size(), before.Depth.size()));
        }
    }
    TEngineInfo info;
    info.Depth = "unchanged";
    const TEngineInfo before = info;
    if (!ParseTrevaloStatus(line, info) && !SameInfo(info, before)) std::abort();
    CheckFields(info, std::max(line.size(), before.Depth.size()));
    return 0;
}
