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
const char* const OTHER_CUES[] = {
    "pong off", "pong on", "pong on", "repeat on", "repeat off",
    // "CALL x" answered with ERROR, with and without a description
    "calls error 501 target not found", "calls error 68 Access denied", "calls error 4",
    "calls answer", "calls answer", "calls busy", "calls route", "fail NO_ANSWER",
    // the user signs out of Skype and in again; authorises a waiting program
    "detach", "available", "available", "authorize"};
// How Skype answers the program's discovery: attached; waiting for the
// user's authorisation; refused; the API announced first.
const char* const ATTACH_STATUSES[] = {"0", "0", "1", "2", "0x8001,0"};
const char* const SOFTPHONE_VERSIONS[] = {"2012.1", "2012.5", "2013.2", "2014.1"};
const char* const ADAPTERS[] = {"second", "second", "plus", "first", "bad-attributes", "bad-serial"};
const char* const SIBLINGS[] = {"TesselbayPlugin", "FerrowindPlugin"};
const char* const MENU_COMMANDS[] = {"about", "speed-dial", "help"};
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

// The first generator, kept so that the seeds it found still make their
// days: the handset, Skype's calls and cues, the softphone's calls and the
// adapter unplugged and plugged in again.
const char* const FIRST_OTHER_CUES[] = {"pong off", "pong on", "pong on", "repeat on", "repeat off",
                                        "calls error 501 target not found", "calls answer", "calls busy",
                                        "calls route", "fail NO_ANSWER"};

Event MakeFirst(Random& random) {
  Event event{Delay(random), EventKind::Quiet, ""};
  std::uint32_t roll = random.Below(100);
  if (roll < 14) event.kind = EventKind::OffHook;
  else if (roll < 26) event.kind = EventKind::OnHook;
  else if (roll < 46) event.kind = EventKind::Key, event.text = std::string(1, KEYS[random.Below(12)]);
  else if (roll < 55) event.kind = EventKind::SkypeRing, event.text = Pick(random, PARTNERS);
  else if (roll < 61) event.kind = EventKind::SkypeAnswer;
  else if (roll < 68) event.kind = EventKind::SkypeEnd, event.text = Pick(random, END_STATUSES);
  else if (roll < 74) event.kind = EventKind::SkypeCue, event.text = Pick(random, FIRST_OTHER_CUES);
  else if (roll < 76) event.kind = EventKind::SkypeQuit;
  else if (roll < 78) event.kind = EventKind::SkypeStart;
  else if (roll < 83) event.kind = EventKind::SoftphoneRing, event.text = random.Below(2) ? "1" : "0";
  else if (roll < 87) event.kind = EventKind::SoftphoneHangUp;
  else if (roll < 89) event.kind = EventKind::Unplug;
  else if (roll < 92) event.kind = EventKind::Replug;
  return event;
}

// The second generator: everything of the first and the rest of the
// desktop. Weights per thousand events; what is left over is a quiet spell.
Event Make(Random& random) {
  Event event{Delay(random), EventKind::Quiet, ""};
  std::uint32_t roll = random.Below(1000);
  auto next = [&roll](std::uint32_t weight) {
    bool hit = roll < weight;
    roll = hit ? 1000000 : roll - weight;
    return hit;
  };
  if (next(130)) event.kind = EventKind::OffHook;
  else if (next(110)) event.kind = EventKind::OnHook;
  else if (next(160)) event.kind = EventKind::Key, event.text = std::string(1, KEYS[random.Below(12)]);
  else if (next(85)) {
    event.kind = EventKind::SkypeRing, event.text = Pick(random, PARTNERS);
    event.value = 5000 + random.Below(55000);
  } else if (next(55)) event.kind = EventKind::SkypeAnswer;
  else if (next(60)) event.kind = EventKind::SkypeEnd, event.text = Pick(random, END_STATUSES);
  else if (next(70)) event.kind = EventKind::SkypeCue, event.text = Pick(random, OTHER_CUES);
  else if (next(15)) event.kind = EventKind::SkypeQuit;
  else if (next(20)) event.kind = EventKind::SkypeStart, event.text = Pick(random, ATTACH_STATUSES);
  else if (next(45)) event.kind = EventKind::SoftphoneRing, event.text = random.Below(2) ? "1" : "0";
  else if (next(35)) event.kind = EventKind::SoftphoneHangUp;
  else if (next(12)) event.kind = EventKind::SoftphoneRestart, event.text = Pick(random, SOFTPHONE_VERSIONS);
  else if (next(20)) event.kind = EventKind::Unplug;
  else if (next(25)) event.kind = EventKind::Replug, event.text = Pick(random, ADAPTERS);
  else if (next(15)) {
    event.kind = EventKind::SiblingStart, event.text = Pick(random, SIBLINGS);
    event.value = random.Below(3);
  } else if (next(12)) event.kind = EventKind::SiblingQuit, event.text = Pick(random, SIBLINGS);
  else if (next(25)) event.kind = EventKind::UserMenu, event.text = Pick(random, MENU_COMMANDS);
  else if (next(20)) event.kind = EventKind::UserCloseDialogs;
  else if (next(3)) event.kind = EventKind::ProgramExit;
  else if (next(10)) event.kind = EventKind::ProgramStart;
  return event;
}

}  // namespace

std::vector<Event> Generate(std::uint64_t seed, int count, int generator) {
  Random random(seed);
  std::vector<Event> events;
  for (int i = 0; i < count; ++i) events.push_back(generator == 1 ? MakeFirst(random) : Make(random));
  events.push_back(Event{1000, EventKind::Quiet, ""});  // every day ends quietly
  return events;
}

std::string Describe(const Event& event) {
  static const char* const NAMES[] = {"off-hook", "on-hook", "key", "skype-ring", "skype-answer",
                                      "skype-end", "skype-cue", "skype-quit", "skype-start",
                                      "softphone-ring", "softphone-hang-up", "softphone-restart",
                                      "unplug", "replug", "sibling-start", "sibling-quit",
                                      "user-menu", "user-close-dialogs", "program-exit",
                                      "program-start", "quiet"};
  std::string text = "+" + std::to_string(event.delayMs) + "ms " + NAMES[static_cast<int>(event.kind)];
  if (!event.text.empty()) text += " " + event.text;
  return event.value ? text + " " + std::to_string(event.value) : text;
}

std::uint64_t VirtualLengthMs(const std::vector<Event>& events) {
  std::uint64_t total = 0;
  for (const Event& event : events) total += event.delayMs;
  return total;
}

}  // namespace desktop_sim
