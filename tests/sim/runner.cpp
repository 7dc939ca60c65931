#include "tests/sim/runner.h"

#include "platform/sim/hid_devices.h"
#include "tests/sim/invariants.h"
#include "tests/sim/world.h"

namespace desktop_sim {

namespace {

constexpr const char* SOFTPHONE_TRANSCRIPT = "C:\\Program Files\\magic Jack\\softphone-transcript.txt";

// FNV-1a, 64 bits.
void Mix(std::uint64_t* digest, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) *digest = (*digest ^ bytes[i]) * 0x100000001B3ULL;
}

std::uint64_t Digest(const World& world) {
  std::uint64_t digest = 0xCBF29CE484222325ULL;
  for (const char* path : {World::LOG_PATH, World::SKYPE_TRANSCRIPT, SOFTPHONE_TRANSCRIPT}) {
    std::string text = world.desktop.ReadFile(path);
    Mix(&digest, text.data(), text.size());
  }
  for (const sim::HidCall& call : sim::HidCalls()) {
    int op = static_cast<int>(call.op);
    Mix(&digest, &op, sizeof op);
    Mix(&digest, call.report.data(), call.report.size());
    Mix(&digest, &call.at, sizeof call.at);
  }
  return digest;
}

}  // namespace

Outcome RunDay(const std::vector<Event>& events) {
  Outcome outcome;
  World world;
  std::uint64_t start = world.desktop.Now();
  if (!world.Start()) {
    outcome.failure = "Start: the program did not take the adapter into use";
    return outcome;
  }
  for (std::size_t i = 0; i < events.size() && outcome.failure.empty(); ++i) {
    outcome.failure = ApplyChecked(world, events[i]);
    if (!outcome.failure.empty()) outcome.failedAt = static_cast<int>(i);
  }
  outcome.virtualMs = world.desktop.Now() - start;
  outcome.digest = Digest(world);
  return outcome;
}

std::string ApplyChecked(World& world, const Event& event) {
  world.Apply(event);
  std::string failure = CheckAll(world);
  if (failure.empty() && event.kind == EventKind::Quiet) {
    failure = ReturnsToIdle(world);
    if (failure.empty()) failure = NothingGrowsAtIdle(world);
    if (failure.empty()) failure = CheckAll(world);
  }
  return failure;
}

std::string InvariantOf(const std::string& failure) { return failure.substr(0, failure.find(':')); }

std::vector<Event> Shrink(std::vector<Event> events, const std::string& failure) {
  std::string invariant = InvariantOf(failure);
  std::size_t i = 0;
  while (i < events.size()) {
    std::vector<Event> fewer = events;
    fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(i));
    Outcome outcome = RunDay(fewer);
    if (!outcome.failure.empty() && InvariantOf(outcome.failure) == invariant) {
      fewer.resize(static_cast<std::size_t>(outcome.failedAt) + 1);  // what follows the failure is not needed
      events = fewer;
    } else {
      ++i;
    }
  }
  return events;
}

}  // namespace desktop_sim
