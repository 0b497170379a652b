#pragma once
// What vqbook prints about a book file: one line per record, and a check of the file's order.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct TBookCheck {
    std::int64_t records = 0;
    std::int64_t trailingBytes = 0;    // a partial record at the end
    std::int64_t outOfOrder = 0;       // records not above the one before
    std::int64_t duplicates = 0;       // records with the same key and side as the one before
    std::int64_t badKeys = 0;          // a key byte above 124
    std::int64_t badSides = 0;         // a side byte other than 0 and 1
    std::int64_t badMarks = 0;         // a mark above 7 (read as none)
    std::vector<std::string> problems; // the first few, with their record numbers

    // Sorted by (key, side), each pair once, whole records.
    bool Sound() const { return trailingBytes == 0 && outOfOrder == 0 && duplicates == 0; }
};

TBookCheck CheckBookBytes(const std::vector<std::uint8_t>& bytes);
// "n  key  side  +1-0 =draw -0-1  mark  comment" per record; `comments` are the ".cbn" lines.
void DumpBookBytes(const std::vector<std::uint8_t>& bytes, const std::vector<std::string>& comments,
                   std::ostream& out);
