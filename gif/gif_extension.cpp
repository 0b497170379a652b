#include "gif/gif_extension.h"

#include "gif/gif_utils.h"

TGIFExtension::TGIFExtension(IGIFExtensionOwner& frame) : TGIFItem(frame.FrameImage()), m_Frame(frame) {}

void TGIFExtension::SaveToStream(TStream& stream) {
    const std::uint8_t head[2] = {bsExtensionIntroducer, GetExtensionType()};
    stream.Write(head, 2);
}

void TGIFExtension::LoadFromStream(TStream& stream) {
    std::uint8_t head[2];
    ReadCheck(stream, head, 2);
    if (head[0] != bsExtensionIntroducer) Error("Invalid extension introducer");
    if (head[1] != GetExtensionType())
        Error("Internal error: Extension Instance does not match Extension Label");
}
