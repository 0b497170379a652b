#pragma once
// An open opening book file: records of 32 bytes, sorted by (key, side), mapped read-only, so a
// book on a read-only medium opens, several threads look up at once, and a lookup costs no system
// call. Nothing is copied: each step of a search reads one record where it lies. The program
// replaces a book by renaming a new file over it, which leaves a mapped book intact; a file cut
// short in place (another program copying over it) would fault on the lost pages, so readers ask
// Whole() before a lookup.
//
// Threads: after Open, every const member may be called from any thread at the same time.

#include "gamedb/book_record.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class TBookFile {
  public:
    // Opens `path` for reading; the record count is its size divided by 32 (a partial record at the
    // end is not read). nullptr, with the system's error text in `error`, when it cannot be opened
    // or is not a regular file.
    static std::unique_ptr<TBookFile> Open(const std::string& path, std::string* error = nullptr);
    ~TBookFile();
    TBookFile(const TBookFile&) = delete;
    TBookFile& operator=(const TBookFile&) = delete;

    std::int64_t RecordCount() const { return m_count; }
    // False once the file has become shorter than it was when opened: its records may no longer be
    // read. One system call; a lookup asks once before its reads.
    bool Whole() const;
    // Record n (1..RecordCount()); false when n is out of range.
    bool ReadBookRecord(std::int64_t n, TBookRecord& r) const;
    // The number of the record with this key and side, or 0. A binary search that reads one record
    // a step; on an unsorted file it may miss a record but never reads outside it.
    std::int64_t FindBookPosition(const TPositionKey& key, int side) const;

  private:
    TBookFile() = default;
    const std::uint8_t* Record(std::int64_t n) const { return m_bytes + (n - 1) * BookRecordSize; }

    const std::uint8_t* m_bytes = nullptr;
    std::size_t m_mapped = 0;
    int m_fd = -1; // kept open to see the file's size
    std::int64_t m_count = 0;
};
