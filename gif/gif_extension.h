#pragma once
// An extension block that precedes a frame, the list of a frame's extensions, and the two
// registries that pick the class reading an extension: by label, and for application extensions
// by their 11-byte identifier. The registries are process-wide and filled on first use; register
// further classes from the main thread before any image is read.

#include "gif/gif_item.h"

#include <array>
#include <cstdint>
#include <memory>

class TGIFSubImage;
class TGIFExtension;

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

// What the registries hold in place of a class reference: how to make an extension of the class,
// and which class should read the block at a stream position.
struct TGIFExtensionClass {
    std::unique_ptr<TGIFExtension> (*Create)(TGIFSubImage& subImage);
    // The class for the block whose label has just been read, the stream standing after the
    // label; the stream is left where it was. Null means the class itself.
    const TGIFExtensionClass* (*Resolve)(const TGIFExtensionClass& self, TStream& stream) = nullptr;
};

using TGIFApplicationIdentifier = std::array<std::uint8_t, 11>;

// A later registration for the same label or identifier wins.
void RegisterExtension(std::uint8_t label, const TGIFExtensionClass& extensionClass);
void RegisterApplicationExtension(const TGIFApplicationIdentifier& identifier,
                                  const TGIFExtensionClass& extensionClass);
// Null when none is registered.
const TGIFExtensionClass* FindExtension(std::uint8_t label);
const TGIFExtensionClass* FindApplicationExtension(const TGIFApplicationIdentifier& identifier);

// Every extension needs GIF89a. The base reads and writes the introducer and the label; each kind
// adds its blocks.
class TGIFExtension : public TGIFItem {
  public:
    explicit TGIFExtension(TGIFSubImage& subImage);
    TGIFVersion GetVersion() const override { return gv89a; }
    virtual std::uint8_t GetExtensionType() const = 0;
    TGIFSubImage& SubImage() const { return m_SubImage; }

    void SaveToStream(TStream& stream) override;
    // Raises "Invalid extension introducer" or "Internal error: Extension Instance does not match
    // Extension Label".
    void LoadFromStream(TStream& stream) override;

  private:
    TGIFSubImage& m_SubImage;
};

class TGIFExtensionList : public TGIFList<TGIFExtension> {
  public:
    explicit TGIFExtensionList(TGIFSubImage& subImage);
    // The extensions up to the next image separator or trailer. A byte other than "!" there gives
    // the warning "Invalid extension introducer" and ends the list; a label without a registered
    // class raises "Unknown extension type". The stream is left on the byte that ended the list.
    void LoadFromStream(TStream& stream) override;

  private:
    TGIFSubImage& m_SubImage;
};
