#include "gamedb/move_bytes.h"

void AppendMoveByte(TMoveBytes& mb, std::uint8_t b) {
    mb.bytes.push_back(b);
}

bool NextMoveByte(TMoveBytes& mb, std::uint8_t& b) {
    if (mb.pos >= mb.bytes.size()) return false;
    b = mb.bytes[mb.pos++];
    return true;
}
