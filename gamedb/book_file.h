#pragma once
// An open opening book file: records of 32 bytes, sorted by (key, side), read with positioned
// reads on a read-only descriptor, so a book on a read-only medium opens and several threads can
// look up at once. Nothing is cached: each step of a search reads one record.
//
// Threads: after Open, every const member may be called from any thread at the same time.

#include "gamedb/book_record.h"
#include "gamedb/db_file.h"

#include <cstdint>
#include <memory>
#include <string>

class TBookFile {
  public:
    // Opens `path` for reading; the record count is its size divided by 32 (a partial record at the
    // end is not read). nullptr, with the system's error text in `error`, when it cannot be opened
    // or is not a regular file.
    static std::unique_ptr<TBookFile> Open(const std::string& path, std::string* error = nullptr);

    std::int64_t RecordCount() const { return m_count; }
    // Record n (1..RecordCount()); false when n is out of range or the read fails.
    bool ReadBookRecord(std::int64_t n, TBookRecord& r) const;
    // The number of the record with this key and side, or 0. A binary search that reads one record
    // a step; on an unsorted file it may miss a record but never reads outside it. A read error
    // counts as not found.
    std::int64_t FindBookPosition(const TPositionKey& key, int side) const;

  private:
    TDbFile m_file;
    std::int64_t m_count = 0;
};
