#include "tests/sim/scenario.h"

namespace desktop_sim {

std::uint64_t Random::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::uint32_t Random::Below(std::uint32_t bound) {
  return bound == 0 ? 0 : static_cast<std::uint32_t>(Next() % bound);
}

namespace {

// Callers the settings know by speed-dial and callers they do not.
const char* const PARTNERS[] = {"echo123", "alice.k", "+15551234567", "bob_9", "carol.w", "+442071234567"};
const char* const END_STATUSES[] = {"FINISHED", "MISSED", "REFUSED", "BUSY", "CANCELLED", "FAILED"};
const char* const OTHER_CUES[] = {"pong off", "pong on", "pong on", "repeat on", "repeat off",
                                  "calls error 501 target not found", "calls answer", "calls busy",
                                  "calls route", "fail NO_ANSWER"};
const char KEYS[] = "0123456789*#";

// Humans press keys a few hundred ms apart; an inhuman caller (or a bouncing
// contact) does it within a few ms.
std::uint32_t Delay(Random& random) {
  switch (random.Below(4)) {
    case 0: return random.Below(15);
    case 1: return 80 + random.Below(400);
    case 2: return 500 + random.Below(3000);
    default: return 3000 + random.Below(40000);
  }
}

template <typename T, std::size_t N>
const T& Pick(Random& random, const T (&items)[N]) {
  return items[random.Below(static_cast<std::uint32_t>(N))];
}

Event Make(Random& random) {
  Event event{Delay(random), EventKind::Quiet, ""};
  std::uint32_t roll = random.Below(100);
  if (roll < 14) event.kind = EventKind::OffHook;
  else if (roll < 26) event.kind = EventKind::OnHook;
  else if (roll < 46) event.kind = EventKind::Key, event.text = std::string(1, KEYS[random.Below(12)]);
  else if (roll < 55) event.kind = EventKind::SkypeRing, event.text = Pick(random, PARTNERS);
  else if (roll < 61) event.kind = EventKind::SkypeAnswer;
  else if (roll < 68) event.kind = EventKind::SkypeEnd, event.text = Pick(random, END_STATUSES);
  else if (roll < 74) event.kind = EventKind::SkypeCue, event.text = Pick(random, OTHER_CUES);
  else if (roll < 76) event.kind = EventKind::SkypeQuit;
  else if (roll < 78) event.kind = EventKind::SkypeStart;
  else if (roll < 83) event.kind = EventKind::SoftphoneRing, event.text = random.Below(2) ? "1" : "0";
  else if (roll < 87) event.kind = EventKind::SoftphoneHangUp;
  else if (roll < 89) event.kind = EventKind::Unplug;
  else if (roll < 92) event.kind = EventKind::Replug;
  return event;
}

}  // namespace

std::vector<Event> Generate(std::uint64_t seed, int count) {
  Random random(seed);
  std::vector<Event> events;
  for (int i = 0; i < count; ++i) events.push_back(Make(random));
  events.push_back(Event{1000, EventKind::Quiet, ""});  // every day ends quietly
  return events;
}

std::string Describe(const Event& event) {
  static const char* const NAMES[] = {"off-hook", "on-hook", "key", "skype-ring", "skype-answer",
                                      "skype-end", "skype-cue", "skype-quit", "skype-start",
                                      "softphone-ring", "softphone-hang-up", "unplug", "replug",
                                      "quiet"};
  std::string text = "+" + std::to_string(event.delayMs) + "ms " + NAMES[static_cast<int>(event.kind)];
  return event.text.empty() ? text : text + " " + event.text;
}

std::uint64_t VirtualLengthMs(const std::vector<Event>& events) {
  std::uint64_t total = 0;
  for (const Event& event : events) total += event.delayMs;
  return total;
}

}  // namespace desktop_sim
