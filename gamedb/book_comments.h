#pragma once
// The comment file of an opening book (".cbn", next to the book): CP1251 text whose line n
// (counted from 0) comments the positions whose records carry comment number n.
// Pure functions and one file read; any thread.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Comment numbers are 16-bit: lines past 65,535 can never be shown and are not kept.
constexpr std::size_t MaxBookCommentLines = 65536;

// The lines of the text, ended by CR, LF or CR LF; a last line without an end counts, an empty
// text has no lines. Bytes are kept as they stand (CP1251).
std::vector<std::string> ParseBookComments(std::string_view text);

// The comment file's name for a book: the book's name without its extension, plus ".cbn".
std::string BookCommentFileName(const std::string& bookFileName);

// Line `n`, or empty when the list is shorter (a comment number the file does not reach).
const std::string& BookCommentLine(const std::vector<std::string>& lines, std::size_t n);
