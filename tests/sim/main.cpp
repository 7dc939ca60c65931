// desktop_sim: random days on the simulated desktop, one per seed.
//   desktop_sim                 the regression seeds, then the fixed budget
//   desktop_sim --seeds N       N seeds from --first (default 1)
//   desktop_sim --seconds S     seeds from --first until S seconds have passed
//   desktop_sim --seed X        one seed, with its event list
//   --events K                  events per day (default 60)
//   --generator G               the generator that makes the days (default
//                               the current one; 1 replays the first's seeds)
//   --replay-check X            runs seed X twice and compares what the two
//                               days left behind, byte for byte
//   --jobs N                    N seeds at once, each in a process of its own;
//                               the output stays in seed order
//   --busy-days N               N busy days in a row (--seed X: the first
//                               day's seed, default 1) with one program
//                               running throughout: 50 calls of each kind a
//                               day; prints what the program holds and its
//                               log's size at each day's start and end
//                               (--busy-days 30: a month)
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/sim/parallel.h"
#include "tests/sim/regression_seeds.h"
#include "tests/sim/runner.h"

using namespace desktop_sim;

namespace {

constexpr int DEFAULT_SEEDS = 60;  // the sanitized builds ask for ten (tests/sim/CMakeLists.txt)
constexpr int DEFAULT_EVENTS = 60;

struct Options {
  int seeds = DEFAULT_SEEDS;
  double seconds = 0;
  std::uint64_t first = 1;
  bool one = false;
  bool replayCheck = false;
  std::uint64_t seed = 0;
  int events = DEFAULT_EVENTS;
  int jobs = 1;
  int generator = CURRENT_GENERATOR;
  int busyDays = 0;
};

// One day to run: its seed, its length and the generator that makes it.
struct Day {
  std::uint64_t seed;
  int events;
  int generator;
};

void PrintEvents(const std::vector<Event>& events) {
  for (std::size_t i = 0; i < events.size(); ++i) std::printf("  %3zu %s\n", i, Describe(events[i]).c_str());
}

// Runs one seed; on failure prints the seed, the events and the shrunk list.
bool RunSeed(const Day& day, bool verbose, std::uint64_t* virtualMs) {
  std::uint64_t seed = day.seed;
  int eventCount = day.events;
  std::vector<Event> events = Generate(seed, eventCount, day.generator);
  if (verbose) {
    std::printf("seed %llu:\n", static_cast<unsigned long long>(seed));
    PrintEvents(events);
  }
  Outcome outcome = RunDay(events);
  *virtualMs += outcome.virtualMs;
  if (outcome.failure.empty()) return true;
  std::printf("FAILED seed %llu (--seed %llu --events %d --generator %d) after event %d: %s\n",
              static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed), eventCount,
              day.generator, outcome.failedAt, outcome.failure.c_str());
  if (!verbose) PrintEvents(events);
  std::vector<Event> shortest = Shrink(events, outcome.failure);
  std::printf("shortest list that still fails %s (%zu events):\n", InvariantOf(outcome.failure).c_str(),
              shortest.size());
  PrintEvents(shortest);
  std::fflush(stdout);
  return false;
}

