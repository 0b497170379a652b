// Reading the book file and finding a position in it.

#include "book.h"

#include "platform/byte_codec.h"
#include "platform/file_io.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>

#include <unistd.h>

namespace marrak::inline MARRAK_RULES_NS {

namespace {

// Stored bytes have both nibbles raised by 5; this undoes it.
constexpr std::array<std::uint8_t, 256> restore_table = [] {
    std::array<std::uint8_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
        const int h = ((b >> 4) + 11) & 15, l = ((b & 15) + 11) & 15;
        t[b] = static_cast<std::uint8_t>(h << 4 | l);
    }
    return t;
}();

struct book_header {
    std::string version;
    bool old_version = false;
    std::int32_t positions = 0;
    std::uint32_t table_size = 0;
    std::uint32_t probe_limit = 0;
    std::uint32_t kings_count = 0;
};

book_header read_header(const std::uint8_t* p) {
    book_header h;
    // Versions compare on their first five bytes, the text and its NUL ("2.00" and later load).
    h.old_version = std::memcmp(p, "2.00", 5) < 0;
    // A version that fills all 16 bytes is cut to 15: the field may lack its NUL.
    h.version.assign(reinterpret_cast<const char*>(p), strnlen(reinterpret_cast<const char*>(p), 15));
    h.positions = static_cast<std::int32_t>(GetLe32(p + 16));
    h.table_size = GetLe32(p + 20);
    h.probe_limit = GetLe32(p + 24);
    h.kings_count = GetLe32(p + 28);
    return h;
}

std::uint64_t expected_size(const book_header& h) {
    return book_header_size + 4ull * h.kings_count + 12ull * h.table_size;
}

void log_fault(const book_log& log, const std::string& path, const char* why) {
    if (log) log(("Opening book " + path + " not loaded: " + why + "\n").c_str());
}

// A position without kings matches an entry without its kings bit; one with kings an entry whose
// kings-table word equals them (an index past the table never matches).
bool kings_match(const opening_book& book, std::uint32_t info, std::uint32_t kings) {
    if (!(info & 1)) return kings == 0;
    const std::uint32_t k = info >> 10 & 0x1fff;
    return kings != 0 && k < book.kings.size() && book.kings[k] == kings;
}

// The header's verdict before the tables are read: true to go on. An old version drops the book.
bool accept_header(opening_book& book, const book_header& h, std::uint64_t file_size, const std::string& path,
                   const book_log& log) {
    if (h.old_version) {
        if (log) log("Old version of Marrak.odb incompatible with this engine\n");
        book = opening_book{};
        return false;
    }
    const char* fault = nullptr;
    if (h.table_size == 0)
        fault = "empty table";
    else if (h.probe_limit == 0)
        fault = "probe limit 0";
    else if (file_size != expected_size(h))
        fault = "size does not match its header";
    if (fault) log_fault(log, path, fault);
    return !fault;
}

// Builds the new tables from the bytes after the header; the book changes only at the end.
void install(opening_book& book, const book_header& h, const std::uint8_t* body, const std::string& path,
             const book_log& log) {
    std::vector<std::uint32_t> kings(h.kings_count);
    for (std::uint32_t& word : kings) {
        const std::uint8_t plain[4] = {restore_table[body[0]], restore_table[body[1]], restore_table[body[2]],
                                       restore_table[body[3]]};
        word = GetLe32(plain);
        body += 4;
    }
    std::vector<book_entry> entries(h.table_size);
    for (book_entry& entry : entries) {
        std::uint8_t plain[12];
        for (int i = 0; i < 12; ++i)
            plain[i] = restore_table[body[i]];
        entry = book_entry{GetLe32(plain), GetLe32(plain + 4), GetLe32(plain + 8)};
        body += 12;
    }
    book.kings = std::move(kings);
    book.entries = std::move(entries);
    book.memo.clear();
    book.lasting.clear();
    book.probe_limit = std::min(h.probe_limit, h.table_size);
    book.version = h.version;
    book.positions = h.positions;
    book.loaded = true;
    if (log) {
        char line[512];
        std::snprintf(line, sizeof line, "Loading open book file %s, version %s, %d positions read\n",
                      path.c_str(), h.version.c_str(), h.positions);
        log(line);
    }
    book.random.seed(static_cast<std::uint32_t>(std::clock()) | 0xaaau);
}

} // namespace

