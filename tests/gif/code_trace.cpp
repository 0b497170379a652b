#include "code_trace.h"

TCodeTrace TraceCodes(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    TCodeTrace t;
    t.CodeSize = bytes.at(at++);
    std::vector<std::uint8_t> data;
    for (;;) {
        const int n = bytes.at(at++);
        if (n == 0) break;
        t.SubBlockSizes.push_back(n);
        data.insert(data.end(), bytes.begin() + static_cast<long>(at),
                    bytes.begin() + static_cast<long>(at + n));
        at += static_cast<std::size_t>(n);
    }
    t.End = at;
    const int clear = 1 << t.CodeSize, end = clear + 1;
    int width = t.CodeSize + 1, next = clear + 2;
    bool first = true;
    std::size_t bit = 0;
    while (bit + static_cast<std::size_t>(width) <= data.size() * 8) {
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
        t.Codes.push_back(code);
        t.MaxWidth = std::max(t.MaxWidth, width);
        if (code == clear) {
            t.HighestDefinedAtClear.push_back(next - 1);
            width = t.CodeSize + 1;
            next = clear + 2;
            first = true;
            continue;
        }
        if (code == end) break;
        if (code > next || (first && code >= clear)) {
            t.Fault = "code " + std::to_string(code) + " not yet defined (next " + std::to_string(next) + ")";
            break;
        }
        if (!first && next < 4096) {
            ++next;
            if (next == (1 << width) && width < 12) ++width;
        }
        first = false;
    }
    return t;
}
