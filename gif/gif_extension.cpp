#include "gif/gif_extension.h"

#include "gif/gif_app_extension.h"
#include "gif/gif_graphic_control.h"
#include "gif/gif_sub_image.h"
#include "gif/gif_text_extensions.h"
#include "gif/gif_utils.h"

#include <utility>
#include <vector>

namespace {
struct TRegistries {
    std::vector<std::pair<std::uint8_t, const TGIFExtensionClass*>> Extensions;
    std::vector<std::pair<TGIFApplicationIdentifier, const TGIFExtensionClass*>> Applications;
};

TGIFApplicationIdentifier IdentifierOf(const char (&text)[12]) {
    TGIFApplicationIdentifier id{};
    for (std::size_t i = 0; i < id.size(); ++i)
        id[i] = static_cast<std::uint8_t>(text[i]);
    return id;
}

TRegistries& Registries() {
    static TRegistries registries = [] {
        TRegistries r;
        r.Extensions = {{lbPlainText, &TGIFTextExtension::Class},
                        {lbGraphicControl, &TGIFGraphicControlExtension::Class},
                        {lbComment, &TGIFCommentExtension::Class},
                        {lbApplication, &TGIFApplicationExtension::Class}};
        r.Applications = {{IdentifierOf("NETSCAPE2.0"), &TGIFAppExtNSLoop::Class},
                          {IdentifierOf("ANIMEXTS1.0"), &TGIFAppExtNSLoop::Class}};
        return r;
    }();
    return registries;
}
} // namespace

void RegisterExtension(std::uint8_t label, const TGIFExtensionClass& extensionClass) {
    Registries().Extensions.emplace_back(label, &extensionClass);
}

void RegisterApplicationExtension(const TGIFApplicationIdentifier& identifier,
                                  const TGIFExtensionClass& extensionClass) {
    Registries().Applications.emplace_back(identifier, &extensionClass);
}

const TGIFExtensionClass* FindExtension(std::uint8_t label) {
    const auto& list = Registries().Extensions;
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (it->first == label) return it->second;
    return nullptr;
}

const TGIFExtensionClass* FindApplicationExtension(const TGIFApplicationIdentifier& identifier) {
    const auto& list = Registries().Applications;
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (it->first == identifier) return it->second;
    return nullptr;
}

TGIFExtension::TGIFExtension(TGIFSubImage& subImage) : TGIFItem(subImage.Image()), m_SubImage(subImage) {}

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

TGIFExtensionList::TGIFExtensionList(TGIFSubImage& subImage)
    : TGIFList(subImage.Image()), m_SubImage(subImage) {}

void TGIFExtensionList::LoadFromStream(TStream& stream) {
    int b = ReadByte(stream);
    while (b >= 0 && b != bsImageSeparator && b != bsTrailer) {
        if (b != bsExtensionIntroducer) {
            m_SubImage.Warning(gsWarning, "Invalid extension introducer");
            break;
        }
        const std::int64_t at = stream.Position();
        std::uint8_t label;
        ReadCheck(stream, &label, 1);
        const TGIFExtensionClass* found = FindExtension(label);
        if (!found) Error("Unknown extension type");
        // A class may hand the block on to a more specific one; a few rounds settle it.
        for (int round = 0; round < 8 && found->Resolve; ++round) {
            const TGIFExtensionClass* next = found->Resolve(*found, stream);
            stream.SetPosition(at + 1);
            if (!next || next == found) break;
            found = next;
        }
        stream.SetPosition(at - 1);
        std::unique_ptr<TGIFExtension> extension = found->Create(m_SubImage);
        extension->LoadFromStream(stream);
        Add(std::move(extension));
        b = ReadByte(stream);
    }
    if (b >= 0) stream.Seek(-1, soCurrent);
}
