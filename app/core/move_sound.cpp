#include "app/core/move_sound.h"

#include "app/core/shell_state.h"
#include "platform/sound.h"

#include <fstream>
#include <iterator>

std::vector<std::uint8_t> MoveSoundData;

bool LoadMoveSound(const std::string& path) {
    MoveSoundData.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TWaveFormat format;
    if (!ParseWave(bytes.data(), bytes.size(), format))
        return false; // a damaged resource plays nothing rather than noise
    MoveSoundData = std::move(bytes);
    return true;
}

void PlayMoveSound() {
    if (SoundOn && !MoveSoundData.empty()) PlayWave(MoveSoundData.data(), MoveSoundData.size());
}
