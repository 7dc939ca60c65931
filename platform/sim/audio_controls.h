// The simulated audio system as tests see it: the machine's named wave
// devices, which formats they accept, and a record of every waveform call
// and of every buffer an output was given.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/os_audio.h"

namespace sim {

enum class AudioOp {
  InGetNumDevs,
  InGetDevCaps,
  OutGetNumDevs,
  OutGetDevCaps,
  Query,  // waveOutOpen with WAVE_FORMAT_QUERY
  Open,
  Prepare,
  Unprepare,
  Write,
  Reset,
  Close,
};

struct AudioCall {
  AudioOp op;
  os::UINT device;      // the id asked for, or the open output's device
  os::HWAVEOUT output;  // null for device-list calls and format queries
  os::MMRESULT result;
  std::uint64_t at;  // virtual time
};

struct PlayedBuffer {
  os::HWAVEOUT output;
  os::UINT device;
  os::WAVEFORMATEX format;
  std::vector<std::uint8_t> data;  // a copy of what was written
  os::DWORD flags;                 // header flags at the write
  os::DWORD loops;                 // times the data plays (the header's count when looping, else 1)
  std::uint64_t writtenAt;
  std::uint64_t doneAt;  // when it came back done; UINT64_MAX while it plays
  bool endedByReset;
};

// Whether a device (or WAVE_MAPPER) accepts a format.
using FormatFilter = std::function<bool(os::UINT deviceId, const os::WAVEFORMATEX& format)>;

// The device lists, by product name; ids are the positions. A new desktop
// has one ordinary output ("Speakers") and one input ("Microphone").
void SetWaveOutDevices(const std::vector<std::string>& names);
void SetWaveInDevices(const std::vector<std::string>& names);
// From now on the capabilities of that device cannot be read.
void FailWaveOutCaps(os::UINT deviceId);
void FailWaveInCaps(os::UINT deviceId);

// Null restores the default rule, AcceptsPcmFormat on every device.
void SetWaveOutFormatFilter(FormatFilter accepts);
// Consistent 8- or 16-bit PCM with 1 or 2 channels at 1000 to 192000 Hz.
bool AcceptsPcmFormat(const os::WAVEFORMATEX& format);

// From now on outputs take buffers but never play them out, as a hung
// audio driver does; a reset still returns them.
void StallWaveOut(bool stalled);

const std::vector<AudioCall>& AudioCalls();
const std::vector<PlayedBuffer>& PlayedBuffers();
void ClearAudioRecords();
// Outputs opened and not yet closed.
int OpenWaveOutCount();
// Headers prepared and never unprepared, over every output ever opened.
int PreparedHeaderCount();

}  // namespace sim
