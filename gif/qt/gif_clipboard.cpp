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
    auto* data = new QMimeData;
    data->setImageData(ImageBitmap(image));
    data->setData(GIFMimeType, QByteArray(reinterpret_cast<const char*>(stream.Bytes().data()),
                                          static_cast<qsizetype>(stream.Bytes().size())));
    clipboard.setMimeData(data);
    const QMimeData* now = clipboard.mimeData();
    if (!now || !now->hasFormat(GIFMimeType)) Error("Failed to store GIF on clipboard");
}

void LoadFromClipboardFormat(const QMimeData& data, TGIFImage& image) {
    if (data.hasFormat(GIFMimeType)) {
        const QByteArray bytes = data.data(GIFMimeType);
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
