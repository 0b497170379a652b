#include "gif/gif_text_extensions.h"

#include "gif/gif_utils.h"
#include "platform/byte_codec.h"

#include <algorithm>

const TGIFExtensionClass TGIFTextExtension::Class = {
    [](IGIFExtensionOwner& frame) -> std::unique_ptr<TGIFExtension> {
        return std::make_unique<TGIFTextExtension>(frame);
    }};

const TGIFExtensionClass TGIFCommentExtension::Class = {
    [](IGIFExtensionOwner& frame) -> std::unique_ptr<TGIFExtension> {
        return std::make_unique<TGIFCommentExtension>(frame);
    }};

void TGIFTextExtension::SaveToStream(TStream& stream) {
    TGIFExtension::SaveToStream(stream);
    std::uint8_t header[13] = {12};
    PutLe16(header + 1, static_cast<std::uint16_t>(Left));
    PutLe16(header + 3, static_cast<std::uint16_t>(Top));
    PutLe16(header + 5, static_cast<std::uint16_t>(GridWidth));
    PutLe16(header + 7, static_cast<std::uint16_t>(GridHeight));
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
    Left = GetLe16(grid);
    Top = GetLe16(grid + 2);
    GridWidth = GetLe16(grid + 4);
    GridHeight = GetLe16(grid + 6);
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
