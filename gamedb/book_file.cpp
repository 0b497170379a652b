#include "gamedb/book_file.h"

#include <cerrno>
#include <cstring>

std::unique_ptr<TBookFile> TBookFile::Open(const std::string& path, std::string* error) {
    auto book = std::unique_ptr<TBookFile>(new TBookFile);
    if (!book->m_file.Open(path, true)) {
        if (error) *error = std::strerror(errno);
        return nullptr;
    }
    const std::int64_t size = book->m_file.Size();
    if (size < 0) {
        if (error) *error = std::strerror(errno);
        return nullptr;
    }
    if (!FileExists(path)) { // a folder opens read-only too, but holds no records
        if (error) *error = std::strerror(EISDIR);
        return nullptr;
    }
    book->m_count = size / BookRecordSize;
    return book;
}

bool TBookFile::ReadBookRecord(std::int64_t n, TBookRecord& r) const {
    if (n < 1 || n > m_count) return false;
    std::uint8_t bytes[BookRecordSize];
    if (!m_file.ReadAt(static_cast<std::uint64_t>(n - 1) * BookRecordSize, bytes, BookRecordSize))
        return false;
    DecodeBookRecord(bytes, r);
    return true;
}

std::int64_t TBookFile::FindBookPosition(const TPositionKey& key, int side) const {
    if (m_count == 0) return 0;
    std::int64_t lo = 1, hi = m_count;
    TBookRecord r;
    while (hi > lo) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (!ReadBookRecord(mid, r)) return 0;
        if (CompareBookPosition(r.key, r.side, key, side) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (!ReadBookRecord(lo, r)) return 0;
    return r.key == key && r.side == side ? lo : 0;
}
