#pragma once
// Explicit byte orders for everything stored or exchanged: little- and big-endian put and get of
// 8-, 16-, 32- and 64-bit values, appends to byte strings and vectors, and a reader that checks
// every read against the end of its buffer. Never a memcpy of a struct.
// Header-only, re-entrant. Part of vq_fileio (libc only).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// ---- Put and get at a place the caller has checked ----

inline void PutLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void PutLe64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void PutBe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}
inline void PutBe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * (3 - i)));
}
inline void PutBe64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * (7 - i)));
}

inline std::uint16_t GetLe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t GetLe32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}
inline std::uint64_t GetLe64(const std::uint8_t* p) {
    return std::uint64_t{GetLe32(p)} | std::uint64_t{GetLe32(p + 4)} << 32;
}
inline std::uint16_t GetBe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
inline std::uint32_t GetBe32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
           std::uint32_t{p[3]};
}
inline std::uint64_t GetBe64(const std::uint8_t* p) {
    return std::uint64_t{GetBe32(p)} << 32 | std::uint64_t{GetBe32(p + 4)};
}

// ---- Appends to a byte string (std::string) or byte vector (std::vector<std::uint8_t>) ----

namespace byte_codec_detail {
template <std::size_t N, class TBytes, class T> void Append(TBytes& out, void (*put)(std::uint8_t*, T), T v) {
    using TChar = typename TBytes::value_type;
    static_assert(sizeof(TChar) == 1, "a byte container");
    std::uint8_t bytes[N];
    put(bytes, v);
    for (std::uint8_t b : bytes)
        out.push_back(static_cast<TChar>(b));
}
} // namespace byte_codec_detail

// clang-format off
template <class TBytes> void Append8(TBytes& out, std::uint8_t v) { out.push_back(static_cast<typename TBytes::value_type>(v)); }
template <class TBytes> void AppendLe16(TBytes& out, std::uint16_t v) { byte_codec_detail::Append<2>(out, PutLe16, v); }
template <class TBytes> void AppendLe32(TBytes& out, std::uint32_t v) { byte_codec_detail::Append<4>(out, PutLe32, v); }
template <class TBytes> void AppendLe64(TBytes& out, std::uint64_t v) { byte_codec_detail::Append<8>(out, PutLe64, v); }
template <class TBytes> void AppendBe16(TBytes& out, std::uint16_t v) { byte_codec_detail::Append<2>(out, PutBe16, v); }
template <class TBytes> void AppendBe32(TBytes& out, std::uint32_t v) { byte_codec_detail::Append<4>(out, PutBe32, v); }
template <class TBytes> void AppendBe64(TBytes& out, std::uint64_t v) { byte_codec_detail::Append<8>(out, PutBe64, v); }
// clang-format on

// ---- Bounds-checked reading ----

// Reads values in order from a buffer it does not own. A read that would pass the end reads
// nothing, gives 0 (or an empty text) and sets the failed flag, which stays set: a decoder reads a
// whole record and tests Failed() once. No read ever touches memory past the end.
class TByteReader {
  public:
    TByteReader(const void* data, std::size_t size)
        : m_data(static_cast<const std::uint8_t*>(data)), m_size(size) {}
    explicit TByteReader(std::string_view bytes) : TByteReader(bytes.data(), bytes.size()) {}
    explicit TByteReader(const std::vector<std::uint8_t>& bytes) : TByteReader(bytes.data(), bytes.size()) {}

    std::uint8_t U8() {
        const std::uint8_t* p = Take(1);
        return p ? p[0] : 0;
    }
    std::uint16_t Le16() { return Read<std::uint16_t>(2, GetLe16); }
    std::uint32_t Le32() { return Read<std::uint32_t>(4, GetLe32); }
    std::uint64_t Le64() { return Read<std::uint64_t>(8, GetLe64); }
    std::uint16_t Be16() { return Read<std::uint16_t>(2, GetBe16); }
    std::uint32_t Be32() { return Read<std::uint32_t>(4, GetBe32); }
    std::uint64_t Be64() { return Read<std::uint64_t>(8, GetBe64); }

    // Copies `size` bytes; on failure `out` is left as it was.
    bool Bytes(void* out, std::size_t size) {
        const std::uint8_t* p = Take(size);
        if (!p) return false;
        for (std::size_t i = 0; i < size; ++i)
            static_cast<std::uint8_t*>(out)[i] = p[i];
        return true;
    }
    // `size` bytes as text; empty on failure.
    std::string Text(std::size_t size) {
        const std::uint8_t* p = Take(size);
        return p ? std::string(reinterpret_cast<const char*>(p), size) : std::string();
    }
    bool Skip(std::size_t size) { return Take(size) != nullptr; }

    bool Failed() const { return m_failed; }
    bool Ok() const { return !m_failed; }
    std::size_t Position() const { return m_pos; }
    std::size_t Remaining() const { return m_size - m_pos; }
    bool AtEnd() const { return m_pos == m_size; }

  private:
    // The next `n` bytes, or nullptr (and failed) when fewer are left or an earlier read failed.
    const std::uint8_t* Take(std::size_t n) {
        if (m_failed || n > m_size - m_pos) {
            m_failed = true;
            return nullptr;
        }
        const std::uint8_t* p = m_data + m_pos;
        m_pos += n;
        return p;
    }
    template <class T, class TGet> T Read(std::size_t n, TGet get) {
        const std::uint8_t* p = Take(n);
        return p ? get(p) : T{0};
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_failed = false;
};
