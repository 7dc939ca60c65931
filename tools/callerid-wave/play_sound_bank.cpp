// Playback on Windows: the program's own sound bank, which plays on the
// phone adapter's output when one is present and otherwise on the default
// output, and waits until the wave has played.
#include "device/phone_sounds.h"
#include "tools/callerid-wave/playback.h"

const bool PLAYBACK_AVAILABLE = true;

bool PlayToTheEnd(const CWave& wave, std::string* error) {
  CPhoneSounds sounds;
  if (!sounds.PlayWave(wave, 1, true)) {
    *error = "the audio output did not take the signal";
    return false;
  }
  if (!sounds.Stop()) {
    *error = "the audio output could not be closed";
    return false;
  }
  return true;
}
