// The alert tone on the phone line.
#include "shell/main_dialog.h"

namespace {
constexpr int ALERT_TONE = 1;
constexpr int ALERT_TONE_CYCLES = 5;  // 2.5 s of tone and pause
}  // namespace

// Kind 1 switched on plays a copy of the alert tone five times without
// waiting; switched off it stops whatever the sound bank plays. Other kinds
// do nothing.
bool CCorvaloPluginDlg::SetPhoneSignal(int kind, bool on) {
  if (kind != ALERT_TONE) return false;
  if (!on) return phoneSounds.Stop();
  CWave tone(phoneSounds.waves[CPhoneSounds::ALERT_TONE_SLOT]);
  return phoneSounds.PlayWave(tone, ALERT_TONE_CYCLES, false);
}
