#pragma once
// An extension block that precedes a frame, the frame as its extensions see it, and what the
// registries of extension kinds (gif_extension_registry.h) hold for each kind.

#include "gif/gif_item.h"

#include <array>
#include <cstdint>
#include <memory>

class TGIFSubImage;
class TGIFExtension;
class TGIFGraphicControlExtension;

// Block labels.
enum : std::uint8_t {
    bsExtensionIntroducer = 0x21, // "!"
    bsImageSeparator = 0x2C,      // ","
    bsTrailer = 0x3B,             // ";"
    lbPlainText = 0x01,
    lbGraphicControl = 0xF9,
    lbComment = 0xFE,
    lbApplication = 0xFF,
};

using TGIFApplicationIdentifier = std::array<std::uint8_t, 11>;

// The frame as its extensions see it. TGIFSubImage is one.
class IGIFExtensionOwner {
  public:
    virtual ~IGIFExtensionOwner() = default;
    // The frame itself (TGIFExtension::SubImage).
    virtual TGIFSubImage& OwnerFrame() = 0;
    // The frame's image, or null.
    virtual IGIFItemOwner* FrameImage() const = 0;
    // The count of the frame's active colour table, which a transparent index must stay below.
    virtual int ActiveColorCount() const = 0;
    // The graphic control extension that speaks for the frame: the first one made for it.
    virtual TGIFGraphicControlExtension* FrameGraphicControl() const = 0;
    virtual void SetFrameGraphicControl(TGIFGraphicControlExtension* extension) = 0;
    virtual void SetFrameTransparency(bool on) = 0;
    // What an extension changed shows in the frame's bitmap: it is built anew.
    virtual void ExtensionChanged() = 0;
};

struct TGIFExtensionClass;
// The class registered for an application identifier, or null.
using TGIFApplicationLookup = const TGIFExtensionClass* (*)(const TGIFApplicationIdentifier& identifier);

// What the registries hold in place of a class reference: how to make an extension of the class,
// and which class should read the block at a stream position.
struct TGIFExtensionClass {
    std::unique_ptr<TGIFExtension> (*Create)(IGIFExtensionOwner& frame);
    // The class for the block whose label has just been read, the stream standing after the
    // label; the stream is left where it was. Null means the class itself. findApplication is the
    // registry's lookup by application identifier.
    const TGIFExtensionClass* (*Resolve)(const TGIFExtensionClass& self, TStream& stream,
                                         TGIFApplicationLookup findApplication) = nullptr;
};

// Every extension needs GIF89a. The base reads and writes the introducer and the label; each kind
// adds its blocks.
class TGIFExtension : public TGIFItem {
  public:
    explicit TGIFExtension(IGIFExtensionOwner& frame);
    TGIFVersion GetVersion() const override { return gv89a; }
    virtual std::uint8_t GetExtensionType() const = 0;
    TGIFSubImage& SubImage() const { return m_Frame.OwnerFrame(); }

    void SaveToStream(TStream& stream) override;
    // Raises "Invalid extension introducer" or "Internal error: Extension Instance does not match
    // Extension Label".
    void LoadFromStream(TStream& stream) override;

  protected:
    IGIFExtensionOwner& Frame() const { return m_Frame; }

  private:
    IGIFExtensionOwner& m_Frame;
};
