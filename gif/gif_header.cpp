#include "gif/gif_header.h"

#include "gif/gif_extension.h"
#include "gif/gif_utils.h"
#include "platform/byte_codec.h"

#include <cstring>

void TGIFHeader::Clear() {
    m_Width = m_Height = 0;
    m_Packed = m_BackgroundIndex = m_AspectRatio = 0;
    m_ColorMap.Clear();
}

void TGIFHeader::Assign(const TGIFHeader& source) {
    if (&source == this) return;
    m_Width = source.m_Width;
    m_Height = source.m_Height;
    m_Packed = source.m_Packed;
    m_BackgroundIndex = source.m_BackgroundIndex;
    m_AspectRatio = source.m_AspectRatio;
    m_ColorMap.Assign(source.m_ColorMap);
}

TGIFVersion TGIFHeader::GetVersion() const {
    return m_ColorMap.Optimized() || m_AspectRatio != 0 ? gv89a : gv87a;
}

std::uint8_t TGIFHeader::ComputePackedFields() const {
    std::uint8_t packed = 0;
    if (m_ColorMap.Count() > 0) {
        packed |= 0x80;
        if (m_ColorMap.Optimized()) packed |= 0x08;
    }
    // The frames' tables count too: the announced size covers the largest.
    const int size = m_ItemOwner ? m_ItemOwner->BitsPerPixel() : m_ColorMap.BitsPerPixel();
    const int resolution = size - 1;
    packed |= (resolution & 0x07) << 4;
    packed |= (size - 1) & 0x07;
    return packed;
}

void TGIFHeader::SaveToStream(TStream& stream) {
    const TGIFVersion version = m_ItemOwner ? m_ItemOwner->Version() : GetVersion();
    if (version == gvUnknown) Error("Unsupported GIF version");
    m_Packed = ComputePackedFields();
    const char* signature = version == gv89a ? "GIF89a" : "GIF87a";
    stream.Write(signature, 6);
    std::uint8_t descriptor[7] = {0, 0, 0, 0, m_Packed, m_BackgroundIndex, m_AspectRatio};
    PutLe16(descriptor, m_Width);
    PutLe16(descriptor + 2, m_Height);
    stream.Write(descriptor, sizeof descriptor);
    if (m_Packed & 0x80) m_ColorMap.SaveToStream(stream);
}

void TGIFHeader::LoadFromStream(TStream& stream) {
    const std::int64_t at = stream.Position();
    char signature[6] = {};
    const auto isGIF = [&] {
        return stream.Read(signature, 6) >= 3 && std::memcmp(signature, "GIF", 3) == 0;
    };
    if (!isGIF()) {
        stream.SetPosition(at + 4);
        if (!isGIF()) Error("Invalid GIF signature");
    }
    std::uint8_t d[7];
    ReadCheck(stream, d, sizeof d);
    m_Width = GetLe16(d);
    m_Height = GetLe16(d + 2);
    m_Packed = d[4];
    m_BackgroundIndex = d[5];
    m_AspectRatio = d[6];
    if (m_Packed & 0x80)
        m_ColorMap.LoadFromStream(stream, 2 << (m_Packed & 0x07));
    else
        m_ColorMap.Clear();
}

void TGIFTrailer::SaveToStream(TStream& stream) {
    WriteByte(stream, 0x3B);
}

void TGIFTrailer::LoadFromStream(TStream& stream) {
    const int b = ReadByte(stream);
    if (b >= 0 && b != bsTrailer) Warning(gsWarning, "Invalid Image trailer");
}
