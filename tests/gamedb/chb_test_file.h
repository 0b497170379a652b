#pragma once
// CHB records for tests and benchmarks, written from the format's byte table: fields at their
// offsets, little-endian, and move codes from squares by this file's own coordinate arithmetic
// (independent of the importer's decoder).

#include "rules/board.h"
#include "rules/game.h"
#include "rules/move.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace chb_test {

using Record = std::array<std::uint8_t, 700>;

inline void Put(Record& r, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes)
        r.at(at++) = b;
}
inline void PutU16(Record& r, std::size_t at, unsigned v) {
    r.at(at) = static_cast<std::uint8_t>(v & 0xFF);
    r.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}
// A length byte and the characters.
inline void PutText(Record& r, std::size_t at, std::string_view s) {
    r.at(at) = static_cast<std::uint8_t>(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        r.at(at + 1 + i) = static_cast<std::uint8_t>(s[i]);
}

// Row and column 1..8 of an 8x8 square seen from side 0: squares 1-4 on row 1 at columns 1, 3, 5,
// 7; squares 5-8 on row 2 at columns 2, 4, 6, 8; and so on.
inline int RowOf(int square) {
    return (square - 1) / 4 + 1;
}
inline int ColOf(int square) {
    return 2 * ((square - 1) % 4) + 1 + (RowOf(square) % 2 == 0 ? 1 : 0);
}

// Origin row - 1 in bits 9-12, origin column - 1 in 6-8, destination row - 1 in 3-5, column - 1 in 0-2.
inline std::uint16_t CodeOf(int from, int to) {
    return static_cast<std::uint16_t>(((RowOf(from) - 1) << 9) | ((ColOf(from) - 1) << 6) |
                                      ((RowOf(to) - 1) << 3) | (ColOf(to) - 1));
}
inline std::uint16_t CodeOf(const TMove& m) {
    return CodeOf(m.from, m.To());
}

// A record of a game from `start` with `startSide` to move: names cut to their fields, the key's
// first 11 bytes, the codes (at most 255; `plies` may claim fewer or more), unread bytes 0xEE.
struct TGameRecord {
    std::string white = "White", black = "Black", tournament = "Test";
    TBoard start = StartPosition64;
    int startSide = 0;
    std::vector<std::uint16_t> codes;
    int plies = -1; // -1: the number of codes
    std::uint8_t result = 0;
};

inline Record MakeRecord(const TGameRecord& g) {
    Record r{};
    for (std::size_t at : {45, 46, 47, 48, 94, 95, 96, 97, 152, 154, 681, 682, 683, 684})
        r[at] = 0xEE;
    for (std::size_t at = 687; at < 700; ++at)
        r[at] = 0xEE;
    PutText(r, 0, std::string_view(g.white).substr(0, 20));
    PutText(r, 49, std::string_view(g.black).substr(0, 20));
    PutText(r, 98, std::string_view(g.tournament).substr(0, 50));
    r[157] = static_cast<std::uint8_t>(g.startSide);
    r[158] = static_cast<std::uint8_t>(g.plies >= 0 ? g.plies : static_cast<int>(g.codes.size()));
    TPositionKey key;
    PositionToKey(g.start, key);
    for (int i = 0; i < 11; ++i)
        r[159 + i] = key[i];
    for (std::size_t k = 0; k < g.codes.size() && k < 255; ++k)
        PutU16(r, 170 + 2 * k, g.codes[k]);
    r[680] = g.result;
    return r;
}

inline void WriteRecords(const std::string& path, const std::vector<Record>& records,
                         std::size_t extraBytes = 0) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const Record& r : records)
        out.write(reinterpret_cast<const char*>(r.data()), static_cast<std::streamsize>(r.size()));
    const std::string tail(extraBytes, '\x55');
    out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
}

// A record 0 that is not a game.
inline Record JunkRecord() {
    Record r;
    for (std::size_t i = 0; i < r.size(); ++i)
        r[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return r;
}

// The main line of a game as a record: its start key and side, the codes of its moves (names and
// the rest as TGameRecord's defaults).
inline TGameRecord RecordOfMainLine(const TGame& g) {
    TGameRecord r;
    KeyToPosition(g.startKey, r.start);
    r.startSide = g.header.startSide;
    for (int node = 0;;) {
        const TNodeList children = ListChildNodes(node, g);
        if (children.empty()) break;
        node = children[0];
        r.codes.push_back(CodeOf(g.nodes[node]));
    }
    return r;
}

} // namespace chb_test
