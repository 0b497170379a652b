#include "gif/color_quantizer.h"

#include <functional>

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : m_MaxColors(maxColors), m_ColorBits(colorBits) {}

void TColorQuantizer::AddColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    if (m_LastLeaf && red == m_LastRed && green == m_LastGreen && blue == m_LastBlue) {
        // The leaf count is as it was after the last colour, so no fold is due either.
        ++m_LastLeaf->PixelCount;
        m_LastLeaf->RedSum += red;
        m_LastLeaf->GreenSum += green;
        m_LastLeaf->BlueSum += blue;
        return;
    }
    auto create = [this](int level) {
        auto node = std::make_unique<TOctreeNode>();
        if (level == m_ColorBits) {
            node->Leaf = true;
            ++m_LeafCount;
        } else {
            node->NextReducible = m_Reducible[static_cast<std::size_t>(level)];
            m_Reducible[static_cast<std::size_t>(level)] = node.get();
        }
        return node;
    };
    if (!m_Root) m_Root = create(0);
    TOctreeNode* node = m_Root.get();
    for (int level = 0; !node->Leaf; ++level) {
        const int shift = 7 - level;
        const int index = ((red >> shift) & 1) << 2 | ((green >> shift) & 1) << 1 | ((blue >> shift) & 1);
        std::unique_ptr<TOctreeNode>& child = node->Children[static_cast<std::size_t>(index)];
        if (!child) child = create(level + 1);
        node = child.get();
    }
    ++node->PixelCount;
    node->RedSum += red;
    node->GreenSum += green;
    node->BlueSum += blue;
    m_LastLeaf = node;
    m_LastRed = red;
    m_LastGreen = green;
    m_LastBlue = blue;
    while (m_LeafCount > m_MaxColors && ReduceTree()) {
    }
}

void TColorQuantizer::ProcessImage(const TBitmap& bitmap24) {
    for (int y = 0; y < bitmap24.Height(); ++y) {
        const std::uint8_t* row = bitmap24.ScanLine(y);
        for (int x = 0; x < bitmap24.Width(); ++x)
            AddColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    }
}

bool TColorQuantizer::ReduceTree() {
    int level = m_ColorBits - 1;
    while (level > 0 && !m_Reducible[static_cast<std::size_t>(level)])
        --level;
    TOctreeNode* node = m_Reducible[static_cast<std::size_t>(level)];
    if (!node) return false; // nothing left to fold: the root is already a leaf
    m_Reducible[static_cast<std::size_t>(level)] = node->NextReducible;
    m_LastLeaf = nullptr; // it may be one of the children folded away
    int children = 0;
    for (std::unique_ptr<TOctreeNode>& child : node->Children) {
        if (!child) continue;
        node->PixelCount += child->PixelCount;
        node->RedSum += child->RedSum;
        node->GreenSum += child->GreenSum;
        node->BlueSum += child->BlueSum;
        child.reset();
        ++children;
    }
    node->Leaf = true;
    m_LeafCount -= children - 1;
    return true;
}

TPalette TColorQuantizer::ColorTable() const {
    TPalette table;
    std::function<void(const TOctreeNode*)> collect = [&](const TOctreeNode* node) {
        if (!node) return;
        if (node->Leaf) {
            if (node->PixelCount == 0) {
                table.push_back({});
            } else {
                const std::uint64_t n = node->PixelCount;
                table.push_back({static_cast<std::uint8_t>(node->RedSum / n),
                                 static_cast<std::uint8_t>(node->GreenSum / n),
                                 static_cast<std::uint8_t>(node->BlueSum / n), 0});
            }
            return;
        }
        for (const auto& child : node->Children)
            collect(child.get());
    };
    collect(m_Root.get());
    return table;
}
