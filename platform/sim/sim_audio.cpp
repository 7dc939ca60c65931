// Waveform audio of the simulated desktop. Each open output has a thread of
// its own in the opening process: it plays the queued buffers on virtual
// time (a buffer lasts its bytes times its loops at the format's byte rate)
// and calls the output's callback with WOM_OPEN, WOM_DONE and WOM_CLOSE.
// Reset and close wait until their callbacks have run, so once they return
// the audio system no longer touches the caller's headers.
#include "platform/sim/sim_audio.h"

#include <algorithm>
#include <cstring>

#include "platform/os_audio.h"
#include "platform/sim/world.h"

namespace sim {

namespace {

constexpr os::DWORD CALLBACK_TYPE_MASK = 0x00070000;
constexpr const char* MAPPER_NAME = "Sound Mapper";

os::MMRESULT Record(AudioOp op, os::UINT device, os::HWAVEOUT output, os::MMRESULT result) {
  Audio().calls.push_back(AudioCall{op, device, output, result, TheWorld().now});
  return result;
}

bool IsMapper(os::UINT_PTR deviceId) {
  return deviceId == os::WAVE_MAPPER || deviceId == static_cast<os::UINT_PTR>(-1);
}

// Fills the system's capability record for a device, or says why not.
template <typename Caps>
os::MMRESULT FillCaps(const std::vector<AudioDevice>& devices, os::UINT_PTR deviceId, Caps* caps,
                      os::UINT size) {
  if (!caps) return os::MMSYSERR_INVALPARAM;
  std::string name;
  if (IsMapper(deviceId)) {
    if (devices.empty()) return os::MMSYSERR_NODRIVER;
    name = MAPPER_NAME;
  } else if (deviceId >= devices.size()) {
    return os::MMSYSERR_BADDEVICEID;
  } else if (devices[deviceId].capsFail) {
    return os::MMSYSERR_ERROR;
  } else {
    name = devices[deviceId].name;
  }
  Caps full = {};
  full.wChannels = 2;
  std::size_t length = std::min(name.size(), sizeof full.szPname - 1);
  std::memcpy(full.szPname, name.data(), length);
  std::memcpy(caps, &full, std::min<std::size_t>(size, sizeof full));
  return os::MMSYSERR_NOERROR;
}

// How long a buffer plays, in whole milliseconds rounded up.
std::uint64_t PlayingTime(const os::WAVEFORMATEX& format, os::DWORD bytes, os::DWORD loops) {
  if (format.nAvgBytesPerSec == 0) return NEVER;
  std::uint64_t total = static_cast<std::uint64_t>(bytes) * loops;  // fits: both are 32-bit
  std::uint64_t rate = format.nAvgBytesPerSec;
  std::uint64_t whole = total / rate;
  if (whole > NEVER / 2000) return NEVER;
  return whole * 1000 + ((total % rate) * 1000 + rate - 1) / rate;
}

os::DWORD LoopsOf(const os::WAVEHDR& header) {
  bool looping = (header.dwFlags & os::WHDR_BEGINLOOP) && (header.dwFlags & os::WHDR_ENDLOOP);
  return looping ? std::max<os::DWORD>(header.dwLoops, 1) : 1;
}

WaveOutput* FindOutput(os::HWAVEOUT handle) {
  auto found = Audio().open.find(handle);
  return found == Audio().open.end() ? nullptr : found->second.get();
}

void MarkDone(WaveOutput* output, const QueuedBuffer& queued, bool byReset) {
  queued.header->dwFlags = (queued.header->dwFlags & ~os::WHDR_INQUEUE) | os::WHDR_DONE;
  std::vector<PlayedBuffer>& played = Audio().played;
  if (queued.record < played.size()) {
    played[queued.record].doneAt = TheWorld().now;
    played[queued.record].endedByReset = byReset;
  }
  output->notifications.push_back(AudioNotification{os::WOM_DONE, queued.header});
}

// The output's audio thread: notifications first, then the head of the
// queue once its time has come.
void RunOutput(WaveOutput* output) {
  for (;;) {
    while (!output->notifications.empty()) {
      AudioNotification next = output->notifications.front();
      if (output->callback) {
        output->callback(output->handle, next.message, output->instance,
                         reinterpret_cast<os::DWORD_PTR>(next.header), 0);
      }
      // Taken off only now, so that a caller waiting for the queue to
      // drain resumes after the callback has returned.
      output->notifications.pop_front();
      if (next.message == os::WOM_CLOSE) return;
    }
    if (!output->queue.empty() && output->queue.front().doneAt <= TheWorld().now) {
      MarkDone(output, output->queue.front(), false);
      output->queue.pop_front();
      continue;
    }
    output->changed = false;
    std::uint64_t wakeAt = output->queue.empty() ? NEVER : output->queue.front().doneAt;
    Block(wakeAt, [output] { return output->changed || !output->notifications.empty(); });
  }
}

// Waits until the audio thread has delivered every pending notification;
// from inside a callback they are delivered after it returns instead.
// An output whose process has ended delivers nothing any more.
void AwaitNotifications(WaveOutput* output) {
  output->changed = true;
  if (CurrentThread() == output->thread) return;
  SimThread* thread = output->thread;
  if (thread->done || thread->terminating) {
    output->notifications.clear();
    return;
  }
  Block(NEVER, [output, thread] { return output->notifications.empty() || thread->done; });
}

// The checks every header call makes, in the system's order.
os::MMRESULT CheckHeaderCall(const WaveOutput* output, const os::WAVEHDR* header, os::UINT size) {
  if (!output) return os::MMSYSERR_INVALHANDLE;
  if (!header || size < sizeof(os::WAVEHDR)) return os::MMSYSERR_INVALPARAM;
  if (header->dwFlags & os::WHDR_INQUEUE) return os::WAVERR_STILLPLAYING;
  return os::MMSYSERR_NOERROR;
}

os::UINT DeviceOf(const WaveOutput* output) { return output ? output->device : 0; }

}  // namespace

}  // namespace sim

