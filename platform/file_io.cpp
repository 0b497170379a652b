#include "platform/file_io.h"

#include "platform/file_calls.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool PreadAll(int fd, void* data, std::size_t size, std::uint64_t offset) {
    const long long got = PreadUpTo(fd, data, size, offset);
    if (got < 0) return false;
    if (static_cast<std::size_t>(got) < size) {
        errno = 0;
        return false;
    }
    return true;
}

long long PreadUpTo(int fd, void* data, std::size_t size, std::uint64_t offset) {
    auto* p = static_cast<unsigned char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, p + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(done);
}

bool PwriteAll(int fd, const void* data, std::size_t size, std::uint64_t offset) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t put = SysPwrite(fd, p, size, static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return false;
        if (put == 0) { // never for a regular file; stop rather than spin
            errno = EIO;
            return false;
        }
        p += put;
        size -= static_cast<std::size_t>(put);
        offset += static_cast<std::uint64_t>(put);
    }
    return true;
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t put = SysWrite(fd, p, size);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return false;
        if (put == 0) {
            errno = EIO;
            return false;
        }
        p += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

namespace {

template <class TBuffer> TIoStatus ReadWhole(const std::string& path, TBuffer& data, std::size_t maxBytes) {
    data.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return TIoStatus::FromErrno("cannot open " + path, errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
            ::close(fd);
            return TIoStatus::Failure(path + " is larger than " + std::to_string(maxBytes) + " bytes");
        }
        data.reserve(static_cast<std::size_t>(st.st_size));
    }
    // To the end, whatever the size said: a file may grow or report no size at all.
    unsigned char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int err = errno;
            ::close(fd);
            data.clear();
            return TIoStatus::FromErrno("cannot read " + path, err);
        }
        if (got == 0) break;
        if (data.size() + static_cast<std::size_t>(got) > maxBytes) {
            ::close(fd);
            data.clear();
            return TIoStatus::Failure(path + " is larger than " + std::to_string(maxBytes) + " bytes");
        }
        data.insert(data.end(), chunk, chunk + got);
    }
    ::close(fd);
    return {};
}

} // namespace

TIoStatus ReadWholeFile(const std::string& path, std::string& data, std::size_t maxBytes) {
    return ReadWhole(path, data, maxBytes);
}

TIoStatus ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& data, std::size_t maxBytes) {
    return ReadWhole(path, data, maxBytes);
}

bool RegularFileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
