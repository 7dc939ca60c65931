// The adapter's USB audio devices, recognised by product name: the best
// match of "USB Internet Phone", then "USB Audio Device", then "USB".
#pragma once

#include <string>

// The product name of a wave input or output device; empty when its
// capabilities cannot be read (an id out of range included).
std::string GetWaveInDeviceName(int id);
std::string GetWaveOutDeviceName(int id);

// The adapter's wave input or output device, or -1 when none matches.
int FindWaveInDevice();
int FindWaveOutDevice();