namespace os {

using sim::Audio;
using sim::AudioOp;
using sim::Record;

UINT waveInGetNumDevs() {
  UINT count = static_cast<UINT>(Audio().inputs.size());
  Record(AudioOp::InGetNumDevs, count, nullptr, MMSYSERR_NOERROR);
  return count;
}

MMRESULT waveInGetDevCapsA(UINT_PTR deviceId, WAVEINCAPSA* caps, UINT size) {
  return Record(AudioOp::InGetDevCaps, static_cast<UINT>(deviceId), nullptr,
                sim::FillCaps(Audio().inputs, deviceId, caps, size));
}

UINT waveOutGetNumDevs() {
  UINT count = static_cast<UINT>(Audio().outputs.size());
  Record(AudioOp::OutGetNumDevs, count, nullptr, MMSYSERR_NOERROR);
  return count;
}

MMRESULT waveOutGetDevCapsA(UINT_PTR deviceId, WAVEOUTCAPSA* caps, UINT size) {
  return Record(AudioOp::OutGetDevCaps, static_cast<UINT>(deviceId), nullptr,
                sim::FillCaps(Audio().outputs, deviceId, caps, size));
}

MMRESULT waveOutOpen(HWAVEOUT* output, UINT deviceId, const WAVEFORMATEX* format,
                     DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
  sim::AudioState& audio = Audio();
  AudioOp op = (flags & WAVE_FORMAT_QUERY) ? AudioOp::Query : AudioOp::Open;
  if (!format) return Record(op, deviceId, nullptr, MMSYSERR_INVALPARAM);
  if (sim::IsMapper(deviceId) ? audio.outputs.empty() : deviceId >= audio.outputs.size()) {
    return Record(op, deviceId, nullptr,
                  sim::IsMapper(deviceId) ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID);
  }
  bool accepted = audio.accepts ? audio.accepts(deviceId, *format) : sim::AcceptsPcmFormat(*format);
  if (!accepted) return Record(op, deviceId, nullptr, WAVERR_BADFORMAT);
  if (op == AudioOp::Query) return Record(op, deviceId, nullptr, MMSYSERR_NOERROR);
  if (!output) return Record(op, deviceId, nullptr, MMSYSERR_INVALPARAM);
  DWORD callbackType = flags & sim::CALLBACK_TYPE_MASK;
  if (callbackType != CALLBACK_NULL && callbackType != CALLBACK_FUNCTION) {
    return Record(op, deviceId, nullptr, MMSYSERR_INVALFLAG);  // only function callbacks here
  }

  auto state = std::make_unique<sim::WaveOutput>();
  sim::WaveOutput* opened = state.get();
  opened->handle = reinterpret_cast<HWAVEOUT>(audio.nextHandle);
  audio.nextHandle += 4;
  opened->device = deviceId;
  opened->format = *format;
  if (callbackType == CALLBACK_FUNCTION) opened->callback = reinterpret_cast<WAVEOUTPROC>(callback);
  opened->instance = instance;
  opened->notifications.push_back(sim::AudioNotification{WOM_OPEN, nullptr});
  audio.open[opened->handle] = std::move(state);
  sim::CountObject(sim::kinds::WAVE_DEVICES, opened->handle);
  opened->thread =
      sim::SpawnThread(sim::CurrentThread()->process, [opened] { sim::RunOutput(opened); });
  *output = opened->handle;
  Record(op, deviceId, opened->handle, MMSYSERR_NOERROR);
  sim::AwaitNotifications(opened);
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT output, WAVEHDR* header, UINT size) {
  sim::WaveOutput* open = sim::FindOutput(output);
  MMRESULT result = sim::CheckHeaderCall(open, header, size);
  if (result == MMSYSERR_NOERROR) {
    header->dwFlags = (header->dwFlags | WHDR_PREPARED) & ~WHDR_DONE;
    open->prepared.insert(header);
    sim::CountObject(sim::kinds::WAVE_BUFFERS, header);
  }
  return Record(AudioOp::Prepare, sim::DeviceOf(open), output, result);
}

// Like the system, a header whose flags say "not prepared" is left alone.
MMRESULT waveOutUnprepareHeader(HWAVEOUT output, WAVEHDR* header, UINT size) {
  sim::WaveOutput* open = sim::FindOutput(output);
  MMRESULT result = sim::CheckHeaderCall(open, header, size);
  if (result == MMSYSERR_NOERROR && (header->dwFlags & WHDR_PREPARED)) {
    open->prepared.erase(header);
    header->dwFlags &= ~WHDR_PREPARED;
    sim::UncountObject(sim::kinds::WAVE_BUFFERS, header);
  }
  return Record(AudioOp::Unprepare, sim::DeviceOf(open), output, result);
}

MMRESULT waveOutWrite(HWAVEOUT output, WAVEHDR* header, UINT size) {
  sim::WaveOutput* open = sim::FindOutput(output);
  MMRESULT result = sim::CheckHeaderCall(open, header, size);
  if (result == MMSYSERR_NOERROR && !(header->dwFlags & WHDR_PREPARED)) result = WAVERR_UNPREPARED;
  if (result == MMSYSERR_NOERROR && !header->lpData && header->dwBufferLength) {
    result = MMSYSERR_INVALPARAM;
  }
  if (result != MMSYSERR_NOERROR)
    return Record(AudioOp::Write, sim::DeviceOf(open), output, result);

  sim::AudioState& audio = Audio();
  DWORD loops = sim::LoopsOf(*header);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(header->lpData);
  audio.played.push_back(
      sim::PlayedBuffer{output, open->device, open->format,
                        std::vector<std::uint8_t>(bytes, bytes + header->dwBufferLength),
                        header->dwFlags, loops, sim::TheWorld().now, sim::NEVER, false});
  std::uint64_t start = open->queue.empty() ? sim::TheWorld().now : open->queue.back().doneAt;
  std::uint64_t length = sim::PlayingTime(open->format, header->dwBufferLength, loops);
  std::uint64_t doneAt = (audio.stalled || length == sim::NEVER || start > sim::NEVER - length)
                             ? sim::NEVER
                             : start + length;
  header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  open->queue.push_back(sim::QueuedBuffer{header, doneAt, audio.played.size() - 1});
  open->changed = true;
  return Record(AudioOp::Write, open->device, output, MMSYSERR_NOERROR);
}

MMRESULT waveOutReset(HWAVEOUT output) {
  sim::WaveOutput* open = sim::FindOutput(output);
  if (!open) return Record(AudioOp::Reset, 0, output, MMSYSERR_INVALHANDLE);
  for (const sim::QueuedBuffer& queued : open->queue) sim::MarkDone(open, queued, true);
  open->queue.clear();
  Record(AudioOp::Reset, open->device, output, MMSYSERR_NOERROR);
  sim::AwaitNotifications(open);
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT output) {
  sim::AudioState& audio = Audio();
  auto found = audio.open.find(output);
  if (found == audio.open.end()) return Record(AudioOp::Close, 0, output, MMSYSERR_INVALHANDLE);
  sim::WaveOutput* open = found->second.get();
  if (!open->queue.empty())
    return Record(AudioOp::Close, open->device, output, WAVERR_STILLPLAYING);
  open->notifications.push_back(sim::AudioNotification{WOM_CLOSE, nullptr});
  audio.closed.push_back(std::move(found->second));
  audio.open.erase(found);
  sim::UncountObject(sim::kinds::WAVE_DEVICES, output);
  Record(AudioOp::Close, open->device, output, MMSYSERR_NOERROR);
  sim::AwaitNotifications(open);
  return MMSYSERR_NOERROR;
}

}  // namespace os
