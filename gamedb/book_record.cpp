#include "gamedb/book_record.h"

#include "platform/byte_codec.h"

#include <cstring>

const char* const BookMarkSymbols[MaxBookMark + 1] = {"#", "!!", "!", "!?", "", "?!", "?", "??"};

void EncodeBookRecord(const TBookRecord& r, std::uint8_t* out) {
    std::memcpy(out, r.key.data(), r.key.size());
    out[17] = r.side;
    PutLe16(out + 18, r.result1);
    PutLe16(out + 20, r.draws);
    PutLe16(out + 22, r.result3);
    PutLe16(out + 24, static_cast<std::uint16_t>(r.low));
    PutLe16(out + 26, static_cast<std::uint16_t>(r.high));
    out[28] = r.mark;
    out[29] = r.reserved;
    PutLe16(out + 30, r.comment);
}

void DecodeBookRecord(const std::uint8_t* in, TBookRecord& r) {
    std::memcpy(r.key.data(), in, r.key.size());
    r.side = in[17];
    r.result1 = GetLe16(in + 18);
    r.draws = GetLe16(in + 20);
    r.result3 = GetLe16(in + 22);
    r.low = static_cast<std::int16_t>(GetLe16(in + 24));
    r.high = static_cast<std::int16_t>(GetLe16(in + 26));
    r.mark = in[28];
    r.reserved = in[29];
    r.comment = GetLe16(in + 30);
}

int CompareBookPosition(const TPositionKey& a, int sideA, const TPositionKey& b, int sideB) {
    if (const int c = std::memcmp(a.data(), b.data(), a.size())) return c;
    return (sideA > sideB) - (sideA < sideB);
}