// The same seed twice gives the same day: the digests of what both runs
// left behind agree.
bool ReplayCheck(const Day& day) {
  std::vector<Event> events = Generate(day.seed, day.events, day.generator);
  Outcome first = RunDay(events);
  Outcome second = RunDay(events);
  bool same = first.digest == second.digest && first.failure == second.failure &&
              first.virtualMs == second.virtualMs;
  std::printf("seed %llu twice: digests %016llx and %016llx, %.2f simulated minutes each; %s\n",
              static_cast<unsigned long long>(day.seed), static_cast<unsigned long long>(first.digest),
              static_cast<unsigned long long>(second.digest), first.virtualMs / 60000.0,
              same ? "the same day" : "DIFFERENT days");
  return same;
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; i += 2) {
    bool hasValue = i + 1 < argc;
    if (!hasValue) return false;
    std::uint64_t value = std::strtoull(argv[i + 1], nullptr, 0);
    if (std::strcmp(argv[i], "--seeds") == 0) options->seeds = static_cast<int>(value);
    else if (std::strcmp(argv[i], "--seconds") == 0) options->seconds = static_cast<double>(value), options->seeds = 0;
    else if (std::strcmp(argv[i], "--first") == 0) options->first = value;
    else if (std::strcmp(argv[i], "--seed") == 0) options->one = true, options->seed = value;
    else if (std::strcmp(argv[i], "--replay-check") == 0) options->replayCheck = true, options->seed = value;
    else if (std::strcmp(argv[i], "--events") == 0) options->events = static_cast<int>(value);
    else if (std::strcmp(argv[i], "--jobs") == 0) options->jobs = static_cast<int>(value);
    else if (std::strcmp(argv[i], "--generator") == 0) options->generator = static_cast<int>(value);
    else if (std::strcmp(argv[i], "--busy-days") == 0) options->busyDays = static_cast<int>(value);
    else return false;
  }
  return options->events > 0 && options->events <= 100000 && options->jobs > 0 && options->jobs <= 64 &&
         options->generator >= 1 && options->generator <= CURRENT_GENERATOR && options->busyDays >= 0 &&
         options->busyDays <= 366;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "usage: desktop_sim [--seeds N | --seconds S | --seed X] [--first X] [--events K] [--jobs N] [--generator G] | --replay-check X | --busy-days N [--seed X]\n");
    return 2;
  }
  std::uint64_t virtualMs = 0;
  if (options.busyDays > 0) return RunBusyDays(options.one ? options.seed : 1, options.busyDays) ? 0 : 1;
  if (options.replayCheck) return ReplayCheck(Day{options.seed, options.events, options.generator}) ? 0 : 1;
  if (options.one) return RunSeed(Day{options.seed, options.events, options.generator}, true, &virtualMs) ? 0 : 1;

  auto begin = std::chrono::steady_clock::now();
  auto elapsed = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  };
  // The regression seeds first (with the default day length they failed
  // with), then the budget: a count of seeds or a span of wall time.
  // Each day given out is kept, so that a child process, forked after it
  // was added, finds it by its number.
  std::vector<Day> days;
  std::uint64_t next = options.first;
  auto nextDay = [&](std::uint64_t* number) {
    if (days.size() < RegressionSeeds().size()) {
      const RegressionSeed& known = RegressionSeeds()[days.size()];
      days.push_back(Day{known.seed, DEFAULT_EVENTS, known.generator});
    } else {
      bool more = options.seconds > 0 ? elapsed() < options.seconds
                                      : next < options.first + static_cast<std::uint64_t>(options.seeds);
      if (!more) return false;
      days.push_back(Day{next++, options.events, options.generator});
    }
    *number = days.size() - 1;
    return true;
  };
  auto runDay = [&](std::uint64_t number, std::uint64_t* dayVirtualMs) {
    return RunSeed(days[static_cast<std::size_t>(number)], false, dayVirtualMs);
  };
  Totals totals;
  if (options.jobs > 1) {
    totals = RunInChildren(options.jobs, nextDay, runDay);
  } else {
    for (std::uint64_t number = 0; nextDay(&number);) {
      std::uint64_t seedVirtualMs = 0;
      totals.failures += runDay(number, &seedVirtualMs) ? 0 : 1;
      totals.virtualMs += seedVirtualMs;
      ++totals.runs;
    }
  }
  int failures = totals.failures;
  std::printf("%d seeds (%zu regression), %d events each, %.2f simulated hours in %.1f s with %d job%s; %d failed\n",
              totals.runs, RegressionSeeds().size(), options.events, totals.virtualMs / 3600000.0, elapsed(),
              options.jobs, options.jobs == 1 ? "" : "s", failures);
  return failures == 0 ? 0 : 1;
}
