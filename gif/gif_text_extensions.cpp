#include "gif/gif_text_extensions.h"

#include "gif/gif_utils.h"

#include <algorithm>

const TGIFExtensionClass TGIFTextExtension::Class = {
    [](TGIFSubImage& frame) -> std::unique_ptr<TGIFExtension> {
        return std::make_unique<TGIFTextExtension>(frame);
    }};

const TGIFExtensionClass TGIFCommentExtension::Class = {
    [](TGIFSubImage& frame) -> std::unique_ptr<TGIFExtension> {
        return std::make_unique<TGIFCommentExtension>(frame);
    }};

namespace {
void Put16(std::uint8_t* p, int v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
int Get16(const std::uint8_t* p) {
    return p[0] | p[1] << 8;
}
} // namespace

void TGIFTextExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    std::uint8_t header[13] = {12};
    Put16(header + 1, Left);
    Put16(header + 3, Top);
    Put16(header + 5, GridWidth);
    Put16(header + 7, GridHeight);
    header[9] = static_cast<std::uint8_t>(CellWidth);
    header[10] = static_cast<std::uint8_t>(CellHeight);
    header[11] = static_cast<std::uint8_t>(ForegroundColorIndex);
    header[12] = static_cast<std::uint8_t>(BackgroundColorIndex);
    stream.Write(header, sizeof header);
    WriteStrings(stream, Text);
}

void TGIFTextExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    std::uint8_t size;
    ReadCheck(stream, &size, 1);
    std::uint8_t grid[255] = {};
    ReadCheck(stream, grid, size);
    Left = Get16(grid);
    Top = Get16(grid + 2);
    GridWidth = Get16(grid + 4);
    GridHeight = Get16(grid + 6);
    CellWidth = grid[8];
    CellHeight = grid[9];
    ForegroundColorIndex = grid[10];
    BackgroundColorIndex = grid[11];
    Text = ReadStrings(stream);
}

void TGIFCommentExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    WriteStrings(stream, Text);
}

void TGIFCommentExtension::LoadFromStream(TStream& stream) {
    TGIFExtension::LoadFromStream(stream);
    Text = ReadStrings(stream);
}
