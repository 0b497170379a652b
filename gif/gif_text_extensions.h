#pragma once
// The extensions that carry text: the plain-text extension (a text grid drawn over the picture)
// and the comment extension.

#include "gif/gif_extension.h"

#include <cstdint>
#include <string>
#include <vector>

class TGIFTextExtension : public TGIFExtension {
  public:
    static const TGIFExtensionClass Class;
    using TGIFExtension::TGIFExtension;

    std::uint8_t GetExtensionType() const override { return lbPlainText; }
    void SaveToStream(TStream& stream) override;
    // The grid as long as the block's size byte says (missing fields stay 0), then the text; a
    // header shorter than its size byte raises "Premature end of data".
    void LoadFromStream(TStream& stream) override;

    int Left = 0, Top = 0, GridWidth = 0, GridHeight = 0;
    int CellWidth = 0, CellHeight = 0;
    int ForegroundColorIndex = 0, BackgroundColorIndex = 0;
    // One string per data sub-block as read; each string starts a new sub-block when written.
    std::vector<std::string> Text;
};

class TGIFCommentExtension : public TGIFExtension {
  public:
    static const TGIFExtensionClass Class;
    using TGIFExtension::TGIFExtension;

    std::uint8_t GetExtensionType() const override { return lbComment; }
    void SaveToStream(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;

    // A text longer than 255 bytes is written as several sub-blocks and so reads back as several
    // strings.
    std::vector<std::string> Text;
};
