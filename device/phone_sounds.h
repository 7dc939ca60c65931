// The sound bank through which every playback into the phone line runs: one
// player, a format device for queries and 28 wave slots (slot 0 the last
// caller-identification wave, slot 19 the alert tone).
#pragma once

#include <string>

#include "device/wave.h"
#include "device/wave_player.h"

class CPhoneSounds {
 public:
  static constexpr int WAVE_SLOTS = 28;
  static constexpr int CALLER_ID_SLOT = 0;
  static constexpr int ALERT_TONE_SLOT = 19;

  // Builds the alert tone: 400 Hz for 0.3 s, then 0.2 s of silence.
  CPhoneSounds();

  // Plays a copy of the wave loopCount times (-1 and 0: until Stop) on the
  // adapter's output, or the default output when there is none. With wait
  // and a loop count of 0 or more, returns once it has played or after 5 s,
  // whichever comes first. False when nothing was started.
  bool PlayWave(const CWave& wave, int loopCount, bool wait);
  // Plays the caller-identification signal for this caller once
  // (caller_id.cpp); with wait, returns once it has played (at most 2 s).
  void PlayCallerId(const std::string& number, const std::string& name, bool wait);
  // Stops any playback of the bank.
  bool Stop() { return player.Close(); }

  CWavePlayer player;
  CWaveOutDevice formatDevice{-1};
  CWave waves[WAVE_SLOTS];

 private:
  // Closes the player's output when it is still open; false if that fails.
  bool CloseIfOpen();
  // Checks the format on the format device, then opens the adapter's output
  // (or the default one) and plays the wave.
  bool Start(const CWave& wave, int loopCount);
};
