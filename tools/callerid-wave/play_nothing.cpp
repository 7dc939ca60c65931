// Playback in builds without an audio system: nothing is played.
#include "tools/callerid-wave/playback.h"

const bool PLAYBACK_AVAILABLE = false;

bool PlayToTheEnd(const CWave&, std::string* error) {
  *error = "this build has no audio output";
  return false;
}
