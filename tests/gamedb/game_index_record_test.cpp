// The 52-byte index record: each field at its offset, little-endian.

#include "gamedb/game_index_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

TEST(IndexRecord, FieldsSitAtTheirOffsets) {
    struct TField {
        const char* name;
        int offset, width;
        std::function<void(TGameIndexRecord&, std::uint32_t)> set;
    };
    const TField fields[] = {
        {"white", 0, 2, [](auto& r, auto v) { r.white = std::uint16_t(v); }},
        {"whiteTitle", 2, 1, [](auto& r, auto v) { r.whiteTitle = std::uint8_t(v); }},
        {"reserved3", 3, 1, [](auto& r, auto v) { r.reserved3 = std::uint8_t(v); }},
        {"whiteRating", 4, 2, [](auto& r, auto v) { r.whiteRating = std::uint16_t(v); }},
        {"whiteCountry", 6, 1, [](auto& r, auto v) { r.whiteCountry = std::uint8_t(v); }},
        {"reserved7", 7, 1, [](auto& r, auto v) { r.reserved7 = std::uint8_t(v); }},
        {"black", 8, 2, [](auto& r, auto v) { r.black = std::uint16_t(v); }},
        {"blackTitle", 10, 1, [](auto& r, auto v) { r.blackTitle = std::uint8_t(v); }},
        {"reserved11", 11, 1, [](auto& r, auto v) { r.reserved11 = std::uint8_t(v); }},
        {"blackRating", 12, 2, [](auto& r, auto v) { r.blackRating = std::uint16_t(v); }},
        {"blackCountry", 14, 1, [](auto& r, auto v) { r.blackCountry = std::uint8_t(v); }},
        {"reserved15", 15, 1, [](auto& r, auto v) { r.reserved15 = std::uint8_t(v); }},
        {"annotator", 16, 2, [](auto& r, auto v) { r.annotator = std::uint16_t(v); }},
        {"tournament", 18, 2, [](auto& r, auto v) { r.tournament = std::uint16_t(v); }},
        {"site", 20, 2, [](auto& r, auto v) { r.site = std::uint16_t(v); }},
        {"round", 22, 1, [](auto& r, auto v) { r.round = std::uint8_t(v); }},
        {"subround", 23, 1, [](auto& r, auto v) { r.subround = std::uint8_t(v); }},
        {"day", 24, 1, [](auto& r, auto v) { r.day = std::uint8_t(v); }},
        {"month", 25, 1, [](auto& r, auto v) { r.month = std::uint8_t(v); }},
        {"year", 26, 2, [](auto& r, auto v) { r.year = std::uint16_t(v); }},
        {"flags", 28, 1, [](auto& r, auto v) { r.flags = std::uint8_t(v); }},
        {"reserved29", 29, 1, [](auto& r, auto v) { r.reserved29 = std::uint8_t(v); }},
        {"nodeToShow", 30, 2, [](auto& r, auto v) { r.nodeToShow = std::uint16_t(v); }},
        {"startSide", 32, 1, [](auto& r, auto v) { r.startSide = std::uint8_t(v); }},
        {"variant", 33, 1, [](auto& r, auto v) { r.variant = std::uint8_t(v); }},
        {"result", 34, 1, [](auto& r, auto v) { r.result = std::uint8_t(v); }},
        {"moveNumberOffset", 35, 1, [](auto& r, auto v) { r.moveNumberOffset = std::uint8_t(v); }},
        {"nodeCount", 36, 2, [](auto& r, auto v) { r.nodeCount = std::uint16_t(v); }},
        {"fullMoves", 38, 2, [](auto& r, auto v) { r.fullMoves = std::uint16_t(v); }},
        {"offset", 40, 4, [](auto& r, auto v) { r.offset = v; }},
        {"length", 44, 4, [](auto& r, auto v) { r.length = v; }},
        {"reserved48", 48, 2, [](auto& r, auto v) { r.reserved48 = std::uint16_t(v); }},
        {"reserved50", 50, 2, [](auto& r, auto v) { r.reserved50 = std::uint16_t(v); }},
    };
    int covered = 0;
    for (const auto& f : fields) {
        SCOPED_TRACE(f.name);
        covered += f.width;
        const std::uint32_t value = f.width == 1 ? 0xA5 : f.width == 2 ? 0xA1B2 : 0xA1B2C3D4;
        TGameIndexRecord r{};
        r.variant = 0; // all bytes zero but the field under test
        f.set(r, value);
        std::uint8_t bytes[IndexRecordSize];
        EncodeIndexRecord(r, bytes);
        for (int i = 0; i < IndexRecordSize; ++i) {
            const bool inField = i >= f.offset && i < f.offset + f.width;
            const std::uint8_t want = inField ? std::uint8_t(value >> (8 * (i - f.offset))) : 0;
            EXPECT_EQ(bytes[i], want) << "byte " << i;
        }
        TGameIndexRecord back;
        DecodeIndexRecord(bytes, back);
        EXPECT_EQ(back, r);
    }
    EXPECT_EQ(covered, IndexRecordSize);
}

TEST(IndexRecord, ResultAndTitleTexts) {
    const char* results[] = {"*", "1-0", "=", "0-1", "1-0t", "0-1t"};
    for (int i = 0; i < 6; ++i)
        EXPECT_STREQ(GameResultText(i), results[i]);
    EXPECT_STREQ(GameResultText(6), "*");
    const char* titles[] = {"", "IG", "G", "IM", "M", "C", "1", "2", "3", "4"};
    for (int i = 0; i < 10; ++i)
        EXPECT_STREQ(TitleText(i), titles[i]);
    EXPECT_STREQ(TitleText(10), "");
}
