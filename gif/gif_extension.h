#pragma once
// An extension block that precedes a frame, and the list of a frame's extensions.

#include "gif/gif_item.h"

#include <cstdint>

class TGIFSubImage;

// Every extension needs GIF89a.
class TGIFExtension : public TGIFItem {
  public:
    explicit TGIFExtension(TGIFSubImage& subImage);
    TGIFVersion GetVersion() const override { return gv89a; }
    virtual std::uint8_t GetExtensionType() const = 0;
    TGIFSubImage& SubImage() const { return m_SubImage; }

  private:
    TGIFSubImage& m_SubImage;
};

class TGIFExtensionList : public TGIFList<TGIFExtension> {
  public:
    using TGIFList::TGIFList;
};
