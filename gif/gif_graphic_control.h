#pragma once
// The graphic control extension: disposal method, user input, delay and the transparent colour of
// the frame it precedes.

#include "gif/gif_extension.h"

#include <cstdint>
#include <vector>

enum TDisposalMethod : std::uint8_t {
    dsNone = 0,       // not specified
    dsNoDisposal = 1, // leave the frame
    dsBackground = 2, // restore to the background
    dsPrevious = 3,   // restore to what was there before the frame
};

class TGIFGraphicControlExtension : public TGIFExtension {
  public:
    static const TGIFExtensionClass Class;

    // Becomes the frame's graphic control extension when the frame has none yet.
    explicit TGIFGraphicControlExtension(IGIFExtensionOwner& frame);
    ~TGIFGraphicControlExtension() override;

    std::uint8_t GetExtensionType() const override { return lbGraphicControl; }
    void SaveToStream(TStream& stream) override;
    // Reads as many bytes as the block's size byte says and skips to the terminator; a short block
    // gives the warning "Premature end of data".
    void LoadFromStream(TStream& stream) override;

    bool Transparent() const { return (m_Packed & 0x01) != 0; }
    // Also sets or clears the frame's has-transparency flag.
    void SetTransparent(bool on);
    std::uint8_t TransparentColorIndex() const { return m_TransparentIndex; }
    // An index not below the count of the frame's active colour table (when that has colours)
    // warns "Invalid color index" and stores 0.
    void SetTransparentColorIndex(int index);
    // Hundredths of a second.
    int Delay() const { return m_Delay; }
    void SetDelay(int delay) { m_Delay = static_cast<std::uint16_t>(delay); }
    bool UserInput() const { return (m_Packed & 0x02) != 0; }
    void SetUserInput(bool on) { m_Packed = on ? (m_Packed | 0x02) : (m_Packed & ~0x02); }
    int Disposal() const { return (m_Packed >> 2) & 0x07; }
    void SetDisposal(int method) {
        m_Packed = static_cast<std::uint8_t>((m_Packed & ~0x1C) | ((method & 0x07) << 2));
    }

    // Follows a reordering of the colour table (map[old] = new), without the range warning.
    void MapTransparentColorIndex(const std::vector<std::uint8_t>& map) {
        m_TransparentIndex = map[m_TransparentIndex];
    }

  private:
    std::uint8_t m_BlockSize = 4;
    std::uint8_t m_Packed = 0;
    std::uint16_t m_Delay = 0;
    std::uint8_t m_TransparentIndex = 0;
};
