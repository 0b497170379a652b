#include "gif/gif_graphic_control.h"

#include "gif/gif_utils.h"
#include "platform/byte_codec.h"

#include <algorithm>

const TGIFExtensionClass TGIFGraphicControlExtension::Class = {
    [](IGIFExtensionOwner& frame) -> std::unique_ptr<TGIFExtension> {
        return std::make_unique<TGIFGraphicControlExtension>(frame);
    }};

TGIFGraphicControlExtension::TGIFGraphicControlExtension(IGIFExtensionOwner& frame) : TGIFExtension(frame) {
    if (!frame.FrameGraphicControl()) frame.SetFrameGraphicControl(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
    IGIFExtensionOwner& frame = Frame();
    if (Transparent()) frame.SetFrameTransparency(false);
    if (frame.FrameGraphicControl() == this) frame.SetFrameGraphicControl(nullptr);
}

void TGIFGraphicControlExtension::SetTransparent(bool on) {
    m_Packed = on ? (m_Packed | 0x01) : (m_Packed & ~0x01);
    Frame().SetFrameTransparency(on);
    Frame().ExtensionChanged(); // its mask shows the transparent pixels
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int index) {
    const int count = Frame().ActiveColorCount();
    if (count > 0 && (index < 0 || index >= count)) {
        Warning(gsWarning, "Invalid color index");
        index = 0;
    }
    m_TransparentIndex = static_cast<std::uint8_t>(index);
    Frame().ExtensionChanged();
}

void TGIFGraphicControlExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    std::uint8_t block[6] = {4, m_Packed, 0, 0, m_TransparentIndex, 0};
    PutLe16(block + 2, m_Delay);
    stream.Write(block, sizeof block);
}

void TGIFGraphicControlExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    // The fields as far as the block's own size byte reaches; a longer block's extra bytes and any
    // sub-blocks after it are skipped.
    std::uint8_t fields[255] = {};
    const int size = ReadByte(stream);
    const std::size_t got = size > 0 ? stream.Read(fields, static_cast<std::size_t>(size)) : 0;
    if (size < 4 || got < static_cast<std::size_t>(size)) Warning(gsWarning, "Premature end of data");
    m_BlockSize = static_cast<std::uint8_t>(std::max(size, 0));
    m_Packed = fields[0];
    m_Delay = GetLe16(fields + 1);
    m_TransparentIndex = fields[3];
    if (Transparent()) Frame().SetFrameTransparency(true);
    if (size >= 0 && got == static_cast<std::size_t>(size) && !SkipSubBlocks(stream))
        Warning(gsWarning, "Premature end of data");
}
