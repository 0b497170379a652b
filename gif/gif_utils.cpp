#include "gif/gif_utils.h"

#include "gif/gif_exception.h"

void Error(const std::string& message) {
    throw GIFException(message);
}

std::int64_t BytesPerScanline(std::int64_t width, int bits) {
    return ((width * bits + 31) & ~31LL) / 8;
}

int ColorBits(int n) {
    if (n <= 0) return 0;
    if (n <= 2) return 1;
    int b = 1;
    while ((1 << b) < n)
        ++b;
    return b;
}

void WriteByte(TStream& stream, std::uint8_t b) {
    stream.Write(&b, 1);
}

int ReadByte(TStream& stream) {
    std::uint8_t b;
    return stream.Read(&b, 1) == 1 ? b : -1;
}

void ReadCheck(TStream& stream, void* buffer, std::size_t count) {
    if (stream.Read(buffer, count) != count) Error("Premature end of data");
}

bool SkipSubBlocks(TStream& stream) {
    std::uint8_t block[255];
    for (;;) {
        const int n = ReadByte(stream);
        if (n < 0) return false;
        if (n == 0) return true;
        if (stream.Read(block, static_cast<std::size_t>(n)) < static_cast<std::size_t>(n)) return false;
    }
}

void WriteStrings(TStream& stream, const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
        for (std::size_t at = 0; at < text.size(); at += 255) {
            const std::size_t n = std::min<std::size_t>(255, text.size() - at);
            WriteByte(stream, static_cast<std::uint8_t>(n));
            stream.Write(text.data() + at, n);
        }
    }
    WriteByte(stream, 0);
}

std::vector<std::string> ReadStrings(TStream& stream) {
    std::vector<std::string> texts;
    for (;;) {
        const int n = ReadByte(stream);
        if (n <= 0) break;
        std::string text(static_cast<std::size_t>(n), '\0');
        ReadCheck(stream, text.data(), text.size());
        texts.push_back(std::move(text));
    }
    return texts;
}
