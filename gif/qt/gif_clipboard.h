#pragma once
// GIF images on the clipboard: the picture as a bitmap, and the file's bytes under the format
// "GIF Image" and under "image/gif" for programs that take GIF data. GUI thread only.

#include "gif/gif_image.h"

class QClipboard;
class QMimeData;

inline constexpr const char* GIFClipboardFormat = "GIF Image";
inline constexpr const char* GIFMimeType = "image/gif";

// Nothing for an empty image. Raises "Failed to store GIF on clipboard" when the clipboard does
// not hold the data afterwards.
void SaveToClipboardFormat(QClipboard& clipboard, TGIFImage& image);
// GIF data under either format is read as a GIF file (with its errors), "image/gif" first; else a
// bitmap becomes one frame; anything else raises "Unsupported clipboard format".
void LoadFromClipboardFormat(const QMimeData& data, TGIFImage& image);
