#include "gamedb/game_index_record.h"

namespace {
void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint16_t Get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t Get32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
} // namespace

const char* GameResultText(int result) {
    static const char* const texts[] = {"*", "1-0", "=", "0-1", "1-0t", "0-1t"};
    return result >= 0 && result <= 5 ? texts[result] : "*";
}

const char* TitleText(int index) {
    static const char* const titles[] = {"", "IG", "G", "IM", "M", "C", "1", "2", "3", "4"};
    return index >= 0 && index <= 9 ? titles[index] : "";
}

void EncodeIndexRecord(const TGameIndexRecord& r, std::uint8_t* p) {
    Put16(p + 0, r.white);
    p[2] = r.whiteTitle;
    p[3] = r.reserved3;
    Put16(p + 4, r.whiteRating);
    p[6] = r.whiteCountry;
    p[7] = r.reserved7;
    Put16(p + 8, r.black);
    p[10] = r.blackTitle;
    p[11] = r.reserved11;
    Put16(p + 12, r.blackRating);
    p[14] = r.blackCountry;
    p[15] = r.reserved15;
    Put16(p + 16, r.annotator);
    Put16(p + 18, r.tournament);
    Put16(p + 20, r.site);
    p[22] = r.round;
    p[23] = r.subround;
    p[24] = r.day;
    p[25] = r.month;
    Put16(p + 26, r.year);
    p[28] = r.flags;
    p[29] = r.reserved29;
    Put16(p + 30, r.nodeToShow);
    p[32] = r.startSide;
    p[33] = r.variant;
    p[34] = r.result;
    p[35] = r.moveNumberOffset;
    Put16(p + 36, r.nodeCount);
    Put16(p + 38, r.fullMoves);
    Put32(p + 40, r.offset);
    Put32(p + 44, r.length);
    Put16(p + 48, r.reserved48);
    Put16(p + 50, r.reserved50);
}

void DecodeIndexRecord(const std::uint8_t* p, TGameIndexRecord& r) {
    r.white = Get16(p + 0);
    r.whiteTitle = p[2];
    r.reserved3 = p[3];
    r.whiteRating = Get16(p + 4);
    r.whiteCountry = p[6];
    r.reserved7 = p[7];
    r.black = Get16(p + 8);
    r.blackTitle = p[10];
    r.reserved11 = p[11];
    r.blackRating = Get16(p + 12);
    r.blackCountry = p[14];
    r.reserved15 = p[15];
    r.annotator = Get16(p + 16);
    r.tournament = Get16(p + 18);
    r.site = Get16(p + 20);
    r.round = p[22];
    r.subround = p[23];
    r.day = p[24];
    r.month = p[25];
    r.year = Get16(p + 26);
    r.flags = p[28];
    r.reserved29 = p[29];
    r.nodeToShow = Get16(p + 30);
    r.startSide = p[32];
    r.variant = p[33];
    r.result = p[34];
    r.moveNumberOffset = p[35];
    r.nodeCount = Get16(p + 36);
    r.fullMoves = Get16(p + 38);
    r.offset = Get32(p + 40);
    r.length = Get32(p + 44);
    r.reserved48 = Get16(p + 48);
    r.reserved50 = Get16(p + 50);
}
