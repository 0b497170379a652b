#pragma once
// The two registries that pick the class reading an extension: by label, and for application
// extensions by their 11-byte identifier. They are process-wide and hold the built-in kinds from
// first use; register further classes from the main thread before any image is read.

#include "gif/gif_extension.h"

#include <cstdint>

// A later registration for the same label or identifier wins.
void RegisterExtension(std::uint8_t label, const TGIFExtensionClass& extensionClass);
void RegisterApplicationExtension(const TGIFApplicationIdentifier& identifier,
                                  const TGIFExtensionClass& extensionClass);
// Null when none is registered.
const TGIFExtensionClass* FindExtension(std::uint8_t label);
const TGIFExtensionClass* FindApplicationExtension(const TGIFApplicationIdentifier& identifier);
