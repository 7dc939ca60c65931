// Busy days in a row on one desktop. The program is started once and never
// told to exit, so that anything it fails to release piles up from one day
// to the next and shows in the figures printed at each day's start and end.
#include <chrono>
#include <cstdio>

#include "tests/sim/invariants.h"
#include "tests/sim/observe.h"
#include "tests/sim/runner.h"
#include "tests/sim/world.h"

namespace desktop_sim {

namespace {

constexpr int CALLS_OF_EACH_KIND = 50;

void PrintFigures(World& world, int day, const char* when) {
  std::string log = world.desktop.ReadFile(World::LOG_PATH);
  std::printf("day %d %s: %s; log %zu lines, %zu bytes; %.1f simulated hours\n", day, when,
              ObjectsText(world.desktop.LiveObjectsOf(world.program)).c_str(), Lines(log).size(), log.size(),
              world.desktop.Now() / 3600000.0);
  std::fflush(stdout);
}

}  // namespace

bool RunBusyDays(std::uint64_t seed, int days) {
  auto begin = std::chrono::steady_clock::now();
  World world;
  if (!world.Start()) {
    std::printf("FAILED: the program did not take the adapter into use\n");
    return false;
  }
  for (int day = 1; day <= days; ++day) {
    PrintFigures(world, day, "start");
    std::vector<Event> events = GenerateBusyDay(seed + static_cast<std::uint64_t>(day) - 1, CALLS_OF_EACH_KIND);
    for (std::size_t i = 0; i < events.size(); ++i) {
      std::string failure = ApplyChecked(world, events[i]);
      if (failure.empty()) continue;
      std::printf("FAILED day %d (seed %llu) at event %zu (%s): %s\n", day,
                  static_cast<unsigned long long>(seed + static_cast<std::uint64_t>(day) - 1), i,
                  Describe(events[i]).c_str(), failure.c_str());
      return false;
    }
    PrintFigures(world, day, "end");
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  std::printf("%d busy day%s, %d calls of each kind a day, in %.1f s\n", days, days == 1 ? "" : "s",
              CALLS_OF_EACH_KIND, seconds);
  return true;
}

}  // namespace desktop_sim
