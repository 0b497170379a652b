#include "gamedb/book_record.h"

#include <cstring>

const char* const BookMarkSymbols[MaxBookMark + 1] = {"#", "!!", "!", "!?", "", "?!", "?", "??"};

namespace {
void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v & 0xFF);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
std::uint16_t Get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
} // namespace

void EncodeBookRecord(const TBookRecord& r, std::uint8_t* out) {
    std::memcpy(out, r.key.data(), r.key.size());
    out[17] = r.side;
    Put16(out + 18, r.result1);
    Put16(out + 20, r.draws);
    Put16(out + 22, r.result3);
    Put16(out + 24, static_cast<std::uint16_t>(r.low));
    Put16(out + 26, static_cast<std::uint16_t>(r.high));
    out[28] = r.mark;
    out[29] = r.reserved;
    Put16(out + 30, r.comment);
}

void DecodeBookRecord(const std::uint8_t* in, TBookRecord& r) {
    std::memcpy(r.key.data(), in, r.key.size());
    r.side = in[17];
    r.result1 = Get16(in + 18);
    r.draws = Get16(in + 20);
    r.result3 = Get16(in + 22);
    r.low = static_cast<std::int16_t>(Get16(in + 24));
    r.high = static_cast<std::int16_t>(Get16(in + 26));
    r.mark = in[28];
    r.reserved = in[29];
    r.comment = Get16(in + 30);
}

int CompareBookPosition(const TPositionKey& a, int sideA, const TPositionKey& b, int sideB) {
    if (const int c = std::memcmp(a.data(), b.data(), a.size())) return c;
    return (sideA > sideB) - (sideA < sideB);
}
