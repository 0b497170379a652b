#pragma once
// Octree colour quantisation: colours are added one by one and the tree is folded as it goes,
// so it never holds more than the maximum number of leaves plus one.

#include "gif/gif_bitmap.h"

#include <array>
#include <cstdint>
#include <memory>

struct TOctreeNode {
    bool Leaf = false;
    std::uint32_t PixelCount = 0;
    // 64-bit sums: a picture of more than 16.8 million pixels would wrap 32 bits.
    std::uint64_t RedSum = 0, GreenSum = 0, BlueSum = 0;
    TOctreeNode* NextReducible = nullptr;
    std::array<std::unique_ptr<TOctreeNode>, 8> Children;
};

class TColorQuantizer {
  public:
    TColorQuantizer(int maxColors, int colorBits = 8);

    void AddColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    // Every 24-bit pixel of the rows (blue, green, red bytes).
    void ProcessImage(const TBitmap& bitmap24);
    int LeafCount() const { return m_LeafCount; }
    // The leaves' mean colours, depth first with children in index order.
    TPalette ColorTable() const;

  private:
    bool ReduceTree();

    std::unique_ptr<TOctreeNode> m_Root;
    int m_LeafCount = 0;
    int m_MaxColors;
    int m_ColorBits;
    std::array<TOctreeNode*, 9> m_Reducible{};
    // The leaf the last colour went to, while no fold has happened since: runs of one colour
    // skip the descent.
    TOctreeNode* m_LastLeaf = nullptr;
    std::uint8_t m_LastRed = 0, m_LastGreen = 0, m_LastBlue = 0;
};
