#include "gif/gif_stream.h"

#include "gif/gif_exception.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::int64_t TStream::Size() {
    const std::int64_t here = Position();
    const std::int64_t end = Seek(0, soEnd);
    SetPosition(here);
    return end;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    if (m_Position >= m_Bytes.size()) return 0;
    const std::size_t n = std::min(count, m_Bytes.size() - m_Position);
    std::memcpy(buffer, m_Bytes.data() + m_Position, n);
    m_Position += n;
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (m_Position == m_Bytes.size()) { // the usual case: appending
        m_Bytes.insert(m_Bytes.end(), bytes, bytes + count);
        m_Position += count;
        return count;
    }
    if (m_Position + count > m_Bytes.size()) m_Bytes.resize(m_Position + count);
    std::memcpy(m_Bytes.data() + m_Position, buffer, count);
    m_Position += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == soCurrent) base = static_cast<std::int64_t>(m_Position);
    if (origin == soEnd) base = static_cast<std::int64_t>(m_Bytes.size());
    m_Position = static_cast<std::size_t>(std::max<std::int64_t>(0, base + offset));
    return static_cast<std::int64_t>(m_Position);
}

void TMemoryStream::Clear() {
    m_Bytes.clear();
    m_Position = 0;
}

namespace {
[[noreturn]] void RaiseCreateError(const std::string& fileName, int err) {
    throw EStreamError("Cannot create file \"" + fileName + "\". " + std::strerror(err));
}
} // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw EStreamError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            throw EStreamError("Cannot read file \"" + fileName + "\". " + std::strerror(err));
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(fd);
    return bytes;
}

void WriteFileAtomically(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
    const std::size_t slash = fileName.find_last_of('/');
    const std::string dir = slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
    std::string temp = dir + ".vqgif-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) RaiseCreateError(fileName, errno);

    // A new file gets the usual permissions, not mkstemp's private ones.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);

    std::size_t done = 0;
    int err = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && std::rename(temp.c_str(), fileName.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        RaiseCreateError(fileName, err);
    }
}
