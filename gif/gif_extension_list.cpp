#include "gif/gif_extension_list.h"

#include "gif/gif_extension_registry.h"
#include "gif/gif_utils.h"

TGIFExtensionList::TGIFExtensionList(IGIFExtensionOwner& frame)
    : TGIFList(frame.FrameImage() ? frame.FrameImage()->OwnerImage() : nullptr), m_Frame(frame) {}

void TGIFExtensionList::LoadFromStream(TStream& stream) {
    int b = ReadByte(stream);
    while (b >= 0 && b != bsImageSeparator && b != bsTrailer) {
        if (b != bsExtensionIntroducer) {
            if (IGIFItemOwner* image = m_Frame.FrameImage())
                image->Warning(gsWarning, "Invalid extension introducer");
            break;
        }
        const std::int64_t at = stream.Position();
        std::uint8_t label;
        ReadCheck(stream, &label, 1);
        const TGIFExtensionClass* found = FindExtension(label);
        if (!found) Error("Unknown extension type");
        // A class may hand the block on to a more specific one; a few rounds settle it.
        for (int round = 0; round < 8 && found->Resolve; ++round) {
            const TGIFExtensionClass* next = found->Resolve(*found, stream, &FindApplicationExtension);
            stream.SetPosition(at + 1);
            if (!next || next == found) break;
            found = next;
        }
        stream.SetPosition(at - 1);
        std::unique_ptr<TGIFExtension> extension = found->Create(m_Frame);
        extension->LoadFromStream(stream);
        Add(std::move(extension));
        b = ReadByte(stream);
    }
    if (b >= 0) stream.Seek(-1, soCurrent);
}
