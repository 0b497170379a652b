#include "gamedb/move_bytes.h"

void TMoveBytes::Reserve(std::size_t n) {
    if (bytes.size() < n) bytes.resize((n + 999) / 1000 * 1000);
}

void AppendMoveByte(TMoveBytes& mb, std::uint8_t b) {
    if (mb.fill >= mb.bytes.size()) mb.bytes.resize(mb.bytes.size() + 1000);
    mb.bytes[mb.fill++] = b;
}

bool NextMoveByte(TMoveBytes& mb, std::uint8_t& b) {
    if (mb.pos >= mb.fill) return false;
    b = mb.bytes[mb.pos++];
    return true;
}
