#pragma once
// The blocks around the frames: the signature with the logical screen descriptor and the global
// colour table before them, the trailer after them.

#include "gif/gif_color_map.h"
#include "gif/gif_item.h"

#include <cstdint>

// Signature, logical screen descriptor and global colour table.
class TGIFHeader : public TGIFItem {
  public:
    explicit TGIFHeader(TGIFImage* image) : TGIFItem(image), m_ColorMap(*this) {}
    void Clear();
    void Assign(const TGIFHeader& source);
    TGIFVersion GetVersion() const override;
    void SaveToStream(TStream& stream) override;
    // The signature (at the start, or after 4 other bytes), the screen descriptor and the global
    // colour table. Raises "Invalid GIF signature" or "Premature end of data".
    void LoadFromStream(TStream& stream) override;
    // The screen descriptor's packed fields as they will be written.
    std::uint8_t ComputePackedFields() const;

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    std::uint8_t PackedFields() const { return m_Packed; }
    std::uint8_t BackgroundColorIndex() const { return m_BackgroundIndex; }
    void SetBackgroundColorIndex(std::uint8_t index) { m_BackgroundIndex = index; }
    std::uint8_t AspectRatio() const { return m_AspectRatio; }
    void SetAspectRatio(std::uint8_t ratio) { m_AspectRatio = ratio; }
    TGIFGlobalColorMap& ColorMap() { return m_ColorMap; }
    const TGIFGlobalColorMap& ColorMap() const { return m_ColorMap; }

  private:
    friend class TGIFImage;
    std::uint16_t m_Width = 0, m_Height = 0;
    std::uint8_t m_Packed = 0, m_BackgroundIndex = 0, m_AspectRatio = 0;
    TGIFGlobalColorMap m_ColorMap;
};

class TGIFTrailer : public TGIFItem {
  public:
    using TGIFItem::TGIFItem;
    void SaveToStream(TStream& stream) override;
    // A byte other than ";" warns "Invalid Image trailer"; the end of the stream is no fault.
    void LoadFromStream(TStream& stream) override;
};
