#include "gif/lzw_encoder.h"

#include <cstring>

namespace {
constexpr std::uint32_t EmptyMask = 0xFFFFF000u;
// Doubling modulo 8009 only reaches half the slots (2 has order 4004), and a string table
// holds up to 4089 codes; after that many probes the walk goes on one slot at a time so that
// a full half can never trap it. The codes written do not depend on where entries sit.
constexpr int DoublingProbes = 4004;
} // namespace

void TLZWEncoder::THashTable::Clear() {
    std::memset(m_Entries.data(), 0xFF, sizeof m_Entries);
}

int TLZWEncoder::THashTable::NextProbe(int i, int step) {
    if (step >= DoublingProbes) return i + 1 == Size ? 0 : i + 1;
    if (i == 0) return Size - 1;
    const int next = 2 * i - Size;
    return next < 0 ? next + Size : next;
}

void TLZWEncoder::THashTable::Insert(std::uint32_t key, int code) {
    int i = HashOf(key);
    for (int step = 0; (m_Entries[static_cast<std::size_t>(i)] & EmptyMask) != EmptyMask; ++step)
        i = NextProbe(i, step);
    m_Entries[static_cast<std::size_t>(i)] = key << 12 | static_cast<std::uint32_t>(code);
}

int TLZWEncoder::THashTable::Lookup(std::uint32_t key) const {
    int i = HashOf(key);
    for (int step = 0;; ++step) {
        const std::uint32_t e = m_Entries[static_cast<std::size_t>(i)];
        if ((e & EmptyMask) == EmptyMask) return -1;
        if ((e >> 12) == key) return static_cast<int>(e & 0xFFF);
        i = NextProbe(i, step);
    }
}

void TLZWEncoder::Output(int code) {
    TGIFEncoder::Output(code);
    if (m_FreeCode <= m_MaxCode && !m_JustCleared) return;
    if (m_JustCleared) {
        m_CodeWidth = m_InitialCodeWidth;
        m_MaxCode = static_cast<std::uint16_t>((1 << m_CodeWidth) - 1);
        m_JustCleared = false;
    } else {
        ++m_CodeWidth;
        m_MaxCode = m_CodeWidth == 12 ? 4096 : static_cast<std::uint16_t>((1 << m_CodeWidth) - 1);
    }
}

void TLZWEncoder::Clear() {
    m_JustCleared = true;
    Output(m_ClearCode);
    m_HashTable->Clear();
    m_FreeCode = m_BaseCode;
}

void TLZWEncoder::DoCompress() {
    m_HashTable = std::make_unique<THashTable>();
    m_FreeCode = m_BaseCode;
    Clear();
    m_Prefix = static_cast<std::uint16_t>(CheckedPixel());
    while (NextPixel()) {
        const int v = CheckedPixel();
        const std::uint32_t key = static_cast<std::uint32_t>(m_Prefix) << 8 | static_cast<std::uint32_t>(v);
        const int code = m_HashTable->Lookup(key);
        if (code >= 0) {
            m_Prefix = static_cast<std::uint16_t>(code);
            continue;
        }
        Output(m_Prefix);
        m_Prefix = static_cast<std::uint16_t>(v);
        if (m_FreeCode >= 4095) {
            Clear();
        } else {
            m_HashTable->Insert(key, m_FreeCode);
            ++m_FreeCode;
        }
    }
    Output(m_Prefix);
    m_HashTable.reset();
}
