// How long the program takes to synthesise what it plays into the line:
// the longest caller-identification signal (both fields at 16 characters,
// 10867 samples) and the alert tone (22050 bytes).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "device/caller_id.h"
#include "device/wave.h"

namespace {

const os::SYSTEMTIME TIME = {2026, 3, 0, 15, 9, 30, 0, 0};

void BM_GenerateLongestCallerIdSignal(benchmark::State& state) {
  static std::array<std::int16_t, CALLER_ID_SAMPLE_CAPACITY> samples;
  InitFskTables();
  std::size_t count = 0;
  for (auto _ : state) {
    count = GenerateCallerIdSignal(samples.data(), samples.size(), "1234567890123456",
                                   "ABCDEFGHIJKLMNOP", TIME);
    benchmark::DoNotOptimize(samples.data());
    benchmark::ClobberMemory();
  }
  state.counters["samples"] = static_cast<double>(count);
}
BENCHMARK(BM_GenerateLongestCallerIdSignal)->Unit(benchmark::kMicrosecond);

void BM_MakeAlertTone(benchmark::State& state) {
  CWave tone;
  for (auto _ : state) {
    tone.MakeTone(400, 0.3, 0.2);
    benchmark::DoNotOptimize(tone.buffer.Data());
    benchmark::ClobberMemory();
  }
  state.counters["bytes"] = static_cast<double>(tone.buffer.Count());
}
BENCHMARK(BM_MakeAlertTone)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
