#include "gif/gif_color_map.h"

#include "gif/gif_utils.h"

#include <algorithm>
#include <numeric>

void TGIFColorMap::Assign(const TGIFColorMap& source) {
    if (&source == this) return;
    m_Count = source.m_Count;
    m_Capacity = source.m_Capacity;
    m_Optimized = source.m_Optimized;
    m_Data = source.m_Data;
    Changed();
}

void TGIFColorMap::Clear() {
    m_Data.clear();
    m_Count = 0;
    m_Capacity = 0;
    m_Optimized = false;
}

void TGIFColorMap::Grow(int n) {
    if (n < m_Capacity) return;
    int capacity = n <= 16 ? 16 : (n + 31) / 32 * 32;
    capacity = std::min(capacity, 256);
    m_Capacity = capacity;
    m_Data.resize(static_cast<std::size_t>(capacity));
}

int TGIFColorMap::Add(TColor color) {
    if (m_Count >= 256) Error("Color table overflow");
    // Room for the new entry itself, not only for those already there.
    Grow(m_Count + 1);
    m_Data[static_cast<std::size_t>(m_Count)] = {RedOf(color), GreenOf(color), BlueOf(color)};
    ++m_Count;
    m_Optimized = false;
    Changed();
    return m_Count - 1;
}

int TGIFColorMap::IndexOf(TColor color) const {
    const TGIFColor wanted{RedOf(color), GreenOf(color), BlueOf(color)};
    if (m_Optimized) {
        for (int i = 0; i < m_Count; ++i)
            if (m_Data[static_cast<std::size_t>(i)] == wanted) return i;
    } else {
        for (int i = m_Count - 1; i >= 0; --i)
            if (m_Data[static_cast<std::size_t>(i)] == wanted) return i;
    }
    return -1;
}

int TGIFColorMap::AddUnique(TColor color) {
    const int index = IndexOf(color);
    return index >= 0 ? index : Add(color);
}

void TGIFColorMap::Delete(int index) {
    if (index < 0 || index >= m_Count) Error("Invalid color index");
    m_Data.erase(m_Data.begin() + index);
    m_Data.push_back({});
    --m_Count;
    m_Optimized = false;
    Changed();
}

TColor TGIFColorMap::Colors(int index) {
    if (index < 0 || index >= m_Count) {
        Warning(gsWarning, "Invalid color index");
        index = 0;
    }
    if (m_Count == 0) Error("Color table is empty");
    const TGIFColor& c = m_Data[static_cast<std::size_t>(index)];
    return RGBColor(c.Red, c.Green, c.Blue);
}

int TGIFColorMap::BitsPerPixel() const {
    return ColorBits(m_Count);
}

void TGIFColorMap::ImportPalette(const TPalette& palette) {
    Clear();
    const int n = static_cast<int>(std::min<std::size_t>(palette.size(), 256));
    Grow(n);
    for (int i = 0; i < n; ++i) {
        const TPaletteEntry& e = palette[static_cast<std::size_t>(i)];
        m_Data[static_cast<std::size_t>(i)] = {e.Red, e.Green, e.Blue};
    }
    m_Count = n;
    Changed();
}

TPalette TGIFColorMap::ExportPalette() const {
    TPalette palette;
    for (int i = 0; i < m_Count; ++i) {
        const TGIFColor& c = m_Data[static_cast<std::size_t>(i)];
        palette.push_back({c.Red, c.Green, c.Blue, pcNoCollapse});
    }
    return palette;
}

void TGIFColorMap::SaveToStream(TStream& stream) const {
    if (m_Count == 0) return;
    const int entries = 1 << BitsPerPixel();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(entries) * 3, 0);
    for (int i = 0; i < m_Count; ++i) {
        const TGIFColor& c = m_Data[static_cast<std::size_t>(i)];
        bytes[3 * i] = c.Red;
        bytes[3 * i + 1] = c.Green;
        bytes[3 * i + 2] = c.Blue;
    }
    stream.Write(bytes.data(), bytes.size());
}

void TGIFColorMap::LoadFromStream(TStream& stream, int n) {
    Clear();
    n = std::clamp(n, 0, 256);
    std::uint8_t bytes[256 * 3];
    ReadCheck(stream, bytes, static_cast<std::size_t>(n) * 3);
    Grow(n);
    for (int i = 0; i < n; ++i)
        m_Data[static_cast<std::size_t>(i)] = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
    m_Count = n;
    Changed();
}

bool TGIFColorMap::Optimize() {
    if (m_Count <= 1) return false;
    m_Optimized = true;
    TGIFHistogram histogram = BuildHistogram();
    // Ties keep their old order, so equal files come out of equal images.
    std::stable_sort(histogram.begin(), histogram.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    bool identity = true;
    for (int i = 0; i < m_Count; ++i)
        identity = identity && histogram[static_cast<std::size_t>(i)].second == i;
    if (!identity) {
        std::vector<std::uint8_t> map(256);
        std::iota(map.begin(), map.end(), 0);
        std::vector<TGIFColor> data = m_Data;
        int used = m_Count;
        for (int i = 0; i < m_Count; ++i) {
            const auto& [uses, old] = histogram[static_cast<std::size_t>(i)];
            map[static_cast<std::size_t>(old)] = static_cast<std::uint8_t>(i);
            data[static_cast<std::size_t>(i)] = m_Data[static_cast<std::size_t>(old)];
            if (uses == 0 && used == m_Count) used = i;
        }
        MapImages(map);
        m_Data = std::move(data);
        m_Count = used;
    }
    Changed();
    return !identity;
}

namespace {
TGIFHistogram EmptyHistogram(int count) {
    TGIFHistogram histogram(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        histogram[static_cast<std::size_t>(i)] = {0, i};
    return histogram;
}
} // namespace

bool TGIFGlobalColorMap::Optimize() {
    if (!m_Owner || m_Owner->ColorMapFrameCount() == 0) return false;
    return TGIFColorMap::Optimize();
}

void TGIFGlobalColorMap::Changed() {
    if (m_Owner) m_Owner->ColorMapChanged();
}

void TGIFGlobalColorMap::Warning(TGIFSeverity severity, const std::string& message) {
    if (m_Owner) m_Owner->ColorMapWarning(severity, message);
}

TGIFHistogram TGIFGlobalColorMap::BuildHistogram() {
    TGIFHistogram histogram = EmptyHistogram(m_Count);
    if (m_Owner) m_Owner->CountColorUses(*this, histogram);
    return histogram;
}

void TGIFGlobalColorMap::MapImages(const std::vector<std::uint8_t>& map) {
    if (m_Owner) m_Owner->MapColorIndices(*this, map);
}

void TGIFLocalColorMap::Changed() {
    m_Frame.ColorMapChanged();
}

void TGIFLocalColorMap::Warning(TGIFSeverity severity, const std::string& message) {
    m_Frame.ColorMapWarning(severity, message);
}

TGIFHistogram TGIFLocalColorMap::BuildHistogram() {
    TGIFHistogram histogram = EmptyHistogram(m_Count);
    m_Frame.CountColorUses(*this, histogram);
    return histogram;
}

void TGIFLocalColorMap::MapImages(const std::vector<std::uint8_t>& map) {
    m_Frame.MapColorIndices(*this, map);
}
