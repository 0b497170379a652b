#include "gamedb/dos_cyrillic.h"

#include "platform/codepage.h"

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
    if (IsDosCyrillic(text)) text = Cp866ToCp1251(text);
}
