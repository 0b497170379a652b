#include "netpbm_reader.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {
// The next header number of a PBM or PGM file, skipping white space and comments.
bool Number(std::istream& in, int& value) {
    int c;
    while ((c = in.peek()) != EOF && (std::isspace(c) || c == '#')) {
        if (c == '#')
            while ((c = in.get()) != EOF && c != '\n') {
            }
        else
            in.get();
    }
    return static_cast<bool>(in >> value);
}
} // namespace

TNetpbmAlpha AlphaByGiftopnm(const std::vector<std::uint8_t>& gif, const std::string& folder) {
    TNetpbmAlpha result;
    const std::string in = folder + "/netpbm_in.gif", alpha = folder + "/netpbm_alpha.pnm";
    std::ofstream(in, std::ios::binary)
        .write(reinterpret_cast<const char*>(gif.data()), static_cast<std::streamsize>(gif.size()));
    const std::string command = "giftopnm -quiet -alphaout=" + alpha + " " + in + " > /dev/null";
    if (std::system(command.c_str()) != 0) {
        result.Error = "giftopnm failed (is netpbm installed?)";
        return result;
    }
    std::ifstream file(alpha, std::ios::binary);
    std::string magic(2, '\0');
    file.read(magic.data(), 2);
    int maxval = 1;
    if ((magic != "P4" && magic != "P5") || !Number(file, result.Width) || !Number(file, result.Height) ||
        (magic == "P5" && !Number(file, maxval))) {
        result.Error = "giftopnm wrote no PBM or PGM alpha plane";
        return result;
    }
    file.get();
    const std::string bits((std::istreambuf_iterator<char>(file)), {});
    const std::size_t rowBytes = magic == "P4" ? (static_cast<std::size_t>(result.Width) + 7) / 8
                                               : static_cast<std::size_t>(result.Width);
    if (bits.size() < rowBytes * static_cast<std::size_t>(result.Height)) {
        result.Error = "giftopnm's alpha plane is short";
        return result;
    }
    for (int y = 0; y < result.Height; ++y)
        for (int x = 0; x < result.Width; ++x) {
            const auto* row = reinterpret_cast<const std::uint8_t*>(bits.data()) + y * rowBytes;
            // PBM: a 1 bit is black, which the alpha plane uses for clear; PGM: 0 is clear.
            const bool clear = magic == "P4" ? (row[x / 8] >> (7 - x % 8)) & 1 : row[x] == 0;
            result.Transparent.push_back(clear ? 1 : 0);
        }
    result.Ok = true;
    return result;
}
