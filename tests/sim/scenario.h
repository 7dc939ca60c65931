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
  SkypeRing,                          // text: the partner; value: when a call is
                                      // already in hand, ms until this caller gives up
  SkypeAnswer, SkypeEnd,              // Skype cues; text: the end status
  SkypeCue,                           // any other cue line, as it stands
  SkypeQuit, SkypeStart,              // SkypeStart's text: its attach statuses
  SoftphoneRing, SoftphoneHangUp,
  SoftphoneRestart,                   // text: the version it comes back with
  Unplug, Replug,                     // Replug's text: the adapter that is plugged in
  SiblingStart,                       // text: the sibling; value: its record (see world)
  SiblingQuit,                        // text: the sibling
  UserMenu,                           // text: the tray menu command the user picks
  UserCloseDialogs,                   // the user closes the program's open dialogs
  ProgramExit, ProgramStart,          // Exit from the tray menu; starting it again
  Quiet,  // everyone hangs up and the handset goes down; the program must go idle
};

struct Event {
  std::uint32_t delayMs;  // virtual time before the event
  EventKind kind;
  std::string text;
  std::uint32_t value = 0;
};

// The current generator is the second; the first makes the days of the
// seeds it found.
constexpr int CURRENT_GENERATOR = 2;
std::vector<Event> Generate(std::uint64_t seed, int count, int generator = CURRENT_GENERATOR);
// A busy desk's day (busy_day.cpp): callsOfEachKind calls rung in from
// Skype, placed from the handset through Skype, started in Skype's window,
// rung in and dialled on the softphone; Skype detaching, restarting and
// being authorised, the adapter unplugged, the softphone restarted, each
// dialog and the update check, three times each. Every episode ends with a
// quiet spell.
std::vector<Event> GenerateBusyDay(std::uint64_t seed, int callsOfEachKind);
std::string Describe(const Event& event);
std::uint64_t VirtualLengthMs(const std::vector<Event>& events);

}  // namespace desktop_sim
