// Reading the book file and finding a position in it.

#include "book.h"

#include "platform/byte_codec.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>

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

void log_line(const book_log& log, const char* format, const std::string& a, const std::string& b = {},
              int n = 0) {
    if (!log) return;
    char line[512];
    std::snprintf(line, sizeof line, format, a.c_str(), b.c_str(), n);
    log(line);
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
    if (fault) {
        log_line(log, "Opening book %s not loaded: %s\n", path, fault);
        return false;
    }
    return true;
}

// Builds the new tables from the bytes after the header; the book changes only at the end.
void install(opening_book& book, const book_header& h, const std::uint8_t* body, const std::string& path,
             const book_log& log) {
    std::vector<std::uint8_t> plain(body, body + 4ull * h.kings_count + 12ull * h.table_size);
    for (std::uint8_t& b : plain)
        b = restore_table[b];
    std::vector<std::uint32_t> kings(h.kings_count);
    for (std::size_t i = 0; i < kings.size(); ++i)
        kings[i] = GetLe32(&plain[4 * i]);
    std::vector<book_entry> entries(h.table_size);
    const std::uint8_t* e = plain.data() + 4ull * h.kings_count;
    for (book_entry& entry : entries) {
        entry = book_entry{GetLe32(e), GetLe32(e + 4), GetLe32(e + 8)};
        e += 12;
    }
    book.kings = std::move(kings);
    book.entries = std::move(entries);
    book.memo.clear();
    book.lasting.clear();
    book.probe_limit = std::min(h.probe_limit, h.table_size);
    book.version = h.version;
    book.positions = h.positions;
    book.loaded = true;
    log_line(log, "Loading open book file %s, version %s, %d positions read\n", path, h.version, h.positions);
    book.random.seed(static_cast<std::uint32_t>(std::clock()) | 0xaaau);
}

} // namespace

namespace {
// A position without kings matches an entry without its kings bit; one with kings an entry whose
// kings-table word equals them (an index past the table never matches).
bool kings_match(const opening_book& book, std::uint32_t info, std::uint32_t kings) {
    if (!(info & 1)) return kings == 0;
    const std::uint32_t k = info >> 10 & 0x1fff;
    return kings != 0 && k < book.kings.size() && book.kings[k] == kings;
}
} // namespace

bool load_book_image(opening_book& book, const std::uint8_t* data, std::size_t size, const std::string& path,
                     const book_log& log) {
    if (size < book_header_size) {
        log_line(log, "Opening book %s not loaded: %s\n", path, "shorter than its header");
        return false;
    }
    const book_header h = read_header(data);
    if (!accept_header(book, h, size, path, log)) return false;
    install(book, h, data + book_header_size, path, log);
    return true;
}

bool load_book_file(opening_book& book, const std::string& path, const book_log& log) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<std::uint8_t> bytes(book_header_size);
    bool ok = std::fread(bytes.data(), 1, book_header_size, f) == book_header_size;
    // Only a file whose size matches its header is read whole.
    if (ok && std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        const book_header h = read_header(bytes.data());
        if (size < 0 || !accept_header(book, h, static_cast<std::uint64_t>(size), path, log)) {
            std::fclose(f);
            return false;
        }
        bytes.resize(static_cast<std::size_t>(size));
        ok = std::fseek(f, book_header_size, SEEK_SET) == 0 &&
             std::fread(bytes.data() + book_header_size, 1, bytes.size() - book_header_size, f) ==
                 bytes.size() - book_header_size;
        std::fclose(f);
        if (ok)
            install(book, h, bytes.data() + book_header_size, path, log);
        else
            log_line(log, "Opening book %s not loaded: %s\n", path, "read error");
        return ok;
    }
    std::fclose(f);
    log_line(log, "Opening book %s not loaded: %s\n", path, "shorter than its header");
    return false;
}

std::uint32_t book_hash(const engine_position& position, int side) {
    std::uint32_t a = 0x9e3779b9u, b = 0x9e3779b9u, c = static_cast<std::uint32_t>(side);
    const auto mix = [&] {
        a -= b;
        a -= c;
        a ^= c >> 13;
        b -= c;
        b -= a;
        b ^= a << 8;
        c -= a;
        c -= b;
        c ^= b >> 13;
        a -= b;
        a -= c;
        a ^= c >> 12;
        b -= c;
        b -= a;
        b ^= a << 16;
        c -= a;
        c -= b;
        c ^= b >> 5;
        a -= b;
        a -= c;
        a ^= c >> 3;
        b -= c;
        b -= a;
        b ^= a << 10;
        c -= a;
        c -= b;
        c ^= b >> 15;
    };
    // One whole 12-byte block, then the length and an empty tail.
    a += position.pieces[0];
    b += position.pieces[1];
    c += position.kings;
    mix();
    c += 12;
    mix();
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
