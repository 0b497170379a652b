#pragma once
// Code pages: text in models and files is CP1251 bytes; it becomes Unicode only at a widget.
// Our own tables, no library codec. Re-entrant.

#include <string>
#include <string_view>

// CP1251 bytes to UTF-8. Every byte maps (the one unassigned byte 0x98 becomes U+FFFD).
std::string Cp1251ToUtf8(std::string_view cp1251);
// UTF-8 to CP1251. Characters without a CP1251 byte become '?'; `ok` (if given) says whether all
// characters were representable and the input was valid UTF-8.
std::string Utf8ToCp1251(std::string_view utf8, bool* ok = nullptr);
// UTF-8 to CP1251 with the best fit where CP1251 has no byte: a letter with a diacritic becomes its
// base letter ("très" -> "tres", "ñ" -> "n", "Ł" -> "L"), ligatures and special letters their plain
// spelling ("ß" -> "ss", "Æ" -> "AE", "œ" -> "oe"), typographic signs that CP1251 lacks their plain
// form (figure and minus dashes "-", primes and reversed quotes "'" and '"'), and a combining mark
// (decomposed text) is dropped; '?' only for what has no such form and for ill-formed UTF-8.
// Characters CP1251 has (Cyrillic, its quotes and dashes, "«»") keep their byte. `exact` (if given)
// says whether every character had its own CP1251 byte, `wellFormed` whether the input was valid
// UTF-8. Text from widgets, the clipboard and UTF-8 files is stored through this.
std::string Utf8ToCp1251BestFit(std::string_view utf8, bool* exact = nullptr, bool* wellFormed = nullptr);
// True when `text` is well-formed UTF-8 (stops at the first fault; ASCII is well-formed).
bool IsWellFormedUtf8(std::string_view text);
// Unicode code point of a CP1251 byte.
char32_t Cp1251ToUnicode(unsigned char c);

// Case folding over CP1251: Latin, Cyrillic (including Ё/ё and the other CP1251 letters).
unsigned char Cp1251Lower(unsigned char c);
unsigned char Cp1251Upper(unsigned char c);
std::string Cp1251LowerString(std::string_view s);
// Case-insensitive comparison of CP1251 names: <0, 0, >0.
int Cp1251CompareNoCase(std::string_view a, std::string_view b);
