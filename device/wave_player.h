// Wave output: a device id, and the player that hands one wave at a time to
// the system's wave output as a single looping buffer.
#pragma once

#include <atomic>

#include "device/wave.h"
#include "platform/os_audio.h"
#include "platform/os_types.h"

// A wave-out device id; -1 is the system's wave mapper (the default output).
class CWaveOutDevice {
 public:
  explicit CWaveOutDevice(int deviceId = -1) : id(deviceId) {}
  // Whether the device accepts the wave's format (a format query).
  bool IsFormatSupported(const CWave& wave) const;

  int id;
};

class CWavePlayer {
 public:
  CWavePlayer() = default;
  ~CWavePlayer();
  CWavePlayer(const CWavePlayer&) = delete;
  CWavePlayer& operator=(const CWavePlayer&) = delete;

  // The player plays its own copy of the wave. An open output is closed
  // first, so the system never reads a wave that is gone; false when that
  // close fails (the old wave is kept).
  bool SetWave(const CWave& newWave);
  void SetDevice(const CWaveOutDevice& newDevice) { device = newDevice; }
  // Opens the device for the wave's format with the completion callback.
  bool Open();
  // Plays the whole wave loopCount times; -1 and 0 play until reset.
  bool Play(int loopCount);
  bool IsPlaying() const;
  // Stops playback; queued data comes back done.
  bool Reset();
  // Resets and closes an open output; true also when none was open.
  bool Close();
  bool IsOpen() const { return output != nullptr; }

  // The system's completion callback: handles WOM_DONE for a header whose
  // user value is a player.
  static void OS_CALLBACK WaveOutProc(os::HWAVEOUT output, os::UINT message, os::DWORD_PTR instance,
                                      os::DWORD_PTR param1, os::DWORD_PTR param2);

  // Written by the callback on the audio system's thread as well.
  std::atomic<os::DWORD> end{0};
  std::atomic<os::DWORD> position{0};
  os::HWAVEOUT output = nullptr;
  std::atomic<os::MMRESULT> lastResult{os::MMSYSERR_NOERROR};
  os::WAVEHDR header = {};
  CWave wave;
  CWaveOutDevice device;

 private:
  // Hands the rest of the wave, from position to end, to the output.
  bool QueueRest(int loopCount);
  void ClearHeader();
};
