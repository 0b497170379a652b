#include "edbforge/tables.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace edb {

std::size_t table_bytes(const material& m) {
    return static_cast<std::size_t>((idx::class_size(m) + 3) / 4);
}

table& table_set::create(const material& m, std::uint8_t fill) {
    auto t = std::make_unique<table>(table_bytes(m), fill);
    table& ref = *t;
    put(m, std::move(t));
    return ref;
}

std::string file_name(const material& m) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d%d%d%d%d.ed", m.pieces(), m.wk, m.bk, m.wm, m.bm);
    return buf;
}

load_result read_table_file(const std::string& name, std::size_t bytes, table& out) {
    const int fd = ::open(name.c_str(), O_RDONLY);
    // A file that does not open is left alone: the class is generated.
    if (fd < 0) return load_result::missing;
    out.assign(bytes, 0);
    std::size_t got = 0;
    bool ok = true;
    while (got < bytes) {
        const ssize_t n = ::read(fd, out.data() + got, bytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    // A longer file is not a table of this class either.
    std::uint8_t extra;
    if (ok && ::read(fd, &extra, 1) != 0) ok = false;
    ::close(fd);
    // A written table never holds an unknown entry.
    for (std::size_t i = 0; ok && i < bytes; ++i)
        if (out[i] & (out[i] >> 1) & 0x55) ok = false;
    if (!ok) out.clear();
    return ok ? load_result::loaded : load_result::unreadable;
}

bool write_all(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string write_table_file(const std::string& name, const table& t) {
    const std::string tmp = name + ".tmp";
    ::unlink(tmp.c_str());
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return std::strerror(errno);
    std::string error;
    if (!write_all(fd, t.data(), t.size()) || ::fsync(fd) != 0) error = std::strerror(errno);
    if (::close(fd) != 0 && error.empty()) error = std::strerror(errno);
    if (error.empty() && ::rename(tmp.c_str(), name.c_str()) != 0) error = std::strerror(errno);
    if (!error.empty()) ::unlink(tmp.c_str());
    return error;
}

} // namespace edb