bool load_book_image(opening_book& book, const std::uint8_t* data, std::size_t size, const std::string& path,
                     const book_log& log) {
    if (size < book_header_size) {
        log_fault(log, path, "shorter than its header");
        return false;
    }
    const book_header h = read_header(data);
    if (!accept_header(book, h, size, path, log)) return false;
    try {
        install(book, h, data + book_header_size, path, log);
    } catch (const std::bad_alloc&) {
        log_fault(log, path, "out of memory");
        return false;
    }
    return true;
}

bool load_book_file(opening_book& book, const std::string& path, const book_log& log) {
    // Never waits on a FIFO, and reads no folder or device.
    const int fd = OpenRegularFile(path);
    if (fd < 0 && (errno == EINVAL || errno == EISDIR)) log_fault(log, path, "is not a regular file");
    std::FILE* f = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
    if (!f) {
        if (fd >= 0) ::close(fd);
        return false;
    }
    std::uint8_t header[book_header_size];
    const bool whole_header = std::fread(header, 1, book_header_size, f) == book_header_size;
    long size = -1;
    if (whole_header && std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    if (size < 0) {
        std::fclose(f);
        log_fault(log, path, whole_header ? "cannot be read" : "shorter than its header");
        return false;
    }
    // Only a file whose size matches its header is read whole.
    const book_header h = read_header(header);
    if (!accept_header(book, h, static_cast<std::uint64_t>(size), path, log)) {
        std::fclose(f);
        return false;
    }
    bool ok = false;
    try {
        std::vector<std::uint8_t> body(static_cast<std::size_t>(size) - book_header_size);
        ok = std::fseek(f, book_header_size, SEEK_SET) == 0 &&
             std::fread(body.data(), 1, body.size(), f) == body.size();
        if (ok)
            install(book, h, body.data(), path, log);
        else
            log_fault(log, path, "cannot be read");
    } catch (const std::bad_alloc&) {
        log_fault(log, path, "out of memory");
        ok = false;
    }
    std::fclose(f);
    return ok;
}

std::uint32_t book_hash(const engine_position& position, int side) {
    // lookup2's mix: nine rounds of x -= y; x -= z; x ^= z shifted (right, or left when negative).
    const auto round = [](std::uint32_t& x, std::uint32_t y, std::uint32_t z, int shift) {
        x -= y;
        x -= z;
        x ^= shift > 0 ? z >> shift : z << -shift;
    };
    const auto mix = [&](std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
        round(a, b, c, 13);
        round(b, c, a, -8);
        round(c, a, b, 13);
        round(a, b, c, 12);
        round(b, c, a, -16);
        round(c, a, b, 5);
        round(a, b, c, 3);
        round(b, c, a, -10);
        round(c, a, b, 15);
    };
    // One whole 12-byte block, then the length and an empty tail.
    std::uint32_t a = 0x9e3779b9u + position.pieces[0], b = 0x9e3779b9u + position.pieces[1];
    std::uint32_t c = static_cast<std::uint32_t>(side) + position.kings;
    mix(a, b, c);
    c += 12;
    mix(a, b, c);
    return c;
}

std::optional<std::size_t> book_probe(const opening_book& book, const engine_position& position, int side) {
    if (!book.loaded || book.entries.empty()) return std::nullopt;
    const std::size_t n = book.entries.size();
    std::size_t slot = book_hash(position, side) % n;
    for (std::uint32_t i = 0; i < book.probe_limit; ++i) {
        const book_entry& e = book.entries[slot];
        if (e.colour2 == 0) return std::nullopt;
        if (e.colour2 == position.pieces[0] && e.colour1 == position.pieces[1] &&
            static_cast<int>(e.info >> 1 & 1) == side && kings_match(book, e.info, position.kings))
            return slot;
        if (++slot == n) slot = 0;
    }
    return std::nullopt;
}

book_moves unpack_book_entry(std::uint32_t info) {
    book_moves m;
    m.score = static_cast<std::int32_t>(info) >> 23;
    m.index[m.count++] = static_cast<int>(info >> 2 & 31);
    struct field {
        int shift, width;
    };
    static constexpr field plain[] = {{7, 4}, {11, 4}, {15, 3}, {18, 3}, {21, 2}};
    static constexpr field kings[] = {{7, 3}};
    const bool has_kings = info & 1;
    const field* begin = has_kings ? kings : plain;
    const field* end = has_kings ? std::end(kings) : std::end(plain);
    for (const field* f = begin; f != end; ++f) {
        const int mask = (1 << f->width) - 1;
        const int v = static_cast<int>(info >> f->shift) & mask;
        if (v == mask) break;
        m.index[m.count++] = v;
    }
    return m;
}

} // namespace marrak::inline MARRAK_RULES_NS
