// Runs seeds in child processes, several at once, so that a long run uses
// every core. Each seed is a process of its own: the simulated desktop is
// one per process, and a seed's run does not depend on any other.
#pragma once

#include <cstdint>
#include <functional>

namespace desktop_sim {

struct Totals {
  int runs = 0;
  int failures = 0;
  std::uint64_t virtualMs = 0;
};

// nextSeed gives the number of the next seed to run (the caller keeps what
// it stands for), or false when there is none; it is
// asked only when a child may start. runSeed runs one seed in the child,
// printing what it has to say, and returns whether it passed. The children's
// output is printed in the order the seeds were given.
Totals RunInChildren(int jobs, const std::function<bool(std::uint64_t*)>& nextSeed,
                     const std::function<bool(std::uint64_t, std::uint64_t*)>& runSeed);

}  // namespace desktop_sim
