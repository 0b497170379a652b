#pragma once
// Names and tags from DOS-era files: text that looks like the DOS Cyrillic code page (CP866) is
// turned into the program's CP1251; anything else is left as it is. Re-entrant.

#include <string>
#include <string_view>

// True when the text's first 255 bytes hold more CP866 letters (bytes 128..175 and 224..241) than
// CP1251 ones (192..255, 168 and 184; bytes 224..239 count for both).
bool IsDosCyrillic(std::string_view text);

// Converts `text` from CP866 to CP1251 when IsDosCyrillic says so, byte by byte: 128..175 add 64,
// 224..239 add 16, 240 becomes 168 ("Ё"), 241 184 ("ё"); every other byte stays as it is (box
// drawing 176..223 and 242..255 too, so CP1251 letters there in a mixed name are kept). Serves long
// texts and length-prefixed short fields alike.
void DosToWinCyrillic(std::string& text);
