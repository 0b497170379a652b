#include "gamedb/game_index_record.h"

#include "platform/byte_codec.h"

#include <type_traits>

const char* TitleText(int index) {
    static const char* const titles[] = {"", "IG", "G", "IM", "M", "C", "1", "2", "3", "4"};
    return index >= 0 && index <= 9 ? titles[index] : "";
}

namespace {

// Every field of the record at its offset, in one place for the encoder and the decoder.
template <class TRecord, class TVisit> void VisitFields(TRecord& r, TVisit visit) {
    visit(0, r.white);
    visit(2, r.whiteTitle);
    visit(3, r.reserved3);
    visit(4, r.whiteRating);
    visit(6, r.whiteCountry);
    visit(7, r.reserved7);
    visit(8, r.black);
    visit(10, r.blackTitle);
    visit(11, r.reserved11);
    visit(12, r.blackRating);
    visit(14, r.blackCountry);
    visit(15, r.reserved15);
    visit(16, r.annotator);
    visit(18, r.tournament);
    visit(20, r.site);
    visit(22, r.round);
    visit(23, r.subround);
    visit(24, r.day);
    visit(25, r.month);
    visit(26, r.year);
    visit(28, r.flags);
    visit(29, r.reserved29);
    visit(30, r.nodeToShow);
    visit(32, r.startSide);
    visit(33, r.variant);
    visit(34, r.result);
    visit(35, r.moveNumberOffset);
    visit(36, r.nodeCount);
    visit(38, r.fullMoves);
    visit(40, r.offset);
    visit(44, r.length);
    visit(48, r.reserved48);
    visit(50, r.reserved50);
}

template <class T> void Put(std::uint8_t* p, T v) {
    if constexpr (sizeof(T) == 1)
        *p = v;
    else if constexpr (sizeof(T) == 2)
        PutLe16(p, v);
    else
        PutLe32(p, v);
}

template <class T> T Get(const std::uint8_t* p) {
    if constexpr (sizeof(T) == 1)
        return *p;
    else if constexpr (sizeof(T) == 2)
        return GetLe16(p);
    else
        return GetLe32(p);
}

} // namespace

void EncodeIndexRecord(const TGameIndexRecord& r, std::uint8_t* p) {
    VisitFields(r, [p](int at, auto v) { Put(p + at, v); });
}

void DecodeIndexRecord(const std::uint8_t* p, TGameIndexRecord& r) {
    VisitFields(r, [p](int at, auto& v) { v = Get<std::remove_reference_t<decltype(v)>>(p + at); });
}
