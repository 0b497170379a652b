#include "gif_bytes.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

TCodePacker::TCodePacker(int codeSize) : m_CodeSize(codeSize) {
    m_Width = codeSize + 1;
    m_NextFree = ClearCode() + 2;
}

TCodePacker& TCodePacker::Clear() {
    Put(ClearCode(), m_Width);
    m_Width = m_CodeSize + 1;
    m_NextFree = ClearCode() + 2;
    m_First = true;
    return *this;
}

TCodePacker& TCodePacker::Code(int code) {
    Put(code, m_Width);
    if (m_First) {
        m_First = false;
    } else if (m_NextFree < 4096) {
        ++m_NextFree;
        if (m_NextFree >= (1 << m_Width) && m_Width < 12) ++m_Width;
    }
    return *this;
}

TCodePacker& TCodePacker::Codes(std::initializer_list<int> codes) {
    for (int c : codes)
        Code(c);
    return *this;
}

TCodePacker& TCodePacker::End() {
    Put(EndCode(), m_Width);
    return *this;
}

TCodePacker& TCodePacker::Raw(int code, int width) {
    Put(code, width);
    return *this;
}

void TCodePacker::Put(int code, int width) {
    m_Bits |= static_cast<std::uint32_t>(code) << m_BitCount;
    m_BitCount += width;
    while (m_BitCount >= 8) {
        m_Bytes.push_back(static_cast<std::uint8_t>(m_Bits));
        m_Bits >>= 8;
        m_BitCount -= 8;
    }
}

Bytes TCodePacker::Data() const {
    Bytes b = m_Bytes;
    if (m_BitCount > 0) b.push_back(static_cast<std::uint8_t>(m_Bits));
    return b;
}

Bytes SubBlocks(const Bytes& data, int blockSize) {
    Bytes out;
    for (std::size_t at = 0; at < data.size(); at += static_cast<std::size_t>(blockSize)) {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(blockSize), data.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + n));
    }
    out.push_back(0);
    return out;
}

Bytes ImageData(int codeSize, const TCodePacker& codes, int blockSize) {
    Bytes out{static_cast<std::uint8_t>(codeSize)};
    const Bytes blocks = SubBlocks(codes.Data(), blockSize);
    out.insert(out.end(), blocks.begin(), blocks.end());
    return out;
}

Bytes Header(int width, int height, int colourCount, int background) {
    Bytes b = Text("GIF89a");
    int bits = 0;
    while (colourCount > 0 && (1 << (bits + 1)) < colourCount)
        ++bits;
    const std::uint8_t packed = colourCount > 0 ? static_cast<std::uint8_t>(0x80 | bits) : 0;
    for (int v : {width & 0xFF, width >> 8, height & 0xFF, height >> 8, int(packed), background, 0})
        b.push_back(static_cast<std::uint8_t>(v));
    if (colourCount > 0)
        for (int i = 0; i < (2 << bits); ++i)
            for (int c = 0; c < 3; ++c)
                b.push_back(i < colourCount ? static_cast<std::uint8_t>(i * 40 + c * 70 + 5) : 0);
    return b;
}

Bytes Descriptor(int left, int top, int width, int height, std::uint8_t packed) {
    Bytes b{0x2C};
    for (int v : {left, top, width, height}) {
        b.push_back(static_cast<std::uint8_t>(v));
        b.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    b.push_back(packed);
    return b;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

namespace {
std::size_t CopySubBlocks(const Bytes& in, std::size_t at, Bytes& out, Bytes* data) {
    for (;;) {
        const std::size_t n = in.at(at);
        if (!data) out.push_back(in[at]);
        ++at;
        if (n == 0) return at;
        if (data)
            data->insert(data->end(), in.begin() + static_cast<long>(at),
                         in.begin() + static_cast<long>(at + n));
        else
            out.insert(out.end(), in.begin() + static_cast<long>(at), in.begin() + static_cast<long>(at + n));
        at += n;
    }
}
} // namespace

Bytes Reblock(const Bytes& in, int blockSize) {
    Bytes out(in.begin(), in.begin() + 13);
    std::size_t at = 13;
    if (in[10] & 0x80) {
        const std::size_t table = 3u * (2u << (in[10] & 7));
        out.insert(out.end(), in.begin() + 13, in.begin() + static_cast<long>(13 + table));
        at += table;
    }
    while (at < in.size()) {
        const std::uint8_t b = in[at];
        if (b == 0x21) {
            out.push_back(in[at]);
            out.push_back(in[at + 1]);
            at = CopySubBlocks(in, at + 2, out, nullptr);
        } else if (b == 0x2C) {
            out.insert(out.end(), in.begin() + static_cast<long>(at),
                       in.begin() + static_cast<long>(at + 10));
            const std::uint8_t packed = in[at + 9];
            at += 10;
            if (packed & 0x80) {
                const std::size_t table = 3u * (2u << (packed & 7));
                out.insert(out.end(), in.begin() + static_cast<long>(at),
                           in.begin() + static_cast<long>(at + table));
                at += table;
            }
            out.push_back(in[at++]); // code size
            Bytes data;
            at = CopySubBlocks(in, at, out, &data);
            const Bytes blocks = SubBlocks(data, blockSize);
            out.insert(out.end(), blocks.begin(), blocks.end());
        } else {
            out.insert(out.end(), in.begin() + static_cast<long>(at), in.end());
            break;
        }
    }
    return out;
}

Bytes ReadFixture(const std::string& name) {
    std::ifstream in(std::string(VQ_GIF_FIXTURES) + "/" + name, std::ios::binary);
    if (!in) throw std::runtime_error("no fixture " + name);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
