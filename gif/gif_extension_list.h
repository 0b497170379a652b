#pragma once
// The list of a frame's extensions, read through the registries of extension kinds.
// Used from one thread at a time; no internal locking.

#include "gif/gif_extension.h"
#include "gif/gif_item.h"

class TGIFExtensionList : public TGIFList<TGIFExtension> {
  public:
    explicit TGIFExtensionList(IGIFExtensionOwner& frame);
    // The extensions up to the next image separator or trailer. A byte other than "!" there gives
    // the warning "Invalid extension introducer" and ends the list; a label without a registered
    // class raises "Unknown extension type". The stream is left on the byte that ended the list.
    void LoadFromStream(TStream& stream) override;

  private:
    IGIFExtensionOwner& m_Frame;
};
