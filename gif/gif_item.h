#pragma once
// Base of every part of a GIF file, and the owning list that holds frames and extensions.
// Used from one thread at a time; no internal locking.

#include "gif/gif_exception.h"
#include "gif/gif_image_settings.h"
#include "gif/gif_stream.h"

#include <memory>
#include <string>
#include <vector>

// Base of every part of a GIF file.
class TGIFItem {
  public:
    // A part of owner's image, or of no image: then its warnings go nowhere.
    explicit TGIFItem(IGIFItemOwner* owner)
        : m_ItemOwner(owner), m_Image(owner ? owner->OwnerImage() : nullptr) {}
    virtual ~TGIFItem() = default;
    TGIFItem(const TGIFItem&) = delete;
    TGIFItem& operator=(const TGIFItem&) = delete;

    virtual TGIFVersion GetVersion() const { return gv87a; }
    virtual void Warning(TGIFSeverity severity, const std::string& message);
    virtual void SaveToStream(TStream& stream) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    // Writes the item alone; an existing file is replaced only once all bytes are ready.
    void SaveToFile(const std::string& fileName);
    // Reads the item from the start of the file (TGIFFileStream); raises EStreamError when it
    // cannot be read or is not a regular file.
    void LoadFromFile(const std::string& fileName);

    TGIFImage* Image() const { return m_Image; }

  protected:
    IGIFItemOwner* m_ItemOwner;
    TGIFImage* m_Image;
};

// An owning list of items.
template <class Item> class TGIFList {
  public:
    explicit TGIFList(TGIFImage* image) : m_Image(image) {}
    virtual ~TGIFList() { Clear(); }

    Item& operator[](int index) { return *m_Items.at(static_cast<std::size_t>(index)); }
    const Item& operator[](int index) const { return *m_Items.at(static_cast<std::size_t>(index)); }
    int Count() const { return static_cast<int>(m_Items.size()); }
    int Add(std::unique_ptr<Item> item) {
        m_Items.push_back(std::move(item));
        return Count() - 1;
    }
    void Clear() {
        while (!m_Items.empty())
            m_Items.erase(m_Items.begin());
    }
    void Delete(int index) { m_Items.erase(m_Items.begin() + index); }
    // Takes the item out of the list without freeing it; null when it is not in the list.
    std::unique_ptr<Item> Remove(const Item* item) {
        for (auto it = m_Items.begin(); it != m_Items.end(); ++it) {
            if (it->get() != item) continue;
            std::unique_ptr<Item> owned = std::move(*it);
            m_Items.erase(it);
            return owned;
        }
        return nullptr;
    }
    virtual void SaveToStream(TStream& stream) {
        for (auto& item : m_Items)
            item->SaveToStream(stream);
    }
    virtual void LoadFromStream(TStream& stream) = 0;
    TGIFImage* Image() const { return m_Image; }

  protected:
    TGIFImage* m_Image;
    std::vector<std::unique_ptr<Item>> m_Items;
};
