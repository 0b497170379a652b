#include "tools/vqgif/ppm.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>

#include <sys/stat.h>

namespace {
// The next header token, skipping white space and comments.
bool NextToken(std::istream& in, std::string& token) {
    token.clear();
    int c;
    while ((c = in.get()) != EOF) {
        if (c == '#') {
            while ((c = in.get()) != EOF && c != '\n') {
            }
        } else if (!std::isspace(c)) {
            token += static_cast<char>(c);
            break;
        }
    }
    while ((c = in.peek()) != EOF && !std::isspace(c) && c != '#' && token.size() < 16)
        token += static_cast<char>(in.get());
    return !token.empty();
}

} // namespace

bool ParseDecimal(const std::string& text, long long& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char ch : text)
        if (ch < '0' || ch > '9') return false;
    value = std::stoll(text);
    return true;
}

TBitmap ReadPPM(std::istream& in, const std::string& name) {
    std::string magic, w, h, m;
    long long width, height, maxval;
    if (!NextToken(in, magic) || magic != "P6") throw std::runtime_error(name + ": not a binary PPM (P6)");
    if (!NextToken(in, w) || !NextToken(in, h) || !NextToken(in, m) || !ParseDecimal(w, width) ||
        !ParseDecimal(h, height) || !ParseDecimal(m, maxval))
        throw std::runtime_error(name + ": damaged PPM header");
    if (width < 1 || height < 1 || width > 65535 || height > 65535)
        throw std::runtime_error(name + ": picture size outside 1..65535");
    if (maxval < 1 || maxval > 255) throw std::runtime_error(name + ": only 8-bit PPM samples are read");
    in.get(); // the single white-space byte before the samples

    // The samples must be there before the bitmap is made.
    const std::streampos start = in.tellg();
    in.seekg(0, std::ios::end);
    const std::streampos end = in.tellg();
    if (start < 0 || end < 0) throw std::runtime_error(name + ": cannot measure the PPM data");
    in.seekg(start);
    const long long rowBytes = width * 3;
    if (static_cast<long long>(end - start) < rowBytes * height)
        throw std::runtime_error(name + ": truncated PPM data");

    TBitmap bitmap(static_cast<int>(width), static_cast<int>(height), pf24bit);
    std::string row(static_cast<std::size_t>(rowBytes), '\0');
    for (int y = 0; y < height; ++y) {
        if (!in.read(row.data(), static_cast<std::streamsize>(row.size())))
            throw std::runtime_error(name + ": truncated PPM data");
        std::uint8_t* dst = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int v = static_cast<std::uint8_t>(row[static_cast<std::size_t>(3 * x + c)]);
                dst[3 * x + 2 - c] =
                    static_cast<std::uint8_t>(std::min(255, v * 255 / static_cast<int>(maxval)));
            }
    }
    return bitmap;
}

TBitmap ReadPPM(const std::string& fileName) {
    // Opening a FIFO would wait for a writer, and a device may never end.
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw std::runtime_error("cannot open " + fileName + ": not a regular file");
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + fileName);
    return ReadPPM(in, fileName);
}

std::vector<std::uint8_t> EncodePPM(int width, int height, const std::vector<std::uint8_t>& rgb) {
    const std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), rgb.begin(), rgb.end());
    return bytes;
}
