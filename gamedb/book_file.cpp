#include "gamedb/book_file.h"

#include "platform/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<TBookFile> TBookFile::Open(const std::string& path, std::string* error) {
    const int fd = OpenRegularFile(path); // never waits on a FIFO; a folder or device is refused
    if (fd < 0) {
        if (error) *error = errno == EINVAL ? "not a regular file" : std::strerror(errno);
        return nullptr;
    }
    struct stat st;
    int err = ::fstat(fd, &st) == 0 ? 0 : errno;
    if (err == 0 && !S_ISREG(st.st_mode)) err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    auto book = std::unique_ptr<TBookFile>(new TBookFile);
    if (err == 0) {
        book->m_count = st.st_size / BookRecordSize;
        book->m_mapped = static_cast<std::size_t>(book->m_count) * BookRecordSize;
        if (book->m_mapped > 0) {
            void* p = ::mmap(nullptr, book->m_mapped, PROT_READ, MAP_SHARED, fd, 0);
            if (p == MAP_FAILED) {
                err = errno;
                book->m_mapped = 0;
            } else {
                book->m_bytes = static_cast<const std::uint8_t*>(p);
            }
        }
    }
    if (err != 0) {
        ::close(fd);
        if (error) *error = std::strerror(err);
        return nullptr;
    }
    book->m_fd = fd;
    return book;
}

TBookFile::~TBookFile() {
    if (m_bytes) ::munmap(const_cast<std::uint8_t*>(m_bytes), m_mapped);
    if (m_fd >= 0) ::close(m_fd);
}

bool TBookFile::Whole() const {
    if (m_mapped == 0) return true;
    struct stat st;
    return ::fstat(m_fd, &st) == 0 && st.st_size >= static_cast<off_t>(m_mapped);
}

bool TBookFile::ReadBookRecord(std::int64_t n, TBookRecord& r) const {
    if (n < 1 || n > m_count) return false;
    DecodeBookRecord(Record(n), r);
    return true;
}

std::int64_t TBookFile::FindBookPosition(const TPositionKey& key, int side) const {
    if (m_count == 0) return 0;
    // Compares the stored bytes where they lie: key bytes 0..16, then the side byte.
    auto less = [&](std::int64_t n) {
        const std::uint8_t* rec = Record(n);
        if (const int c = std::memcmp(rec, key.data(), key.size())) return c < 0;
        return rec[17] < side;
    };
    std::int64_t lo = 1, hi = m_count;
    while (hi > lo) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (less(mid))
            lo = mid + 1;
        else
            hi = mid;
    }
    const std::uint8_t* rec = Record(lo);
    return std::memcmp(rec, key.data(), key.size()) == 0 && rec[17] == side ? lo : 0;
}
