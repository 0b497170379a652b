// What the engine libraries hand back: a plug-in's board and move record, its status text, an
// Oskeen move text and a line of its search information. The first byte picks the reader, the
// rest is the reply; each reply is checked against the legal moves of a few fixed positions.
#include "app/core/engine_bridge.h"
#include "app/core/engine_convert.h"
#include "app/core/status_parsers.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace {
// Positions with plain moves, captures and kings for either side.
const std::array<TBoard, 3>& Positions() {
    static const std::array<TBoard, 3> p = [] {
        std::array<TBoard, 3> b{StartPosition64, EmptyBoard, EmptyBoard};
        for (auto [s, v] : {std::pair{24, 2}, {19, -1}, {20, -1}, {27, -1}, {28, -1}, {3, 1}})
            b[1][s] = static_cast<std::int8_t>(v);
        for (auto [s, v] : {std::pair{9, 1}, {10, 1}, {13, -1}, {14, -2}, {30, -1}, {1, 2}})
            b[2][s] = static_cast<std::int8_t>(v);
        return b;
    }();
    return p;
}

// `size` bytes of `data` into a record of type T, zero-filled past the input.
template <class T> T Record(const std::uint8_t* data, std::size_t size) {
    T r{};
    std::memcpy(&r, data, std::min(size, sizeof r));
    return r;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int reader = data[0] % 5;
    const int which = data[1];
    data += 2;
    size -= 2;
    const TBoard& before = Positions()[which % 3];
    const int side = (which / 3) % 2;
    const TGameType variant = (which / 6) % 2 ? gtItalian : gtEnglish;
    TMove move;
    switch (reader) {
    case 0: { // the board a Marrak or Trevalo engine left
        const host_board hb = Record<host_board>(data, size);
        TBoard after;
        HostBoardToBoard(hb, after);
        MatchMoveByResult(before, after, side, variant, move);
        break;
    }
    case 1: { // marrak_italian's move record
        const host_move hm = Record<host_move>(data, size);
        for (bool mirrored : {false, true})
            if (HostMoveToMove(hm, move, mirrored)) MatchLegalMove(before, side, variant, move, move);
        break;
    }
    case 2: { // the status text while a plug-in searches
        std::array<char, StatusTextSize> live{};
        std::memcpy(live.data(), data, std::min(size, live.size()));
        const std::string line = StatusLine(CopyStatusText(live.data()));
        TEngineInfo info;
        ParseMarrakStatus(line, variant, side, info);
        ParseTrevaloStatus(line, info);
        break;
    }
    case 3: { // EI_Think's move text, however long and whether or not it ends
        std::string text(reinterpret_cast<const char*>(data), size);
        text += '\0';
        MatchEngineMoveText(before, side, gtRussian, EngineCString(text.data(), 127), move);
        break;
    }
    default: { // a line of Oskeen's search information
        if (size < 12) return 0;
        std::int32_t v[3];
        std::memcpy(v, data, sizeof v);
        std::string line(reinterpret_cast<const char*>(data + 12), size - 12);
        line += '\0';
        TEngineInfo info;
        ApplyOskeenInfo(info, v[0], v[1], v[2], EngineCString(line.data(), 255), v[0]);
        break;
    }
    }
    return 0;
}
