#include "gamedb/dos_cyrillic.h"

#include <algorithm>

bool IsDosCyrillic(std::string_view text) {
    int dos = 0, win = 0;
    for (const char ch : text.substr(0, std::min<std::size_t>(text.size(), 255))) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 128 && c <= 175) || (c >= 224 && c <= 241)) ++dos;
        if (c >= 192 || c == 168 || c == 184) ++win;
    }
    return win < dos;
}

void DosToWinCyrillic(std::string& text) {
    if (!IsDosCyrillic(text)) return;
    // Byte by byte, not through Unicode: a byte that is no CP866 letter stays, so a CP1251 part of
    // a mixed name keeps what it can.
    for (char& ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 128 && c <= 175)
            ch = static_cast<char>(c + 64);
        else if (c >= 224 && c <= 239)
            ch = static_cast<char>(c + 16);
        else if (c == 240)
            ch = static_cast<char>(168);
        else if (c == 241)
            ch = static_cast<char>(184);
    }
}
