#include "tests/sim/invariants.h"

#include <algorithm>
#include <vector>

#include "platform/sim/hid_devices.h"
#include "standins/skype/skype_model.h"
#include "tests/sim/observe.h"

namespace desktop_sim {

namespace {

constexpr int LOG_LINE_BOUND = 1101;
constexpr os::DWORD IDLE_WITHIN_MS = 60000;
// A handset key reaches the program through the softphone's window and
// the hook, and then waits for the program's window thread, which the
// program's own rules keep busy at times: up to 5 s closing the dialer
// (20 tries 250 ms apart), 3 s before refusing a second call, up to 8 s
// handing the handset to a Skype call, 9 s between hook attempts. One such
// wait may follow another (seed 1361: a lift and hang-up 4 ms apart, then a
// call refused while the dialer closes, took 5.3 s). Until then the program
// cannot know; a key lost for good still fails.
constexpr std::uint64_t HANDSET_LATENCY_MS = 20000;
// The adapter search runs every 3 s, and its arrival waits for the
// program's window thread, which may be in its own waits.
constexpr std::uint64_t ADAPTER_SEEN_WITHIN_MS = 15000;
// Exit is a menu command: it waits its turn behind the program's own
// waits on its window thread (an on-hook just before closes the dialer,
// up to 5 s), and the close sequence closes the dialer too.
constexpr std::uint64_t EXIT_WITHIN_MS = 20000;

}  // namespace

std::string ProgramIsRunning(const World& world) {
  bool running = world.desktop.IsRunning(world.program);
  if (!world.programExited) {
    if (running) return "";
    return "the program ended with code " + std::to_string(world.desktop.ExitCode(world.program));
  }
  if (running) {
    if (world.desktop.Now() <= world.exitAt + EXIT_WITHIN_MS) return "";
    return "the program still runs " + std::to_string(EXIT_WITHIN_MS) + " ms after Exit";
  }
  if (world.desktop.ExitCode(world.program) != 0)
    return "after Exit the program ended with code " + std::to_string(world.desktop.ExitCode(world.program));
  if (!world.desktop.TrayIcons().empty()) return "the tray icon stayed after Exit";
  return "";
}

std::string RecordMatchesLastLogLine(const World& world) {
  if (!world.desktop.IsRunning(world.program)) return "";
  std::string shown = ShownRecord();
  std::string logged = LastLogRecord(world);
  if (shown != logged) return "control 1007 shows \"" + shown + "\" but the log ends with \"" + logged + "\"";
  static const char* const KEYS[] = {"st", "ct", "cs", "of", "dn", "cn", "ci",
                                     "pi", "sn", "wv", "pr", "re", "sv", "mv"};
  std::size_t at = 0;
  for (int i = 0; i < 14; ++i) {
    std::string field = std::string(KEYS[i]) + "=";
    if (shown.compare(at, field.size(), field) != 0) return "record \"" + shown + "\" lacks " + field + " in place";
    std::size_t end = shown.find("; ", at);
    if (i == 13) {
      if (end != std::string::npos) return "record \"" + shown + "\" goes on after mv=";
    } else {
      if (end == std::string::npos) return "record \"" + shown + "\" ends before " + KEYS[i + 1] + "=";
      at = end + 2;
    }
  }
  return "";
}

std::string LogWithinRestartBound(const World& world) {
  std::size_t count = Lines(world.desktop.ReadFile(World::LOG_PATH)).size();
  if (count <= LOG_LINE_BOUND) return "";
  return "the log has " + std::to_string(count) + " lines";
}

std::string TrayTipMatchesHandset(const World& world) {
  // Closing removes the icon first; ProgramIsRunning sees to the rest.
  if (!world.desktop.IsRunning(world.program) || world.programExited) return "";
  static const char* const TIPS[] = {
      "CorvaloPlugin (Please plug in and start MJ)", "CorvaloPlugin (Initializing)",
      "CorvaloPlugin (Start Skype and authorize CorvaloPlugin access)", "CorvaloPlugin (Ready)",
      "CorvaloPlugin (Offhook)"};
  std::vector<sim::TrayIcon> icons = world.desktop.TrayIcons();
  if (icons.size() != 1) return "the program has " + std::to_string(icons.size()) + " tray icons";
  const std::string& tip = icons[0].tip;
  bool known = false;
  for (const char* candidate : TIPS) known = known || tip == candidate;
  if (!known) return "unknown tray tip \"" + tip + "\"";
  bool settled = world.desktop.Now() > world.onHookAt + HANDSET_LATENCY_MS;
  if (tip == TIPS[4] && !world.handsetOff && world.hangUpHeard && settled) return "the tray says Offhook with the handset down; last record \"" + LastLogRecord(world) + "\"";
  return "";
}

std::string NeverRingsOffHook(const World& world) {
  if (!world.handsetOff || !world.liftHeard) return "";
  for (const sim::HidCall& call : sim::HidCalls()) {
    if (call.op != sim::HidOp::SetFeature || !IsRingOn(call.report)) continue;
    if (call.at > world.offHookAt + HANDSET_LATENCY_MS) {
      return "ring-on report at " + std::to_string(call.at) + " ms, the handset lifted at " +
             std::to_string(world.offHookAt) + " ms";
    }
  }
  return "";
}

std::string AdapterInUseMatchesBus(const World& world) {
  if (!world.desktop.IsRunning(world.program) || world.programExited) return "";
  std::uint64_t since = std::max(world.programStartedAt, world.pluggedIn ? world.pluggedAt : world.unpluggedAt);
  if (world.desktop.Now() < since + ADAPTER_SEEN_WITHIN_MS) return "";
  std::string expected = "0000";
  if (world.pluggedIn && world.adapterKind == "second") expected = "C200";
  if (world.pluggedIn && world.adapterKind == "plus") expected = "C202";
  if (world.pluggedIn && world.adapterKind == "first") expected = "C31C";
  std::string record = LastLogRecord(world);
  std::string shown = ValueOf(record, "pi");
  if (shown == expected) return "";
  return "the bus has " + (world.pluggedIn ? "the " + world.adapterKind + " adapter" : std::string("no adapter")) +
         ", the record says pi=" + shown + "; last record \"" + record + "\"";
}

namespace {

// The complete lines the Skype transcript gained since `read`, which moves
// on past them; the transcript only grows, except when a new one starts.
std::vector<std::string> NewTranscriptLines(const World& world, std::size_t& read) {
  std::string text = world.desktop.ReadFile(World::SKYPE_TRANSCRIPT);
  if (text.size() < read) read = 0;
  std::size_t complete = text.rfind('\n');
  if (complete == std::string::npos || complete < read) return {};
  std::string fresh = text.substr(read, complete + 1 - read);
  read = complete + 1;
  return Lines(fresh);
}

// "name:pid" of each sibling whose record shows a call in progress.
std::string SiblingsInCall(World& world) {
  std::string inCall;
  for (const char* name : {"TesselbayPlugin", "FerrowindPlugin"}) {
    auto sibling = world.siblings.find(name);
    if (sibling == world.siblings.end() || !world.desktop.IsRunning(sibling->second)) continue;
    if (world.siblingRecords[name].find("cs=3") == std::string::npos) continue;
    inCall += std::string(name) + ":" + std::to_string(sibling->second) + ";";
  }
  return inCall;
}

}  // namespace

// A sibling busy with a call holds back both kinds of Skype call: one
// ringing in is not taken while the TesselbayPlugin record lacks "cs=0", and
// no call dialled with "*" goes out ("CALL") while either sibling's record
// shows "cs=3". A sibling that was so all through the last event is one the
// program saw whenever it decided.
std::string SiblingBusyRespected(World& world) {
  std::size_t placed = 0;
  for (const std::string& line : NewTranscriptLines(world, world.observed.callsRead))
    placed += line.rfind("command CALL ", 0) == 0 ? 1 : 0;
  std::string inCall = SiblingsInCall(world);
  bool heldBack = inCall.empty() || inCall != world.observed.siblingsInCall || placed == 0;
  world.observed.siblingsInCall = inCall;
  if (!heldBack) return "a Skype call was placed while a sibling showed a call of its own (" + inCall + ")";

  std::size_t taken = 0;
  for (const std::string& record : LogRecords(world)) taken += record.rfind("st=IncomingSkypeCall;", 0) == 0 ? 1 : 0;
  auto sibling = world.siblings.find("TesselbayPlugin");
  os::DWORD busy = 0;
  if (sibling != world.siblings.end() && world.desktop.IsRunning(sibling->second) &&
      world.siblingRecords["TesselbayPlugin"].find("cs=0") == std::string::npos)
    busy = sibling->second;
  std::string failure;
  // The log restarts now and then; a count that went down starts afresh.
  if (busy != 0 && busy == world.observed.busySibling && taken > world.observed.callsTaken)
    failure = "a Skype call was taken while TesselbayPlugin showed \"" + world.siblingRecords["TesselbayPlugin"] + "\"";
  world.observed.busySibling = busy;
  world.observed.callsTaken = taken;
  return failure;
}

// The program cannot know that Skype withdrew its API until a command is
// refused (two may be under way at once, one sent from inside the other's
// wait); it then drops the link and asks again with a discovery broadcast,
// and from then on must wait for the next attach.
//
// The transcript only grows, so each check reads on from where the last
// one stopped (a whole day's transcript is long).
std::string NoCommandWhileDetached(World& world) {
  auto& seen = world.observed;
  std::vector<std::string> fresh = NewTranscriptLines(world, seen.transcriptRead);
  bool& attached = seen.skypeAttached;
  bool& mayBeRefused = seen.refusalMayCome;
  for (const std::string& line : fresh) {
    if (line.rfind("start ", 0) == 0) attached = false, mayBeRefused = false;
    if (line == "attach 0x0") attached = true, mayBeRefused = false;
    if (line == "detach") mayBeRefused = mayBeRefused || attached, attached = false;
    if (line == "discover") mayBeRefused = false;
    if (line.rfind("command ", 0) == 0 && !attached) return "Skype took \"" + line + "\" before attaching";
    if (line.rfind("refused ", 0) == 0 && !mayBeRefused)
      return "Skype refused \"" + line + "\" after the program had asked for a new attach";
  }
  return "";
}

std::string CheckAll(World& world) {
  struct Named {
    const char* name;
    std::string (*check)(World&);
    os::DWORD momentMs;  // how long a failing state may take to pass by itself
  };
  static const Named CHECKS[] = {
      {"ProgramIsRunning", [](World& w) { return ProgramIsRunning(w); }, 0},
      {"RecordMatchesLastLogLine", [](World& w) { return RecordMatchesLastLogLine(w); }, 0},
      {"LogWithinRestartBound", [](World& w) { return LogWithinRestartBound(w); }, 0},
      {"TrayTipMatchesHandset", [](World& w) { return TrayTipMatchesHandset(w); }, 0},
      {"NeverRingsOffHook", [](World& w) { return NeverRingsOffHook(w); }, 0},
      {"NoCommandWhileDetached", [](World& w) { return NoCommandWhileDetached(w); }, 0},
      {"AdapterInUseMatchesBus", [](World& w) { return AdapterInUseMatchesBus(w); }, 0},
      {"NeverRingsWithoutCall", &NeverRingsWithoutCall, 0},
      {"SiblingBusyRespected", &SiblingBusyRespected, 0},
      {"OneHandsetHolder", [](World& w) { return OneHandsetHolder(w); }, 1500},
      // Adopting the softphone may keep the poll away for 10 s of hook retries.
      {"TimersMatchState", [](World& w) { return TimersMatchState(w); }, 11000},
  };
  for (const Named& named : CHECKS) {
    std::string failure = named.check(world);
    if (!failure.empty() && named.momentMs > 0) {
      // The check runs inside the scheduler here: it reads, never sends.
      auto passes = [&world, &named] { return named.check(world).empty(); };
      if (world.desktop.RunUntil(passes, named.momentMs)) failure.clear();
      else failure = named.check(world);
    }
    if (!failure.empty()) return std::string(named.name) + ": " + failure;
  }
  return "";
}

std::string ReturnsToIdle(World& world) {
  // A program that could not hear the hang-up cannot know the phone is idle.
  if (!world.desktop.IsRunning(world.program) || world.programExited || !world.hangUpHeard) return "";
  // The log, not the window: the check runs inside the scheduler, where
  // sending a message to a window would wait on itself.
  // A Skype call the program keeps through the loss of the link (one
  // answered in Skype's window) ends in the record once Skype, attached
  // again, tells its status, or quits; while Skype has withdrawn its API the
  // program cannot hear of its end.
  auto idle = [&world] {
    std::string record = LastLogRecord(world);
    bool skypeWithdrawn = world.desktop.IsRunning(world.skype) && standin_skype::skype.apiGone;
    bool keptSkypeCall = ValueOf(record, "ct") == "2" && ValueOf(record, "cs") == "4";
    return (ValueOf(record, "cs") == "0" || (skypeWithdrawn && keptSkypeCall)) && ValueOf(record, "of") == "0";
  };
  if (world.desktop.RunUntil(idle, IDLE_WITHIN_MS)) return "";
  return "ReturnsToIdle: still \"" + ShownRecord() + "\" " + std::to_string(IDLE_WITHIN_MS) +
         " ms after every call ended";
}

}  // namespace desktop_sim
