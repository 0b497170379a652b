#include "gif/gif_app_extension.h"

#include "gif/gif_utils.h"
#include "platform/byte_codec.h"

#include <algorithm>

const TGIFExtensionClass TGIFApplicationExtension::Class = {
    // Never made itself: resolving always names a concrete class.
    [](IGIFExtensionOwner& frame) -> std::unique_ptr<TGIFExtension> {
        return std::make_unique<TGIFUnknownAppExtension>(frame);
    },
    &TGIFApplicationExtension::ResolveByIdentifier};

const TGIFExtensionClass TGIFAppExtNSLoop::Class = {
    [](IGIFExtensionOwner& frame) -> std::unique_ptr<TGIFExtension> {
        return std::make_unique<TGIFAppExtNSLoop>(frame);
    },
    &TGIFApplicationExtension::ResolveByIdentifier};

const TGIFExtensionClass TGIFUnknownAppExtension::Class = {
    [](IGIFExtensionOwner& frame) -> std::unique_ptr<TGIFExtension> {
        return std::make_unique<TGIFUnknownAppExtension>(frame);
    },
    &TGIFApplicationExtension::ResolveByIdentifier};

const TGIFExtensionClass*
TGIFApplicationExtension::ResolveByIdentifier(const TGIFExtensionClass& self, TStream& stream,
                                              TGIFApplicationLookup findApplication) {
    const std::int64_t at = stream.Position();
    TGIFApplicationIdentifier id{};
    const int size = ReadByte(stream);
    const std::size_t wanted = size == 10 ? 10 : 11;
    const bool read = size >= 10 && stream.Read(id.data(), wanted) == wanted;
    stream.SetPosition(at);
    // Unreadable: the class stays as it is, and its own read reports the fault.
    if (!read) return &self;
    const TGIFExtensionClass* found = findApplication(id);
    return found ? found : &TGIFUnknownAppExtension::Class;
}

void TGIFApplicationExtension::SetIdentifier(const std::string& text) {
    m_Identifier.fill(0);
    std::copy_n(text.begin(), std::min(text.size(), m_Identifier.size()), m_Identifier.begin());
}

void TGIFApplicationExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    WriteByte(stream, 11);
    stream.Write(m_Identifier.data(), m_Identifier.size());
    SaveData(stream);
}

void TGIFApplicationExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    std::uint8_t size;
    ReadCheck(stream, &size, 1);
    m_Identifier.fill(0);
    if (size == 10) {
        ReadCheck(stream, m_Identifier.data(), 10);
    } else {
        if (size < 11) Error("Unsupported Application Extension block size");
        ReadCheck(stream, m_Identifier.data(), 11);
        std::uint8_t skipped[255];
        ReadCheck(stream, skipped, size - 11u);
    }
    LoadData(stream);
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(IGIFExtensionOwner& frame) : TGIFApplicationExtension(frame) {
    SetIdentifier("NETSCAPE2.0");
}

void TGIFAppExtNSLoop::SaveData(TStream& stream) {
    std::uint8_t loop[4] = {3, 1};
    PutLe16(loop + 2, static_cast<std::uint16_t>(Loops));
    stream.Write(loop, sizeof loop);
    if (BufferSize != 0) {
        std::uint8_t buffer[6] = {5, 2};
        PutLe32(buffer + 2, BufferSize);
        stream.Write(buffer, sizeof buffer);
    }
    WriteByte(stream, 0);
}

void TGIFAppExtNSLoop::LoadData(TStream& stream) {
    std::uint8_t block[255];
    for (;;) {
        const int n = ReadByte(stream);
        if (n <= 0) break;
        ReadCheck(stream, block, static_cast<std::size_t>(n));
        switch (block[0] & 0x07) {
        case 1:
            if (n < 3) Error("Invalid GIF data");
            Loops = GetLe16(block + 1);
            break;
        case 2:
            if (n < 5) Error("Invalid GIF data");
            BufferSize = GetLe32(block + 1);
            break;
        default:
            break;
        }
    }
}

void TGIFUnknownAppExtension::SaveData(TStream& stream) {
    for (const TGIFBlock& block : Blocks) {
        WriteByte(stream, static_cast<std::uint8_t>(block.Data.size()));
        stream.Write(block.Data.data(), block.Data.size());
    }
    WriteByte(stream, 0);
}

void TGIFUnknownAppExtension::LoadData(TStream& stream) {
    Blocks.clear();
    for (;;) {
        const int n = ReadByte(stream);
        if (n <= 0) break;
        TGIFBlock block;
        block.Data.resize(static_cast<std::size_t>(n));
        ReadCheck(stream, block.Data.data(), block.Data.size());
        Blocks.push_back(std::move(block));
    }
}
