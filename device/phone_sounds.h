// The sound bank through which every playback into the phone line runs.
#pragma once

class CPhoneSounds {
 public:
  // Stops any playback of the bank; nothing plays yet, so there is nothing
  // to stop.
  void Stop() {}
};
