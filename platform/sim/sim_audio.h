// The simulated audio system's state, kept in World::audio. Like the rest
// of the world it is touched only by the thread holding the baton.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/os_audio.h"
#include "platform/sim/audio_controls.h"

namespace sim {

struct SimThread;

struct AudioDevice {
  std::string name;
  bool capsFail = false;
};

constexpr std::size_t NO_RECORD = SIZE_MAX;

struct QueuedBuffer {
  os::WAVEHDR* header;
  std::uint64_t doneAt;  // virtual time at which it has played out
  std::size_t record;    // index in AudioState::played, or NO_RECORD once cleared
};

struct AudioNotification {
  os::UINT message;
  os::WAVEHDR* header;
};

// One open output. Its audio thread plays the queue on virtual time and
// delivers the notifications to the callback in order.
struct WaveOutput {
  os::HWAVEOUT handle = nullptr;
  os::UINT device = 0;
  os::WAVEFORMATEX format = {};
  os::WAVEOUTPROC callback = nullptr;
  os::DWORD_PTR instance = 0;
  std::deque<QueuedBuffer> queue;
  std::deque<AudioNotification> notifications;
  // What a driver keeps for each header it has prepared, until unprepared.
  std::set<const os::WAVEHDR*> prepared;
  bool changed = false;  // wakes the audio thread to look again
  SimThread* thread = nullptr;
};

struct AudioState {
  std::vector<AudioDevice> outputs = {{"Speakers"}};
  std::vector<AudioDevice> inputs = {{"Microphone"}};
  FormatFilter accepts;
  std::map<os::HWAVEOUT, std::unique_ptr<WaveOutput>> open;
  // Closed outputs stay until the desktop goes: their threads may still
  // be unwinding.
  std::vector<std::unique_ptr<WaveOutput>> closed;
  std::uintptr_t nextHandle = 0xA000;
  std::vector<AudioCall> calls;
  std::vector<PlayedBuffer> played;
  bool stalled = false;  // outputs take buffers but never play them out
};

// The world's audio system, created on first use.
AudioState& Audio();

}  // namespace sim
