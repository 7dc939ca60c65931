// The sound bank: the alert tone, and playing a wave through the one player.
#include "device/phone_sounds.h"

#include "device/audio_devices.h"
#include "platform/os_kernel.h"

namespace {

constexpr os::DWORD WAVE_WAIT_STEP_MS = 10;
constexpr int WAVE_WAIT_STEPS = 500;  // 5 s

}  // namespace

CPhoneSounds::CPhoneSounds() { waves[ALERT_TONE_SLOT].MakeTone(400, 0.3, 0.2); }

bool CPhoneSounds::CloseIfOpen() { return !player.IsOpen() || player.Close(); }

// A format the default output refuses ends here, before the adapter's own
// device is looked up or opened.
bool CPhoneSounds::Start(const CWave& wave, int loopCount) {
  if (!formatDevice.IsFormatSupported(wave)) return false;
  if (!player.SetWave(wave)) return false;
  player.SetDevice(CWaveOutDevice(FindWaveOutDevice()));
  if (!player.Open()) return false;
  return player.Play(loopCount);
}

bool CPhoneSounds::PlayWave(const CWave& wave, int loopCount, bool wait) {
  if (!CloseIfOpen()) return false;
  if (!Start(wave, loopCount)) return false;
  if (wait && loopCount >= 0) {
    for (int step = 0; step < WAVE_WAIT_STEPS && player.IsPlaying(); ++step) {
      os::Sleep(WAVE_WAIT_STEP_MS);
    }
  }
  return true;
}
