#pragma once
// Board diagrams: the board picture resampled to a square of the chosen size, and written as a
// GIF file. Qt-free; user-interface thread (any thread that owns the bitmaps).

#include "gif/gif_bitmap.h"

#include <string>

// The sizes the export offers.
constexpr int MinDiagramSize = 110;
constexpr int MaxDiagramSize = 880;
constexpr int DefaultDiagramSize = 220;

// The board picture resampled to size x size with the triangle filter (24 bits).
TBitmap MakeDiagram(TBitmap board, int size);
// The name a diagram is written to: the chosen name without its extension, plus ".gif".
std::string DiagramFileName(const std::string& chosen);
// Reduces the diagram's colours and writes it as a GIF file. An existing file is replaced only
// once the new one is written whole; errors are raised with the codec's message.
void SaveDiagramGif(const TBitmap& diagram, const std::string& fileName);
