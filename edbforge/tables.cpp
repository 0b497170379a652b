#include "edbforge/tables.h"

#include "platform/atomic_file.h"
#include "platform/file_io.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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
    const int fd = OpenRegularFile(name); // never waits on a FIFO
    // A file that does not open is left alone: the class is generated. A folder or device of that
    // name is no table.
    if (fd < 0) return errno == EINVAL || errno == EISDIR ? load_result::unreadable : load_result::missing;
    // One byte more than a table: a longer file is not a table of this class either.
    out.assign(bytes + 1, 0);
    const long long got = PreadUpTo(fd, out.data(), bytes + 1, 0);
    ::close(fd);
    bool ok = got == static_cast<long long>(bytes);
    out.resize(bytes);
    // A written table never holds an unknown entry.
    for (std::size_t i = 0; ok && i < bytes; ++i)
        if (out[i] & (out[i] >> 1) & 0x55) ok = false;
    if (!ok) out.clear();
    return ok ? load_result::loaded : load_result::unreadable;
}

std::string write_table_file(const std::string& name, const table& t) {
    return AtomicWriteFile(name, t.data(), t.size()).Message();
}

} // namespace edb
