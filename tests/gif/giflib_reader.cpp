#include "giflib_reader.h"

#include <cstring>
#include <gif_lib.h>

namespace {
struct TSource {
    const std::vector<std::uint8_t>* Bytes;
    std::size_t Position;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int count) {
    auto* source = static_cast<TSource*>(gif->UserData);
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(count), source->Bytes->size() - source->Position);
    std::memcpy(buffer, source->Bytes->data() + source->Position, n);
    source->Position += n;
    return static_cast<int>(n);
}

std::vector<std::uint8_t> Triplets(const ColorMapObject* map) {
    std::vector<std::uint8_t> bytes;
    if (!map) return bytes;
    for (int i = 0; i < map->ColorCount; ++i) {
        bytes.push_back(map->Colors[i].Red);
        bytes.push_back(map->Colors[i].Green);
        bytes.push_back(map->Colors[i].Blue);
    }
    return bytes;
}
// giflib keeps an extension as its first block (with the label) and continuation blocks.
std::vector<std::vector<std::uint8_t>> RawExtensions(int count, const ExtensionBlock* blocks) {
    std::vector<std::vector<std::uint8_t>> raw;
    for (int i = 0; i < count; ++i) {
        const ExtensionBlock& b = blocks[i];
        if (b.Function != CONTINUE_EXT_FUNC_CODE) {
            if (!raw.empty()) raw.back().push_back(0);
            raw.push_back({0x21, static_cast<std::uint8_t>(b.Function)});
        }
        if (raw.empty()) continue;
        raw.back().push_back(static_cast<std::uint8_t>(b.ByteCount));
        raw.back().insert(raw.back().end(), b.Bytes, b.Bytes + b.ByteCount);
    }
    if (!raw.empty()) raw.back().push_back(0);
    return raw;
}
} // namespace

TDecodedGIF DecodeWithGiflib(const std::vector<std::uint8_t>& bytes) {
    TDecodedGIF result;
    TSource source{&bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, ReadFromMemory, &error);
    if (!gif) {
        result.Error = GifErrorString(error);
        return result;
    }
    if (bytes.size() >= 6) result.Version.assign(bytes.begin() + 3, bytes.begin() + 6);
    if (DGifSlurp(gif) != GIF_OK) {
        result.Error = GifErrorString(gif->Error);
        DGifCloseFile(gif, &error);
        return result;
    }
    result.Width = gif->SWidth;
    result.Height = gif->SHeight;
    result.GlobalColorMap = Triplets(gif->SColorMap);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        TDecodedFrame frame;
        frame.Left = image.ImageDesc.Left;
        frame.Top = image.ImageDesc.Top;
        frame.Width = image.ImageDesc.Width;
        frame.Height = image.ImageDesc.Height;
        frame.Interlaced = image.ImageDesc.Interlace;
        frame.ColorMap = Triplets(image.ImageDesc.ColorMap);
        frame.Pixels.assign(image.RasterBits,
                            image.RasterBits + static_cast<std::size_t>(frame.Width) * frame.Height);
        frame.Extensions = RawExtensions(image.ExtensionBlockCount, image.ExtensionBlocks);
        result.Frames.push_back(std::move(frame));
    }
    result.TrailingExtensions = RawExtensions(gif->ExtensionBlockCount, gif->ExtensionBlocks);
    DGifCloseFile(gif, &error);
    result.Ok = true;
    return result;
}
