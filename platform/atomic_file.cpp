#include "platform/atomic_file.h"

#include "platform/file_calls.h"
#include "platform/file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Six characters that differ between calls, threads and processes. O_EXCL makes a clash harmless:
// the caller just draws again.
std::string UniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    unsigned long long x = static_cast<unsigned long long>(ts.tv_nsec) ^
                           static_cast<unsigned long long>(::getpid()) << 20 ^
                           static_cast<unsigned long long>(counter.fetch_add(1)) << 40;
    x *= 0x9E3779B97F4A7C15ull;
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string s(6, '0');
    for (char& c : s) {
        c = digits[(x >> 58) % 36];
        x *= 0x9E3779B97F4A7C15ull;
        x ^= x >> 29;
    }
    return s;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

} // namespace

int SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int err = 0;
    if (SysFsync(fd) != 0 && errno != EINVAL && errno != EROFS) err = errno;
    ::close(fd);
    return err;
}

std::string FolderOfFile(const std::string& path) {
    return FolderOf(path);
}

TAtomicFileWriter::TAtomicFileWriter(TAtomicFileWriter&& other) noexcept
    : m_name(std::move(other.m_name)), m_target(std::move(other.m_target)), m_temp(std::move(other.m_temp)),
      m_fd(other.m_fd), m_end(other.m_end), m_replaced(other.m_replaced),
      m_status(std::move(other.m_status)) {
    other.m_fd = -1;
    other.m_temp.clear();
}

TAtomicFileWriter& TAtomicFileWriter::operator=(TAtomicFileWriter&& other) noexcept {
    if (this != &other) {
        Discard();
        m_name = std::move(other.m_name);
        m_target = std::move(other.m_target);
        m_temp = std::move(other.m_temp);
        m_fd = other.m_fd;
        m_end = other.m_end;
        m_replaced = other.m_replaced;
        m_status = std::move(other.m_status);
        other.m_fd = -1;
        other.m_temp.clear();
    }
    return *this;
}

TIoStatus TAtomicFileWriter::Fail(const std::string& what, int err) {
    m_status = TIoStatus::FromErrno(what, err);
    return m_status;
}

TIoStatus TAtomicFileWriter::Open(const std::string& path) {
    Discard();
    m_name = path;
    m_target = path;
    m_end = 0;
    m_replaced = false;
    m_status = {};
    if (path.empty()) {
        m_status = TIoStatus::Failure("no file name given");
        return m_status;
    }

    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // Rewrite what the link names, so the link itself survives.
        char resolved[PATH_MAX];
        if (!::realpath(path.c_str(), resolved)) return Fail("cannot follow the link " + path, errno);
        m_target = resolved;
    }
    bool exists = false;
    if (::stat(m_target.c_str(), &st) == 0) {
        exists = true;
        if (S_ISDIR(st.st_mode)) {
            m_status = TIoStatus::Failure(path + " is a folder, not a file: it is left as it is");
            return m_status;
        }
        if (!S_ISREG(st.st_mode)) {
            m_status = TIoStatus::Failure(path + " is not a regular file (a device, pipe or socket): "
                                                 "it is left as it is");
            return m_status;
        }
    } else if (errno != ENOENT) {
        return Fail("cannot examine " + path, errno);
    }

    // The temporary name: the target's own, cut so that a long name still leaves room for the
    // suffix within the system's limit of 255 bytes a name.
    const std::size_t slash = m_target.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string stem =
        m_target.substr(0, nameStart + std::min<std::size_t>(m_target.size() - nameStart, 200));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = stem + ".tmp-" + UniqueSuffix();
        // 0666 less the umask, as any new file; the old file's bits are set below.
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_fd = fd;
            m_temp = temp;
            break;
        }
        if (errno != EEXIST) return Fail("cannot create a temporary file beside " + path, errno);
    }
    if (m_fd < 0) return Fail("cannot create a temporary file beside " + path, EEXIST);

    if (exists) {
        // The owner only matters when someone else's file is rewritten (as root); best effort.
        if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
            ::fchown(m_fd, st.st_uid, st.st_gid) != 0) {
            // Not ours to give away: the new file stays the writer's.
        }
        if (::fchmod(m_fd, st.st_mode & 07777) != 0) {
            const int err = errno;
            Discard();
            return Fail("cannot keep the permissions of " + path, err);
        }
    }
    return m_status;
}

TIoStatus TAtomicFileWriter::Write(const void* data, std::size_t size) {
    return WriteAt(m_end, data, size);
}

TIoStatus TAtomicFileWriter::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
    if (!m_status) return m_status;
    if (m_fd < 0) {
        m_status = TIoStatus::Failure("cannot write " + m_name + ": the file is not open");
        return m_status;
    }
    if (!PwriteAll(m_fd, data, size, offset)) return Fail("cannot write " + m_name, errno);
    m_end = std::max<std::uint64_t>(m_end, offset + size);
    return m_status;
}

TIoStatus TAtomicFileWriter::Commit() {
    if (m_fd < 0 && m_status)
        m_status = TIoStatus::Failure("cannot write " + m_name + ": the file is not open");
    if (!m_status) {
        const TIoStatus failed = m_status;
        Discard();
        return failed;
    }
    if (SysFsync(m_fd) != 0) {
        const int err = errno;
        Discard();
        return Fail("cannot write " + m_name, err);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        const int err = errno;
        Discard();
        return Fail("cannot write " + m_name, err);
    }
    if (SysRename(m_temp.c_str(), m_target.c_str()) != 0) {
        const int err = errno;
        Discard();
        return Fail("cannot replace " + m_name, err);
    }
    m_temp.clear();
    m_replaced = true;
    if (const int err = SyncFolder(FolderOf(m_target)); err != 0)
        return Fail("cannot sync the folder of " + m_name, err);
    return m_status;
}

void TAtomicFileWriter::Discard() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (!m_temp.empty()) SysUnlink(m_temp.c_str());
    m_temp.clear();
}

TIoStatus AtomicWriteFile(const std::string& path, const void* data, std::size_t size, bool* replaced) {
    if (replaced) *replaced = false;
    TAtomicFileWriter writer;
    if (TIoStatus s = writer.Open(path); !s) return s;
    if (TIoStatus s = writer.Write(data, size); !s) return s;
    const TIoStatus s = writer.Commit();
    if (replaced) *replaced = writer.Replaced();
    return s;
}
