// RIFF WAVE images: the move sound file.
#include "platform/sound.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TWaveFormat w;
    std::string error;
    if (!ParseWave(data, size, w, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    // The samples lie inside the image, in a layout the player accepts.
    if (w.samples < data || w.sampleBytes > size || w.samples + w.sampleBytes > data + size) std::abort();
    if ((w.channels != 1 && w.channels != 2) || (w.bitsPerSample != 8 && w.bitsPerSample != 16)) std::abort();
    if (w.DurationMs() < 0) std::abort();
    return 0;
}
