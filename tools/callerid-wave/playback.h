// Playing the signal: through the program's sound bank where the build has
// an audio system, nowhere otherwise.
#pragma once

#include <string>

#include "device/wave.h"

// Whether this build can play at all.
extern const bool PLAYBACK_AVAILABLE;

// Plays the wave once and returns when it has played. On failure the result
// is false and error says why.
bool PlayToTheEnd(const CWave& wave, std::string* error);
