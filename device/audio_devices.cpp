// Audio device discovery. The device lists are read afresh on every call.
#include "device/audio_devices.h"

#include <cstring>

#include "platform/os_audio.h"

namespace {

// In order of preference.
constexpr const char* NAME_PATTERNS[] = {"USB Internet Phone", "USB Audio Device", "USB"};
constexpr int PATTERN_COUNT = sizeof NAME_PATTERNS / sizeof NAME_PATTERNS[0];

template <typename Caps>
std::string ProductName(os::MMRESULT result, const Caps& caps) {
  if (result != os::MMSYSERR_NOERROR) return "";
  return std::string(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname));
}

// The count is asked again after every index, as the list may change.
int FindDevice(os::UINT (*deviceCount)(), std::string (*deviceName)(int)) {
  if (deviceCount() == 0) return -1;
  int firstMatch[PATTERN_COUNT] = {-1, -1, -1};
  for (os::UINT index = 0; index < deviceCount(); ++index) {
    std::string name = deviceName(static_cast<int>(index));
    for (int rank = 0; rank < PATTERN_COUNT; ++rank) {
      if (firstMatch[rank] < 0 && name.find(NAME_PATTERNS[rank]) != std::string::npos) {
        firstMatch[rank] = static_cast<int>(index);
      }
    }
  }
  for (int match : firstMatch) {
    if (match >= 0) return match;
  }
  return -1;
}

}  // namespace

std::string GetWaveInDeviceName(int id) {
  os::WAVEINCAPSA caps = {};
  os::MMRESULT result = os::waveInGetDevCapsA(static_cast<os::UINT>(id), &caps, sizeof caps);
  return ProductName(result, caps);
}

std::string GetWaveOutDeviceName(int id) {
  os::WAVEOUTCAPSA caps = {};
  os::MMRESULT result = os::waveOutGetDevCapsA(static_cast<os::UINT>(id), &caps, sizeof caps);
  return ProductName(result, caps);
}

int FindWaveInDevice() { return FindDevice(&os::waveInGetNumDevs, &GetWaveInDeviceName); }
int FindWaveOutDevice() { return FindDevice(&os::waveOutGetNumDevs, &GetWaveOutDeviceName); }
