#include "gif/gif_item.h"

#include "gif/gif_file_stream.h"

void TGIFItem::Warning(TGIFSeverity severity, const std::string& message) {
    if (m_ItemOwner) m_ItemOwner->Warning(severity, message);
}

void TGIFItem::SaveToFile(const std::string& fileName) {
    TMemoryStream stream;
    SaveToStream(stream);
    WriteFileBytes(fileName, stream.Bytes());
}

void TGIFItem::LoadFromFile(const std::string& fileName) {
    TGIFFileStream stream(fileName);
    LoadFromStream(stream);
}
