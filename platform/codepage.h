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
// CP866 (DOS Cyrillic) bytes to CP1251; characters CP1251 lacks (box drawing) become '?'.
std::string Cp866ToCp1251(std::string_view cp866);
// Unicode code point of a CP1251 byte.
char32_t Cp1251ToUnicode(unsigned char c);

// Case folding over CP1251: Latin, Cyrillic (including Ё/ё and the other CP1251 letters).
unsigned char Cp1251Lower(unsigned char c);
unsigned char Cp1251Upper(unsigned char c);
std::string Cp1251LowerString(std::string_view s);
// Case-insensitive comparison of CP1251 names: <0, 0, >0.
int Cp1251CompareNoCase(std::string_view a, std::string_view b);
