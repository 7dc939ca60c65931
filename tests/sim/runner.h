// Runs one simulated day from its events, checking the invariants after
// every event, and shrinks a failing day to a shortest list that still fails.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/sim/scenario.h"

namespace desktop_sim {

class World;

struct Outcome {
  std::string failure;        // "" when every invariant held
  int failedAt = -1;          // index of the event after which it failed
  std::uint64_t virtualMs = 0;
  // A digest of everything the day left behind: the program's log, both
  // models' transcripts and every call on the adapter with its bytes and
  // time. The same events give the same digest.
  std::uint64_t digest = 0;
};

Outcome RunDay(const std::vector<Event>& events);
// Applies one event and checks every invariant after it (and, after a
// quiet spell, that the program went idle holding no more than before);
// "" or the first failure.
std::string ApplyChecked(World& world, const Event& event);
// Drops events one at a time while the day still fails the same invariant.
std::vector<Event> Shrink(std::vector<Event> events, const std::string& failure);
// The invariant's name: the failure text up to its colon.
std::string InvariantOf(const std::string& failure);
// Busy days one after another on one desktop, with one program running
// throughout (busy_days.cpp); prints what the program holds and the size
// of its log at the start and end of each day. True when every invariant
// held.
bool RunBusyDays(std::uint64_t seed, int days);

}  // namespace desktop_sim
