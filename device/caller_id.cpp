// Caller identification in the running program: the signal with the local
// time of now, the sound bank's PlayCallerId and the main window's entry
// point SendCallerId.
#include "device/caller_id.h"

#include "device/phone_sounds.h"
#include "device/wave.h"
#include "platform/os_kernel.h"
#include "shell/main_dialog.h"

namespace {

constexpr os::DWORD CALLER_ID_WAIT_STEP_MS = 20;
constexpr int CALLER_ID_WAIT_STEPS = 100;  // 2 s
constexpr int PLAY_ONCE = 1;

os::SYSTEMTIME LocalTimeNow() {
  os::SYSTEMTIME now = {};
  os::GetLocalTime(&now);
  return now;
}

}  // namespace

std::size_t BuildCallerIdMessage(std::uint8_t* buffer, std::size_t capacity,
                                 const std::string& number, const std::string& name) {
  return BuildCallerIdMessage(buffer, capacity, number, name, LocalTimeNow());
}

std::size_t GenerateCallerIdSignal(std::int16_t* samples, std::size_t capacity,
                                   const std::string& number, const std::string& name) {
  return GenerateCallerIdSignal(samples, capacity, number, name, LocalTimeNow());
}

void CWave::MakeCallerIdWave(const std::string& number, const std::string& name) {
  MakeCallerIdWave(number, name, LocalTimeNow());
}

void CPhoneSounds::PlayCallerId(const std::string& number, const std::string& name, bool wait) {
  if (number.empty() && name.empty()) return;
  if (!CloseIfOpen()) return;
  CWave& wave = waves[CALLER_ID_SLOT];
  wave.MakeCallerIdWave(number, name);
  if (!Start(wave, PLAY_ONCE)) return;
  if (!wait) return;
  for (int step = 0; step < CALLER_ID_WAIT_STEPS && player.IsPlaying(); ++step) {
    os::Sleep(CALLER_ID_WAIT_STEP_MS);
  }
  // Played: the output is let go at once rather than held open until the
  // next sound, which may be days away.
  if (!player.IsPlaying()) CloseIfOpen();
}

// Called by the ring timer in the first pause after the caller became
// known. Blocks the main window's thread while the signal plays (up to 2 s).
void CCorvaloPluginDlg::SendCallerId(const std::string& number, const std::string& name,
                                     int suppress) {
  if (!adapterHandle) return;
  std::string sentNumber = CutForCallerId(number);
  std::string sentName = CutForCallerId(name);
  if (suppress || (sentNumber.empty() && sentName.empty()) || offHook) return;
  WriteLog("SendCalleridStart");
  phoneSounds.PlayCallerId(sentNumber, sentName, true);
  WriteLog("SendCalleridStop");
}
