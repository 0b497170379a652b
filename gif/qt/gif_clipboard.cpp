#include "gif/qt/gif_clipboard.h"

#include "gif/gif_utils.h"
#include "gif/qt/gif_draw.h"
#include "gif/qt/gif_qimage.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>

void SaveToClipboardFormat(QClipboard& clipboard, TGIFImage& image) {
    if (image.Empty()) return;
    TMemoryStream stream;
    image.SaveToStream(stream);
    const QByteArray bytes(reinterpret_cast<const char*>(stream.Bytes().data()),
                           static_cast<qsizetype>(stream.Bytes().size()));
    auto* data = new QMimeData;
    data->setImageData(ImageBitmap(image));
    data->setData(GIFClipboardFormat, bytes);
    data->setData(GIFMimeType, bytes);
    clipboard.setMimeData(data);
    const QMimeData* now = clipboard.mimeData();
    if (!now || !now->hasFormat(GIFClipboardFormat) || !now->hasFormat(GIFMimeType))
        Error("Failed to store GIF on clipboard");
}

void LoadFromClipboardFormat(const QMimeData& data, TGIFImage& image) {
    for (const char* format : {GIFMimeType, GIFClipboardFormat}) {
        if (!data.hasFormat(format)) continue;
        const QByteArray bytes = data.data(format);
        TMemoryStream stream(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        image.LoadFromStream(stream);
        return;
    }
    if (data.hasImage()) {
        image.Assign(BitmapFromQImage(qvariant_cast<QImage>(data.imageData())));
        return;
    }
    throw EInvalidGraphic("Unsupported clipboard format");
}
