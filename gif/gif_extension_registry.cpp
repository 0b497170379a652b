#include "gif/gif_extension_registry.h"

#include "gif/gif_app_extension.h"
#include "gif/gif_graphic_control.h"
#include "gif/gif_text_extensions.h"

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
