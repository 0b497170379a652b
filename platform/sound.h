#pragma once
// The move sound: RIFF WAVE data played from memory, blocking until it has finished.
// Re-entrant and lock-free on our side: the user-interface thread and the engine thread may both
// call PlayWave; each call opens its own device. With no sound device (or no ALSA in the build)
// the call waits for the sound's length and plays nothing.

#include <cstddef>
#include <cstdint>
#include <string>

struct TWaveFormat {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;                 // 8 (unsigned) or 16 (signed, little-endian)
    const std::uint8_t* samples = nullptr; // into the caller's data
    std::size_t sampleBytes = 0;
    // Length in milliseconds.
    long DurationMs() const;
};

// Checks and reads a RIFF WAVE image (PCM, 1 or 2 channels, 8 or 16 bits). Chunk sizes are checked
// against the data; a truncated or foreign image gives false and a message.
bool ParseWave(const std::uint8_t* data, std::size_t size, TWaveFormat& out, std::string* error = nullptr);

// Plays the WAVE image and returns when it has finished. False when the data do not parse.
bool PlayWave(const std::uint8_t* data, std::size_t size);

// True when this build has a sound device layer (ALSA).
bool SoundDeviceCompiledIn();
