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

int OpenRegularFile(const std::string& path, TIoStatus* status, std::uint64_t* size) {
    auto fail = [&](int err, const char* reason) {
        if (status)
            *status = reason ? TIoStatus::Failure("cannot open " + path + ": " + reason)
                             : TIoStatus::FromErrno("cannot open " + path, err);
        errno = err;
        return -1;
    };
    // O_NONBLOCK only for the open itself: a FIFO or a line would wait there for the other end.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return fail(errno, nullptr);
    struct stat st {};
    int err = ::fstat(fd, &st) == 0 ? 0 : errno;
    const char* reason = nullptr;
    if (err == 0 && !S_ISREG(st.st_mode)) {
        err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        if (err == EINVAL) reason = "not a regular file";
    }
    if (err == 0) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) err = errno;
    }
    if (err != 0) {
        ::close(fd);
        return fail(err, reason);
    }
    if (size) *size = static_cast<std::uint64_t>(st.st_size);
    if (status) *status = {};
    return fd;
}

namespace {

template <class TBuffer> TIoStatus ReadWhole(const std::string& path, TBuffer& data, std::size_t maxBytes) {
    data.clear();
    TIoStatus opened;
    std::uint64_t size = 0;
    const int fd = OpenRegularFile(path, &opened, &size);
    if (fd < 0) return opened;
    if (size > maxBytes) {
        ::close(fd);
        return TIoStatus::Failure(path + " is larger than " + std::to_string(maxBytes) + " bytes");
    }
    data.reserve(static_cast<std::size_t>(size));
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
