#include "gif/gif_file_stream.h"

#include "gif/gif_exception.h"

#include "platform/file_io.h"
#include "platform/io_status.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Enough for the header at either place it may stand; the window doubles from here.
constexpr std::size_t FirstWindow = 32;
constexpr std::size_t LargestWindow = 64 * 1024;
constexpr std::size_t KeptBytes = 16;

std::atomic<std::int64_t> FileBytesRead{0};
} // namespace

std::int64_t GIFFileBytesRead() {
    return FileBytesRead.load();
}

TGIFFileStream::TGIFFileStream(const std::string& fileName)
    : m_FileName(fileName), m_NextWindow(FirstWindow) {
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer; it
    // changes nothing for the regular file that is all this stream reads.
    m_Fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_Fd < 0) throw EStreamError(TIoStatus::FromErrno("cannot open " + fileName, errno).Message());
    struct stat st {};
    if (::fstat(m_Fd, &st) != 0) {
        const int err = errno;
        ::close(m_Fd);
        throw EStreamError(TIoStatus::FromErrno("cannot open " + fileName, err).Message());
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(m_Fd);
        throw EStreamError("cannot open " + fileName + ": not a regular file");
    }
}

TGIFFileStream::~TGIFFileStream() {
    ::close(m_Fd);
}

std::size_t TGIFFileStream::ReadFile(void* buffer, std::size_t count, std::int64_t at) {
    const long long got = PreadUpTo(m_Fd, buffer, count, static_cast<std::uint64_t>(at));
    if (got < 0) throw EStreamError(TIoStatus::FromErrno("cannot read " + m_FileName, errno).Message());
    FileBytesRead += got;
    return static_cast<std::size_t>(got);
}

std::size_t TGIFFileStream::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::int64_t offset = m_Position - m_WindowStart;
        if (offset >= 0 && offset < static_cast<std::int64_t>(m_Window.size())) {
            const std::size_t n = std::min(count - done, m_Window.size() - static_cast<std::size_t>(offset));
            std::memcpy(out + done, m_Window.data() + offset, n);
            done += n;
            m_Position += static_cast<std::int64_t>(n);
            continue;
        }
        // A request as large as the next window goes straight to the caller's buffer.
        if (count - done >= m_NextWindow) {
            const std::size_t n = ReadFile(out + done, count - done, m_Position);
            done += n;
            m_Position += static_cast<std::int64_t>(n);
            break;
        }
        // Reading on from the window's end keeps its last bytes, so the reader's usual step back
        // of a byte or two never reads the file again.
        std::size_t kept = 0;
        if (offset == static_cast<std::int64_t>(m_Window.size()) && !m_Window.empty()) {
            kept = std::min(m_Window.size(), KeptBytes);
            m_Window.erase(m_Window.begin(), m_Window.end() - static_cast<std::ptrdiff_t>(kept));
        } else {
            m_Window.clear();
        }
        m_WindowStart = m_Position - static_cast<std::int64_t>(kept);
        m_Window.resize(kept + m_NextWindow);
        const std::size_t got = ReadFile(m_Window.data() + kept, m_NextWindow, m_Position);
        m_Window.resize(kept + got);
        m_NextWindow = std::min(m_NextWindow * 2, LargestWindow);
        if (got == 0) break; // the end of the file
    }
    return done;
}

std::size_t TGIFFileStream::Write(const void*, std::size_t) {
    throw EStreamError("Invalid stream operation");
}

std::int64_t TGIFFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = m_Position;
    if (origin == soBeginning) base = 0;
    if (origin == soEnd) {
        struct stat st {};
        if (::fstat(m_Fd, &st) != 0)
            throw EStreamError(TIoStatus::FromErrno("cannot read " + m_FileName, errno).Message());
        base = st.st_size;
    }
    m_Position = std::max<std::int64_t>(0, base + offset);
    return m_Position;
}
