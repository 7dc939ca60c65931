// Nothing the program holds grows with the day: at every idle moment it
// holds what it held the first time it was idle in the same situation.
#include <map>
#include <string>

#include "tests/sim/invariants.h"
#include "tests/sim/observe.h"

namespace desktop_sim {

namespace {

// A thread that announced an arrival, or a handle the adapter search has
// not yet closed, may still be on its way out when the spell ends.
constexpr os::DWORD RELEASE_WAIT_MS = 15000;

// What the idle program may rightly hold more or less of: the adapter's
// handle while it has one, each dialog the user left open (a window and its
// controls), the hook on the softphone once it found it, and the sound
// device with its thread while the alert tone's player stays open.
std::string Situation(const World& world, const std::map<std::string, int>& objects) {
  std::string adapter = ValueOf(LastLogRecord(world), "pi") == "0000" ? "none" : "in use";
  std::string windows;
  for (os::HWND window : world.desktop.TopLevelWindowsOf(world.program)) {
    windows += std::string(windows.empty() ? "" : ", ") + "\"" + world.desktop.TitleOf(window) + "\"";
  }
  return "adapter " + adapter + ", windows " + windows + ", " + std::to_string(world.desktop.HookCountOn(world.softphone)) +
         " hooks on the softphone, " + std::to_string(objects.at("wave devices")) + " wave devices";
}

// The kinds above their idle count. Timers are left to TimersMatchState:
// their ids come from the program's table, so they cannot pile up, and
// which run depends on the link to Skype.
std::string Grown(const std::map<std::string, int>& now, const std::map<std::string, int>& idle) {
  std::string grown;
  for (const auto& [kind, count] : now) {
    if (kind == "timers" || count <= idle.at(kind)) continue;
    grown += (grown.empty() ? "" : ", ") + kind + " " + std::to_string(idle.at(kind)) + " -> " +
             std::to_string(count);
  }
  return grown;
}

}  // namespace

std::string ObjectsText(const std::map<std::string, int>& objects) {
  std::string text;
  for (const auto& [kind, count] : objects) text += (text.empty() ? "" : ", ") + kind + " " + std::to_string(count);
  return text;
}

std::string NothingGrowsAtIdle(World& world) {
  if (!world.desktop.IsRunning(world.program) || world.programExited || !world.hangUpHeard) return "";
  if (world.observed.objectsProgram != world.program) {
    world.observed.objectsProgram = world.program;  // a new program starts from nothing
    world.observed.idleObjects.clear();
  }
  // What grew since the program was first idle in the situation it is in
  // now; a situation not seen before has nothing to grow from.
  auto grown = [&world] {
    std::map<std::string, int> now = world.desktop.LiveObjectsOf(world.program);
    std::string situation = Situation(world, now);
    auto idle = world.observed.idleObjects.find(situation);
    if (idle == world.observed.idleObjects.end()) return std::string();
    std::string kinds = Grown(now, idle->second);
    return kinds.empty() ? kinds : kinds + " since idle with " + situation;
  };
  if (!grown().empty() && !world.desktop.RunUntil([&grown] { return grown().empty(); }, RELEASE_WAIT_MS))
    return "NothingGrowsAtIdle: " + grown() + "; last record \"" + LastLogRecord(world) + "\"";
  std::map<std::string, int> now = world.desktop.LiveObjectsOf(world.program);
  world.observed.idleObjects.emplace(Situation(world, now), now);
  return "";
}

}  // namespace desktop_sim
