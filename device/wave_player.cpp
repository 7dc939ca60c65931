// CWaveOutDevice and CWavePlayer over the seam's wave output.
#include "device/wave_player.h"

#include "platform/os_audio.h"

namespace {

// The header's flags are changed by the audio system and the callback on
// another thread while IsPlaying reads them.
os::DWORD LoadFlags(const os::WAVEHDR& header) {
  return __atomic_load_n(&header.dwFlags, __ATOMIC_ACQUIRE);
}
void StoreFlags(os::WAVEHDR& header, os::DWORD flags) {
  __atomic_store_n(&header.dwFlags, flags, __ATOMIC_RELEASE);
}

constexpr os::DWORD LOOP_UNTIL_RESET = 0xFFFFFFFF;

}  // namespace

bool CWaveOutDevice::IsFormatSupported(const CWave& wave) const {
  return os::waveOutOpen(nullptr, static_cast<os::UINT>(id), &wave.format, 0, 0,
                         os::WAVE_FORMAT_QUERY) == os::MMSYSERR_NOERROR;
}

CWavePlayer::~CWavePlayer() { Close(); }

bool CWavePlayer::SetWave(const CWave& newWave) {
  if (IsOpen() && !Close()) return false;
  wave = newWave;
  return true;
}

bool CWavePlayer::Open() {
  if (IsOpen() && !Close()) return false;
  os::HWAVEOUT opened = nullptr;
  os::MMRESULT result =
      os::waveOutOpen(&opened, static_cast<os::UINT>(device.id), &wave.format,
                      reinterpret_cast<os::DWORD_PTR>(&WaveOutProc), 0, os::CALLBACK_FUNCTION);
  lastResult = result;
  if (result != os::MMSYSERR_NOERROR) return false;
  output = opened;
  return true;
}

bool CWavePlayer::Play(int loopCount) {
  os::MMRESULT result = os::waveOutReset(output);
  lastResult = result;
  if (result != os::MMSYSERR_NOERROR) return false;
  position = 0;
  end = wave.PlayableSize();
  return QueueRest(loopCount);
}

bool CWavePlayer::QueueRest(int loopCount) {
  os::DWORD start = position;
  header = {};
  header.lpData = reinterpret_cast<char*>(wave.buffer.Data()) + start;
  header.dwBufferLength = end - start;
  header.dwUser = reinterpret_cast<os::DWORD_PTR>(this);
  header.dwLoops =
      (loopCount == -1 || loopCount == 0) ? LOOP_UNTIL_RESET : static_cast<os::DWORD>(loopCount);
  header.dwFlags = os::WHDR_BEGINLOOP | os::WHDR_ENDLOOP;
  os::MMRESULT result = os::waveOutPrepareHeader(output, &header, sizeof header);
  lastResult = result;
  if (result != os::MMSYSERR_NOERROR) return false;
  result = os::waveOutWrite(output, &header, sizeof header);
  lastResult = result;
  if (result != os::MMSYSERR_NOERROR) {
    os::waveOutUnprepareHeader(output, &header, sizeof header);
    ClearHeader();
    return false;
  }
  position = end.load();
  return true;
}

void CWavePlayer::ClearHeader() {
  header.lpData = nullptr;
  header.dwBufferLength = 0;
  header.dwUser = 0;
  StoreFlags(header, 0);
}

bool CWavePlayer::IsPlaying() const {
  os::DWORD flags = LoadFlags(header);
  return flags != 0 && !(flags & os::WHDR_DONE);
}

bool CWavePlayer::Reset() {
  position = end.load();
  if (!output) return true;
  os::MMRESULT result = os::waveOutReset(output);
  lastResult = result;
  return result == os::MMSYSERR_NOERROR;
}

bool CWavePlayer::Close() {
  if (!output) return true;
  if (!Reset()) return false;
  os::MMRESULT result = os::waveOutClose(output);
  lastResult = result;
  if (result != os::MMSYSERR_NOERROR) return false;
  output = nullptr;
  return true;
}

// The header is unprepared before its flags are cleared: the system takes a
// header whose flags say "not prepared" as never prepared and would keep
// what it set up for it.
void OS_CALLBACK CWavePlayer::WaveOutProc(os::HWAVEOUT output, os::UINT message, os::DWORD_PTR,
                                          os::DWORD_PTR param1, os::DWORD_PTR) {
  auto* done = reinterpret_cast<os::WAVEHDR*>(param1);
  if (message != os::WOM_DONE || !done || !output) return;
  auto* player = reinterpret_cast<CWavePlayer*>(done->dwUser);
  if (!player) return;
  if (LoadFlags(*done) & os::WHDR_DONE) {
    os::MMRESULT result = os::waveOutUnprepareHeader(output, done, sizeof *done);
    player->lastResult = result;
    if (result != os::MMSYSERR_NOERROR) return;
    StoreFlags(*done, 0);
    done->lpData = nullptr;
  }
  if (player->position < player->end) player->QueueRest(static_cast<int>(done->dwLoops));
}
