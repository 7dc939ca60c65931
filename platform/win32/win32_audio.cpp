// The waveform-audio seam over the real winmm API.
#include "platform/os_audio.h"

#include <cstddef>

// clang-format off
#include "platform/win32/win32_api.h"
#include <mmsystem.h>
// clang-format on

namespace os {

// The seam's records have the system's layout, so they are passed through.
static_assert(sizeof(WAVEFORMATEX) == sizeof(::WAVEFORMATEX));
static_assert(offsetof(WAVEFORMATEX, nBlockAlign) == offsetof(::WAVEFORMATEX, nBlockAlign));
static_assert(sizeof(WAVEHDR) == sizeof(::WAVEHDR));
static_assert(offsetof(WAVEHDR, dwUser) == offsetof(::WAVEHDR, dwUser));
static_assert(offsetof(WAVEHDR, dwFlags) == offsetof(::WAVEHDR, dwFlags));
static_assert(offsetof(WAVEHDR, dwLoops) == offsetof(::WAVEHDR, dwLoops));
static_assert(sizeof(WAVEOUTCAPSA) == sizeof(::WAVEOUTCAPSA));
static_assert(offsetof(WAVEOUTCAPSA, szPname) == offsetof(::WAVEOUTCAPSA, szPname));
static_assert(sizeof(WAVEINCAPSA) == sizeof(::WAVEINCAPSA));
static_assert(offsetof(WAVEINCAPSA, szPname) == offsetof(::WAVEINCAPSA, szPname));

namespace {
::HWAVEOUT H(HWAVEOUT output) { return reinterpret_cast<::HWAVEOUT>(output); }
::WAVEHDR* H(WAVEHDR* header) { return reinterpret_cast<::WAVEHDR*>(header); }
}  // namespace

UINT waveInGetNumDevs() { return ::waveInGetNumDevs(); }
MMRESULT waveInGetDevCapsA(UINT_PTR deviceId, WAVEINCAPSA* caps, UINT size) {
  return ::waveInGetDevCapsA(deviceId, reinterpret_cast<::WAVEINCAPSA*>(caps), size);
}
UINT waveOutGetNumDevs() { return ::waveOutGetNumDevs(); }
MMRESULT waveOutGetDevCapsA(UINT_PTR deviceId, WAVEOUTCAPSA* caps, UINT size) {
  return ::waveOutGetDevCapsA(deviceId, reinterpret_cast<::WAVEOUTCAPSA*>(caps), size);
}

MMRESULT waveOutOpen(HWAVEOUT* output, UINT deviceId, const WAVEFORMATEX* format,
                     DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
  return ::waveOutOpen(reinterpret_cast<::HWAVEOUT*>(output), deviceId,
                       reinterpret_cast<const ::WAVEFORMATEX*>(format), callback, instance, flags);
}
MMRESULT waveOutPrepareHeader(HWAVEOUT output, WAVEHDR* header, UINT size) {
  return ::waveOutPrepareHeader(H(output), H(header), size);
}
MMRESULT waveOutUnprepareHeader(HWAVEOUT output, WAVEHDR* header, UINT size) {
  return ::waveOutUnprepareHeader(H(output), H(header), size);
}
MMRESULT waveOutWrite(HWAVEOUT output, WAVEHDR* header, UINT size) {
  return ::waveOutWrite(H(output), H(header), size);
}
MMRESULT waveOutReset(HWAVEOUT output) { return ::waveOutReset(H(output)); }
MMRESULT waveOutClose(HWAVEOUT output) { return ::waveOutClose(H(output)); }

}  // namespace os
