#pragma once
// The move sound. MoveSoundData is filled once at start-up, before any engine thread runs, and is
// only read afterwards, so PlayMoveSound needs no lock. PlayMoveSound may be called from the
// user-interface thread and from the engine thread; it returns when the sound has finished.

#include <cstdint>
#include <string>
#include <vector>

extern std::vector<std::uint8_t> MoveSoundData;

// Loads the WAVE file of the program's resources; on failure MoveSoundData stays empty and no
// sound is played.
bool LoadMoveSound(const std::string& path);

// Plays the sound when SoundOn is set and the data are present; blocks while it plays.
void PlayMoveSound();
