// The tests' controls of the simulated audio system.
#include "platform/sim/audio_controls.h"

#include "platform/sim/sim_audio.h"
#include "platform/sim/world.h"

namespace sim {

AudioState& Audio() {
  World& world = TheWorld();
  if (!world.audio) world.audio = std::make_shared<AudioState>();
  return *world.audio;
}

namespace {

std::vector<AudioDevice> Devices(const std::vector<std::string>& names) {
  std::vector<AudioDevice> devices;
  for (const std::string& name : names) devices.push_back(AudioDevice{name});
  return devices;
}

void FailCaps(std::vector<AudioDevice>& devices, os::UINT deviceId) {
  if (deviceId < devices.size()) devices[deviceId].capsFail = true;
}

}  // namespace

void SetWaveOutDevices(const std::vector<std::string>& names) { Audio().outputs = Devices(names); }
void SetWaveInDevices(const std::vector<std::string>& names) { Audio().inputs = Devices(names); }
void FailWaveOutCaps(os::UINT deviceId) { FailCaps(Audio().outputs, deviceId); }
void FailWaveInCaps(os::UINT deviceId) { FailCaps(Audio().inputs, deviceId); }

void SetWaveOutFormatFilter(FormatFilter accepts) { Audio().accepts = std::move(accepts); }

bool AcceptsPcmFormat(const os::WAVEFORMATEX& format) {
  if (format.wFormatTag != os::WAVE_FORMAT_PCM) return false;
  if (format.nChannels < 1 || format.nChannels > 2) return false;
  if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) return false;
  if (format.nSamplesPerSec < 1000 || format.nSamplesPerSec > 192000) return false;
  if (format.nBlockAlign != format.nChannels * format.wBitsPerSample / 8) return false;
  return format.nAvgBytesPerSec == format.nSamplesPerSec * format.nBlockAlign;
}

const std::vector<AudioCall>& AudioCalls() { return Audio().calls; }
const std::vector<PlayedBuffer>& PlayedBuffers() { return Audio().played; }

void StallWaveOut(bool stalled) { Audio().stalled = stalled; }

void ClearAudioRecords() {
  AudioState& audio = Audio();
  audio.calls.clear();
  audio.played.clear();
  for (auto& entry : audio.open) {
    for (QueuedBuffer& queued : entry.second->queue) queued.record = NO_RECORD;
  }
}

int OpenWaveOutCount() { return static_cast<int>(Audio().open.size()); }

int PreparedHeaderCount() {
  std::size_t count = 0;
  for (auto& entry : Audio().open) count += entry.second->prepared.size();
  for (auto& output : Audio().closed) count += output->prepared.size();
  return static_cast<int>(count);
}

}  // namespace sim
