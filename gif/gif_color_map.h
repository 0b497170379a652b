#pragma once
// Colour tables of a GIF file: the global one of the header and a frame's local one, and what a
// table works on (IGIFColorMapOwner): the image for the global table, the frame for its own.

#include "gif/gif_bitmap.h"
#include "gif/gif_exception.h"
#include "gif/gif_stream.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class TGIFColorMap;

struct TGIFColor {
    std::uint8_t Red = 0, Green = 0, Blue = 0;
    bool operator==(const TGIFColor&) const = default;
};

// (uses, colour index) of each colour of a table.
using TGIFHistogram = std::vector<std::pair<std::uint32_t, int>>;

// The frames a table serves and where its changes and warnings go. TGIFImage is one (for the
// global table), TGIFSubImage another (for its local table).
class IGIFColorMapOwner {
  public:
    virtual ~IGIFColorMapOwner() = default;
    virtual void ColorMapChanged() = 0;
    virtual void ColorMapWarning(TGIFSeverity severity, const std::string& message) = 0;
    // How many frames there are that may use the table.
    virtual int ColorMapFrameCount() const = 0;
    // Adds one to histogram[p].first for each pixel p below its size of the frames that use map.
    virtual void CountColorUses(const TGIFColorMap& map, TGIFHistogram& histogram) const = 0;
    // Replaces every pixel p of the frames that use map by indexMap[p], and their transparent
    // index alike.
    virtual void MapColorIndices(const TGIFColorMap& map, const std::vector<std::uint8_t>& indexMap) = 0;
};

class TGIFColorMap {
  public:
    virtual ~TGIFColorMap() = default;

    // Copies count, capacity, the optimized flag and the colours.
    void Assign(const TGIFColorMap& source);
    void Clear();
    // Appends a colour; raises "Color table overflow" when 256 are in use.
    int Add(TColor color);
    // Exact match, or -1; searched from the last entry unless the table is sorted by use.
    int IndexOf(TColor color) const;
    int AddUnique(TColor color);
    // Raises "Invalid color index" outside 0..count - 1.
    void Delete(int index);
    // The colour at index; out of range warns "Invalid color index" and takes entry 0, and an
    // empty table raises "Color table is empty".
    TColor Colors(int index);
    // The entry at index, black outside the table; no warning (for drawing, where an index past
    // the table is a fault of the file, not of the caller).
    TGIFColor Entry(int index) const {
        return index >= 0 && index < m_Count ? m_Data[static_cast<std::size_t>(index)] : TGIFColor{};
    }

    int Count() const { return m_Count; }
    int Capacity() const { return m_Capacity; }
    bool Optimized() const { return m_Optimized; }
    int BitsPerPixel() const;

    void ImportPalette(const TPalette& palette);
    // Count entries, each flagged no-collapse.
    TPalette ExportPalette() const;
    // Count colours padded with black to a power of two; nothing for an empty table.
    void SaveToStream(TStream& stream) const;
    // Clears and reads n triplets; raises "Premature end of data" when the stream is short.
    void LoadFromStream(TStream& stream, int n);

    // Sorts the table by use (most used first), rewrites the pixels that use it and drops the
    // colours no pixel uses. Returns whether the order changed.
    virtual bool Optimize();
    virtual void Changed() = 0;
    virtual void Warning(TGIFSeverity severity, const std::string& message) = 0;

  protected:
    virtual TGIFHistogram BuildHistogram() = 0;
    // Replaces every pixel p of the frames concerned by map[p].
    virtual void MapImages(const std::vector<std::uint8_t>& map) = 0;
    // Makes room for n colours.
    void Grow(int n);

    std::vector<TGIFColor> m_Data; // m_Capacity entries
    int m_Count = 0;
    int m_Capacity = 0;
    bool m_Optimized = false;
};

// Without an owner it has no frames: changes and warnings go nowhere.
class TGIFGlobalColorMap : public TGIFColorMap {
  public:
    explicit TGIFGlobalColorMap(IGIFColorMapOwner* owner) : m_Owner(owner) {}
    bool Optimize() override;
    void Changed() override;
    void Warning(TGIFSeverity severity, const std::string& message) override;

  protected:
    TGIFHistogram BuildHistogram() override;
    void MapImages(const std::vector<std::uint8_t>& map) override;

  private:
    IGIFColorMapOwner* m_Owner;
};

class TGIFLocalColorMap : public TGIFColorMap {
  public:
    explicit TGIFLocalColorMap(IGIFColorMapOwner& frame) : m_Frame(frame) {}
    void Changed() override;
    void Warning(TGIFSeverity severity, const std::string& message) override;

  protected:
    TGIFHistogram BuildHistogram() override;
    void MapImages(const std::vector<std::uint8_t>& map) override;

  private:
    IGIFColorMapOwner& m_Frame;
};
