#pragma once
// Application extensions: the 11-byte identifier and the data that follows it. The loop extension
// ("NETSCAPE2.0", "ANIMEXTS1.0") is understood; any other keeps its data blocks as they were, so
// they are written back byte for byte.

#include "gif/gif_extension.h"

#include <cstdint>
#include <string>
#include <vector>

class TGIFApplicationExtension : public TGIFExtension {
  public:
    static const TGIFExtensionClass Class;
    using TGIFExtension::TGIFExtension;

    std::uint8_t GetExtensionType() const override { return lbApplication; }
    void SaveToStream(TStream& stream) override;
    // A block size of 10 is taken (the identifier's last byte is then 0); other sizes below 11
    // raise "Unsupported Application Extension block size"; bytes past the 11th are skipped.
    void LoadFromStream(TStream& stream) override;

    const TGIFApplicationIdentifier& Identifier() const { return m_Identifier; }
    void SetIdentifier(const std::string& text);

    // The class registered for the identifier at the stream, or the unknown-data class.
    static const TGIFExtensionClass* ResolveByIdentifier(const TGIFExtensionClass& self, TStream& stream,
                                                         TGIFApplicationLookup findApplication);

  protected:
    virtual void SaveData(TStream& stream) = 0;
    virtual void LoadData(TStream& stream) = 0;

    TGIFApplicationIdentifier m_Identifier{};
};

// Loop count and buffer size of an animation.
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
  public:
    static const TGIFExtensionClass Class;
    // Identifier "NETSCAPE2.0", loop count 0 (for ever), no buffer size.
    explicit TGIFAppExtNSLoop(IGIFExtensionOwner& frame);

    int Loops = 0;                // 0: for ever
    std::uint32_t BufferSize = 0; // 0: not present

  protected:
    void SaveData(TStream& stream) override;
    // Sub-blocks of kind 1 (loop count) and 2 (buffer size); a short one raises "Invalid GIF data".
    void LoadData(TStream& stream) override;
};

struct TGIFBlock {
    std::vector<std::uint8_t> Data; // 1 to 255 bytes
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension {
  public:
    static const TGIFExtensionClass Class;
    using TGIFApplicationExtension::TGIFApplicationExtension;

    std::vector<TGIFBlock> Blocks;

  protected:
    void SaveData(TStream& stream) override;
    // Data sub-blocks up to a 0 size or the end of the stream.
    void LoadData(TStream& stream) override;
};
