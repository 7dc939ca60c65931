// Writing a wave as a RIFF/WAVE file.
#pragma once

#include <string>

#include "device/wave.h"

// Writes the wave's format and its playable bytes to path. On failure the
// result is false and error says why.
bool WriteWavFile(const std::string& path, const CWave& wave, std::string* error);
