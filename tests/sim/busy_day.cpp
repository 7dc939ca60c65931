// A busy desk's day: every kind of call many times over, with the rest of
// the desktop's life in between. Unlike the numbered generators it is made
// of whole episodes, each ending in a quiet spell, so that every call is
// one a person would make.
#include "tests/sim/scenario.h"

namespace desktop_sim {

namespace {

const char* const CALLERS[] = {"echo123", "alice.k", "+15551234567", "bob_9", "carol.w", "+442071234567"};
// What the user dials after "*" for Skype: the echo test, or a number.
const char* const SKYPE_DIALLED[] = {"0", "15551234567", "442071234567", "4930123456"};
const char* const DIALOGS[] = {"about", "help", "speed-dial"};

using Episode = std::vector<Event>;

Event At(std::uint32_t delayMs, EventKind kind, const std::string& text = "", std::uint32_t value = 0) {
  return Event{delayMs, kind, text, value};
}

// Seconds a call is talked on, in ms.
std::uint32_t Talk(Random& random) { return 5000 + random.Below(115000); }

void Dial(Episode& episode, const std::string& keys) {
  for (char key : keys) episode.push_back(At(300, EventKind::Key, std::string(1, key)));
}

// A Skype call rings in and is answered with the handset, or left to ring
// until the caller gives up.
Episode SkypeCallIn(Random& random) {
  Episode episode{At(0, EventKind::SkypeRing, CALLERS[random.Below(6)])};
  if (random.Below(5) == 0) {
    episode.push_back(At(15000, EventKind::SkypeEnd, "MISSED"));
    return episode;
  }
  episode.push_back(At(2000 + random.Below(8000), EventKind::OffHook));
  episode.push_back(At(Talk(random), random.Below(2) ? EventKind::OnHook : EventKind::SkypeEnd, ""));
  if (episode.back().kind == EventKind::SkypeEnd) {
    episode.back().text = "FINISHED";
    episode.push_back(At(1000, EventKind::OnHook));
  }
  return episode;
}

// The handset dials "*" and a number or the echo test, "#" sends it.
Episode SkypeCallOut(Random& random) {
  Episode episode{At(0, EventKind::OffHook)};
  Dial(episode, std::string("*") + SKYPE_DIALLED[random.Below(4)] + "#");
  episode.push_back(At(3000, EventKind::SkypeAnswer));
  episode.push_back(At(Talk(random), EventKind::OnHook));
  return episode;
}

// The user starts the call in Skype's window; the phone rings and the lift
// connects it.
Episode SkypeWindowCall(Random& random) {
  Episode episode{At(0, EventKind::SkypeCue, std::string("manual ") + CALLERS[random.Below(6)])};
  episode.push_back(At(2000 + random.Below(4000), EventKind::OffHook));
  episode.push_back(At(1000, EventKind::SkypeAnswer));
  episode.push_back(At(Talk(random), EventKind::OnHook));
  return episode;
}

Episode SoftphoneCallIn(Random& random) {
  Episode episode{At(0, EventKind::SoftphoneRing, random.Below(2) ? "1" : "0")};
  episode.push_back(At(2000 + random.Below(8000), EventKind::OffHook));
  episode.push_back(At(Talk(random), EventKind::OnHook));
  episode.push_back(At(500, EventKind::SoftphoneHangUp));
  return episode;
}

// Digits without the star stay with the softphone.
Episode SoftphoneCallOut(Random& random) {
  Episode episode{At(0, EventKind::OffHook)};
  Dial(episode, "1555" + std::to_string(1000000 + random.Below(9000000)));
  episode.push_back(At(Talk(random), EventKind::OnHook));
  episode.push_back(At(500, EventKind::SoftphoneHangUp));
  return episode;
}

// A sibling program is on a call of its own (its record shows "cs=3"):
// the handset's Skype call is held back, and a Skype call ringing in is
// refused, until it is done.
Episode BusySibling(Random& random) {
  const char* sibling = random.Below(2) ? "TesselbayPlugin" : "FerrowindPlugin";
  Episode episode{At(0, EventKind::SiblingStart, sibling, 1), At(1000, EventKind::OffHook)};
  Dial(episode, std::string("*") + SKYPE_DIALLED[random.Below(4)]);
  episode.push_back(At(5000, EventKind::OnHook));
  episode.push_back(At(2000, EventKind::SkypeRing, CALLERS[random.Below(6)]));
  episode.push_back(At(8000, EventKind::SiblingQuit, sibling));
  return episode;
}

// The rest of the desk's day, a few times each.
std::vector<Episode> Interruptions(Random& random) {
  std::vector<Episode> episodes;
  for (int i = 0; i < 3; ++i) {
    episodes.push_back({At(0, EventKind::SkypeCue, "detach"), At(5000, EventKind::SkypeCue, "available")});
    episodes.push_back({At(0, EventKind::SkypeQuit), At(10000, EventKind::SkypeStart, random.Below(3) ? "0" : "1"),
                        At(8000, EventKind::SkypeCue, "authorize")});
    episodes.push_back({At(0, EventKind::Unplug), At(5000 + random.Below(20000), EventKind::Replug, "second")});
    episodes.push_back({At(0, EventKind::SoftphoneRestart, "2012.1")});
    episodes.push_back({At(0, EventKind::UserMenu, "update-check")});
    episodes.push_back(BusySibling(random));
    for (const char* dialog : DIALOGS)
      episodes.push_back({At(0, EventKind::UserMenu, dialog), At(20000, EventKind::UserCloseDialogs)});
  }
  return episodes;
}

}  // namespace

std::vector<Event> GenerateBusyDay(std::uint64_t seed, int callsOfEachKind) {
  Random random(seed);
  std::vector<Episode> episodes = Interruptions(random);
  Episode (*const KINDS[])(Random&) = {SkypeCallIn, SkypeCallOut, SkypeWindowCall, SoftphoneCallIn, SoftphoneCallOut};
  for (int i = 0; i < callsOfEachKind; ++i) {
    for (auto kind : KINDS) episodes.push_back(kind(random));
  }
  for (std::size_t i = episodes.size(); i > 1; --i)
    std::swap(episodes[i - 1], episodes[random.Below(static_cast<std::uint32_t>(i))]);
  std::vector<Event> events;
  for (Episode& episode : episodes) {
    episode.front().delayMs += 5000 + random.Below(60000);  // a pause before each
    events.insert(events.end(), episode.begin(), episode.end());
    events.push_back(At(1000, EventKind::Quiet));
  }
  return events;
}

}  // namespace desktop_sim
