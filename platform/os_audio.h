// Waveform audio: the device lists of wave input and output, and wave output
// with one looping buffer at a time.
#pragma once

#include "platform/os_types.h"

namespace os {

using DWORD_PTR = std::uintptr_t;
using MMRESULT = UINT;

struct HWAVEOUT__;
using HWAVEOUT = HWAVEOUT__*;

// Results.
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

// The wave mapper: the system's default output.
constexpr UINT WAVE_MAPPER = 0xFFFFFFFFu;

// waveOutOpen flags.
constexpr DWORD WAVE_FORMAT_QUERY = 0x00000001;
constexpr DWORD CALLBACK_NULL = 0x00000000;
constexpr DWORD CALLBACK_FUNCTION = 0x00030000;

// Header flags.
constexpr DWORD WHDR_DONE = 0x00000001;
constexpr DWORD WHDR_PREPARED = 0x00000002;
constexpr DWORD WHDR_BEGINLOOP = 0x00000004;
constexpr DWORD WHDR_ENDLOOP = 0x00000008;
constexpr DWORD WHDR_INQUEUE = 0x00000010;

// Messages to an output's callback.
constexpr UINT WOM_OPEN = 0x3BB;
constexpr UINT WOM_CLOSE = 0x3BC;
constexpr UINT WOM_DONE = 0x3BD;

constexpr WORD WAVE_FORMAT_PCM = 1;
constexpr UINT MAXPNAMELEN = 32;

// On the 32-bit target these records have the system's layout and are
// passed through as they are. The format record is packed (18 bytes), as
// the system declares it.
#pragma pack(push, 1)
struct WAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
};
#pragma pack(pop)

struct WAVEHDR {
  char* lpData;
  DWORD dwBufferLength;
  DWORD dwBytesRecorded;
  DWORD_PTR dwUser;
  DWORD dwFlags;
  DWORD dwLoops;
  WAVEHDR* lpNext;
  DWORD_PTR reserved;
};

struct WAVEOUTCAPSA {
  WORD wMid;
  WORD wPid;
  UINT vDriverVersion;
  char szPname[MAXPNAMELEN];  // product name, terminated when shorter than 32
  DWORD dwFormats;
  WORD wChannels;
  WORD wReserved1;
  DWORD dwSupport;
};

struct WAVEINCAPSA {
  WORD wMid;
  WORD wPid;
  UINT vDriverVersion;
  char szPname[MAXPNAMELEN];
  DWORD dwFormats;
  WORD wChannels;
  WORD wReserved1;
};

// The function an output calls with WOM_OPEN, WOM_DONE (param1 = the header)
// and WOM_CLOSE, on a thread of the audio system.
using WAVEOUTPROC = void(OS_CALLBACK*)(HWAVEOUT output, UINT message, DWORD_PTR instance,
                                       DWORD_PTR param1, DWORD_PTR param2);

// Device lists; ids run from 0 to count - 1.
UINT waveInGetNumDevs();
MMRESULT waveInGetDevCapsA(UINT_PTR deviceId, WAVEINCAPSA* caps, UINT size);
UINT waveOutGetNumDevs();
MMRESULT waveOutGetDevCapsA(UINT_PTR deviceId, WAVEOUTCAPSA* caps, UINT size);

// Wave output. With WAVE_FORMAT_QUERY, waveOutOpen only asks whether the
// device accepts the format (output may be null). The callback is a
// WAVEOUTPROC passed as a DWORD_PTR with CALLBACK_FUNCTION.
MMRESULT waveOutOpen(HWAVEOUT* output, UINT deviceId, const WAVEFORMATEX* format,
                     DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
MMRESULT waveOutPrepareHeader(HWAVEOUT output, WAVEHDR* header, UINT size);
MMRESULT waveOutUnprepareHeader(HWAVEOUT output, WAVEHDR* header, UINT size);
MMRESULT waveOutWrite(HWAVEOUT output, WAVEHDR* header, UINT size);
// Stops playback; every queued buffer comes back marked done.
MMRESULT waveOutReset(HWAVEOUT output);
MMRESULT waveOutClose(HWAVEOUT output);

}  // namespace os
