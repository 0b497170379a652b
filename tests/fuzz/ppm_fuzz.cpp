// PPM pictures as vqgif reads them.
#include "tools/vqgif/ppm.h"

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        const TBitmap picture = ReadPPM(in, "fuzz.ppm");
        (void)picture;
    } catch (const std::runtime_error&) {
    }
    return 0;
}
