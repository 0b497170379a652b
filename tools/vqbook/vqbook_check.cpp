#include "tools/vqbook/vqbook_check.h"

#include "gamedb/book_comments.h"
#include "gamedb/book_record.h"

#include <cstdio>

namespace {
constexpr std::size_t MaxProblemLines = 20;

std::string Hex(const TPositionKey& key) {
    std::string s;
    char buf[3];
    for (std::uint8_t b : key) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        s += buf;
    }
    return s;
}
} // namespace

TBookCheck CheckBookBytes(const std::vector<std::uint8_t>& bytes) {
    TBookCheck c;
    c.records = static_cast<std::int64_t>(bytes.size() / BookRecordSize);
    c.trailingBytes = static_cast<std::int64_t>(bytes.size() % BookRecordSize);
    auto problem = [&](std::int64_t n, const std::string& what) {
        if (c.problems.size() < MaxProblemLines)
            c.problems.push_back("record " + std::to_string(n) + ": " + what);
    };
    TBookRecord prev, r;
    for (std::int64_t n = 1; n <= c.records; ++n) {
        DecodeBookRecord(bytes.data() + (n - 1) * BookRecordSize, r);
        if (n > 1) {
            const int order = CompareBookPosition(prev, r);
            if (order == 0) {
                ++c.duplicates;
                problem(n, "the same key and side as record " + std::to_string(n - 1));
            } else if (order > 0) {
                ++c.outOfOrder;
                problem(n, "sorts before record " + std::to_string(n - 1));
            }
        }
        if (!IsValidKey(r.key)) {
            ++c.badKeys;
            problem(n, "a key byte above 124");
        }
        if (r.side > 1) {
            ++c.badSides;
            problem(n, "side " + std::to_string(r.side));
        }
        if (r.mark > MaxBookMark) {
            ++c.badMarks;
            problem(n, "mark " + std::to_string(r.mark) + " (read as none)");
        }
        prev = r;
    }
    if (c.trailingBytes)
        problem(c.records + 1, std::to_string(c.trailingBytes) + " bytes of a partial record");
    return c;
}

void DumpBookBytes(const std::vector<std::uint8_t>& bytes, const std::vector<std::string>& comments,
                   std::ostream& out) {
    TBookRecord r;
    for (std::size_t n = 1; n * BookRecordSize <= bytes.size(); ++n) {
        DecodeBookRecord(bytes.data() + (n - 1) * BookRecordSize, r);
        out << n << "  " << Hex(r.key) << "  " << int(r.side) << "  +" << r.result1 << " =" << r.draws << " -"
            << r.result3 << "  " << int(r.mark);
        if (r.mark <= MaxBookMark && *BookMarkSymbols[r.mark]) out << " (" << BookMarkSymbols[r.mark] << ')';
        if (r.comment) out << "  comment " << r.comment << ": " << BookCommentLine(comments, r.comment);
        out << '\n';
    }
}
