#include "app/core/move_sound.h"

#include "app/core/shell_state.h"
#include "platform/file_io.h"
#include "platform/sound.h"

std::vector<std::uint8_t> MoveSoundData;

bool LoadMoveSound(const std::string& path) {
    MoveSoundData.clear();
    // A short click; a file this large is not the program's sound and is not read into memory.
    constexpr std::size_t maxBytes = 16u << 20;
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, maxBytes)) return false;
    TWaveFormat format;
    if (!ParseWave(bytes.data(), bytes.size(), format))
        return false; // a damaged resource plays nothing rather than noise
    MoveSoundData = std::move(bytes);
    return true;
}

void PlayMoveSound() {
    if (Shell.SoundOn && !MoveSoundData.empty()) PlayWave(MoveSoundData.data(), MoveSoundData.size());
}
