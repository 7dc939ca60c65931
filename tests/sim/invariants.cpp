#include "tests/sim/invariants.h"

#include <sstream>
#include <vector>

#include "platform/os_window.h"
#include "platform/sim/hid_devices.h"

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

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

os::HWND MainWindow() { return os::FindWindowA("#32770", "CorvaloPlugin - Call Status"); }

std::string ShownRecord() {
  char text[512] = {};
  os::GetWindowTextA(os::GetDlgItem(MainWindow(), 1007), text, sizeof text);
  return text;
}

std::string LastLogRecord(const World& world) {
  std::vector<std::string> lines = Lines(world.desktop.ReadFile(World::LOG_PATH));
  if (lines.empty()) return "";
  std::size_t tab = lines.back().find('\t');
  return tab == std::string::npos ? lines.back() : lines.back().substr(tab + 1);
}

// The value of key in a record, or "?" when the record has none.
std::string ValueOf(const std::string& record, const std::string& key) {
  std::string field = key + "=";
  std::size_t at = record.rfind(field, 0) == 0 ? 0 : record.find("; " + field);
  if (at == std::string::npos) return "?";
  at += at == 0 ? field.size() : field.size() + 2;
  return record.substr(at, record.find(';', at) - at);
}

bool IsRingOn(const std::vector<os::BYTE>& report) {
  if (report.size() > 5 && report[1] == 0x04 && report[5] == 0x30) return true;
  return report.size() > 6 && report[1] == 0x20 && report[6] == 0x03;
}

}  // namespace

std::string ProgramIsRunning(const World& world) {
  if (world.desktop.IsRunning(world.program)) return "";
  return "the program ended with code " + std::to_string(world.desktop.ExitCode(world.program));
}

std::string RecordMatchesLastLogLine(const World& world) {
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
  if (tip == TIPS[4] && !world.handsetOff && settled) return "the tray says Offhook with the handset down; last record \"" + LastLogRecord(world) + "\"";
  return "";
}

std::string NeverRingsOffHook(const World& world) {
  if (!world.handsetOff) return "";
  for (const sim::HidCall& call : sim::HidCalls()) {
    if (call.op != sim::HidOp::SetFeature || !IsRingOn(call.report)) continue;
    if (call.at > world.offHookAt + HANDSET_LATENCY_MS) {
      return "ring-on report at " + std::to_string(call.at) + " ms, the handset lifted at " +
             std::to_string(world.offHookAt) + " ms";
    }
  }
  return "";
}

std::string NoCommandWhileDetached(const World& world) {
  bool attached = false;
  for (const std::string& line : Lines(world.desktop.ReadFile(World::SKYPE_TRANSCRIPT))) {
    if (line.rfind("start ", 0) == 0) attached = false;
    if (line == "attach 0x0") attached = true;
    if (line.rfind("command ", 0) == 0 && !attached) return "Skype took \"" + line + "\" before attaching";
  }
  return "";
}

std::string CheckAll(const World& world) {
  struct Named {
    const char* name;
    std::string (*check)(const World&);
  };
  static const Named CHECKS[] = {
      {"ProgramIsRunning", &ProgramIsRunning},
      {"RecordMatchesLastLogLine", &RecordMatchesLastLogLine},
      {"LogWithinRestartBound", &LogWithinRestartBound},
      {"TrayTipMatchesHandset", &TrayTipMatchesHandset},
      {"NeverRingsOffHook", &NeverRingsOffHook},
      {"NoCommandWhileDetached", &NoCommandWhileDetached},
  };
  for (const Named& named : CHECKS) {
    std::string failure = named.check(world);
    if (!failure.empty()) return std::string(named.name) + ": " + failure;
  }
  return "";
}

std::string ReturnsToIdle(World& world) {
  // The log, not the window: the check runs inside the scheduler, where
  // sending a message to a window would wait on itself.
  auto idle = [&world] {
    std::string record = LastLogRecord(world);
    return ValueOf(record, "cs") == "0" && ValueOf(record, "of") == "0";
  };
  if (world.desktop.RunUntil(idle, IDLE_WITHIN_MS)) return "";
  return "ReturnsToIdle: still \"" + ShownRecord() + "\" " + std::to_string(IDLE_WITHIN_MS) +
         " ms after every call ended";
}

}  // namespace desktop_sim
