// Opening book files and their comment files, as a user's disk gives them. The input is one byte
// choosing the variant, a 16-bit little-endian length, that many bytes of ".cbn" text, and then
// the book's bytes. The book is listed at the start position and at the positions its first
// records hold, and merged as a rebuild would merge it: the merged book must be sorted, each pair
// once.

#include "gamedb/book_builder.h"
#include "gamedb/book_comments.h"
#include "gamedb/book_file.h"
#include "gamedb/book_moves.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The book as a file of its own, in memory.
std::unique_ptr<TBookFile> OpenInMemory(const std::uint8_t* data, std::size_t size) {
    const int fd = memfd_create("book", MFD_CLOEXEC);
    if (fd < 0) return nullptr;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    auto book = TBookFile::Open("/proc/self/fd/" + std::to_string(fd));
    close(fd);
    return book;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const TGameType variant = static_cast<TGameType>(data[0] % 7 + 1);
    std::size_t cbnLength = data[1] | (data[2] << 8);
    data += 3;
    size -= 3;
    if (cbnLength > size) cbnLength = size;
    const std::vector<std::string> comments =
        ParseBookComments(std::string_view(reinterpret_cast<const char*>(data), cbnLength));
    if (comments.size() > MaxBookCommentLines) std::abort();
    data += cbnLength;
    size -= cbnLength;

    auto book = OpenInMemory(data, size);
    if (!book || book->RecordCount() != static_cast<std::int64_t>(size / BookRecordSize)) std::abort();
    TBookMoveList list;
    for (int side : {0, 1})
        ListBookMoves(book.get(), comments, StartPositionOf(variant), side, variant, ":", list);
    for (std::int64_t n = 1; n <= book->RecordCount() && n <= 8; ++n) {
        TBookRecord r;
        TBoard board;
        if (!book->ReadBookRecord(n, r)) std::abort();
        if (!IsValidKey(r.key, SquaresOf(variant)) || !KeyToPosition(r.key, board)) continue;
        ListBookMoves(book.get(), comments, board, r.side & 1, variant, "x", list);
        if (list.rows.size() > MaxBookMoveRows) std::abort();
        for (const TBookMoveRow& row : list.rows)
            if (row.moveNumber < 1 || row.moveNumber > static_cast<int>(list.legalMoves.size()) ||
                row.mark > 7 || row.share > 100 || row.score > 100)
                std::abort();
    }

    TBookBuilder builder;
    builder.AddFileRecords(data, size / BookRecordSize);
    const std::vector<std::uint8_t> merged = builder.Finish();
    TBookRecord prev, r;
    for (std::size_t at = 0; at + BookRecordSize <= merged.size(); at += BookRecordSize) {
        DecodeBookRecord(merged.data() + at, r);
        if ((at > 0 && CompareBookPosition(prev, r) >= 0) || r.mark > MaxBookMark) std::abort();
        prev = r;
    }
    return 0;
}
