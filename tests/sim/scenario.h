// Random days on the simulated desktop: a list of events at virtual times,
// made from one 64-bit seed by a generator of our own, so that a seed gives
// the same list on every machine and every build.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace desktop_sim {

// splitmix64: small, fast, and the same everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // A number in [0, bound).
  std::uint32_t Below(std::uint32_t bound);

 private:
  std::uint64_t state_;
};

enum class EventKind {
  OffHook, OnHook, Key,               // the handset; Key's text is the key
  SkypeRing, SkypeAnswer, SkypeEnd,   // Skype cues; text: partner or status
  SkypeCue,                           // any other cue line, as it stands
  SkypeQuit, SkypeStart,
  SoftphoneRing, SoftphoneHangUp,
  Unplug, Replug,
  Quiet,  // everyone hangs up and the handset goes down; the program must go idle
};

struct Event {
  std::uint32_t delayMs;  // virtual time before the event
  EventKind kind;
  std::string text;
};

std::vector<Event> Generate(std::uint64_t seed, int count);
std::string Describe(const Event& event);
std::uint64_t VirtualLengthMs(const std::vector<Event>& events);

}  // namespace desktop_sim
