#include "gamedb/db_file.h"

#include <cerrno>
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
    auto* p = static_cast<char*>(data);
    while (n > 0) {
        const ssize_t r = ::pread(m_fd, p, n, static_cast<off_t>(offset));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        offset += static_cast<std::uint64_t>(r);
        n -= static_cast<std::size_t>(r);
    }
    return true;
}

bool TDbFile::WriteAt(std::uint64_t offset, const void* data, std::size_t n) {
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t r = ::pwrite(m_fd, p, n, static_cast<off_t>(offset));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        offset += static_cast<std::uint64_t>(r);
        n -= static_cast<std::size_t>(r);
    }
    return true;
}

std::int64_t TDbFile::Size() const {
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return -1;
    return st.st_size;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadWholeFile(const std::string& path, std::string& data) {
    TDbFile f;
    if (!f.Open(path, true)) return false;
    const std::int64_t size = f.Size();
    if (size < 0) return false;
    data.resize(static_cast<std::size_t>(size));
    return size == 0 || f.ReadAt(0, data.data(), data.size());
}

bool ReplaceFile(const std::string& path, const void* data, std::size_t n) {
    const std::string tmp = path + ".tmp";
    mode_t mode = 0666;
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) return false;
    bool ok = true;
    const auto* p = static_cast<const char*>(data);
    while (ok && n > 0) {
        const ssize_t r = ::write(fd, p, n);
        if (r < 0 && errno == EINTR) continue;
        ok = r > 0;
        if (ok) {
            p += r;
            n -= static_cast<std::size_t>(r);
        }
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}
