#pragma once
// Decodes GIF bytes with giflib, the independent reader the tests compare against.

#include <cstdint>
#include <string>
#include <vector>

struct TDecodedFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Interlaced = false;
    std::vector<std::uint8_t> ColorMap; // r, g, b triplets as stored (power-of-two entries)
    std::vector<std::uint8_t> Pixels;   // row order, interlacing undone
    // The extension blocks before the frame as they stand in the file: "!", the label, each
    // sub-block with its size byte, the terminator.
    std::vector<std::vector<std::uint8_t>> Extensions;
};

struct TDecodedGIF {
    bool Ok = false;
    std::string Error;
    std::string Version;
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> GlobalColorMap;
    std::vector<TDecodedFrame> Frames;
    std::vector<std::vector<std::uint8_t>> TrailingExtensions; // after the last frame
};

TDecodedGIF DecodeWithGiflib(const std::vector<std::uint8_t>& bytes);
