#include "gamedb/db_file.h"

#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TDbFile& TDbFile::operator=(TDbFile&& o) noexcept {
    if (this != &o) {
        Close();
        m_fd = o.m_fd;
        o.m_fd = -1;
    }
    return *this;
}

bool TDbFile::Open(const std::string& path, bool readOnly) {
    Close();
    m_fd = ::open(path.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    return m_fd >= 0;
}

void TDbFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool TDbFile::ReadAt(std::uint64_t offset, void* data, std::size_t n) const {
    return m_fd >= 0 && PreadAll(m_fd, data, n, offset);
}

bool TDbFile::WriteAt(std::uint64_t offset, const void* data, std::size_t n) {
    return m_fd >= 0 && PwriteAll(m_fd, data, n, offset);
}

std::int64_t TDbFile::Size() const {
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return -1;
    return st.st_size;
}
