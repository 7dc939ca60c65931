#include "tests/sim/world.h"

#include "phonehook/hook_messages.h"
#include "phonehook/hook_state.h"
#include "platform/os_window.h"
#include "platform/sim/hid_devices.h"
#include "shell/app.h"
#include "standins/skype/skype.h"
#include "standins/softphone/softphone.h"

namespace desktop_sim {

namespace {

// Time the models and the program take to act on one input.
constexpr os::DWORD SETTLE_MS = 20;
// Nobody pulls a USB plug and pushes it back in faster than this.
constexpr os::DWORD SHORTEST_REPLUG_MS = 2000;
// The system announces a plugged-in adapter and the softphone opens it;
// until then the softphone hears nothing of the handset, and then it
// reports the handset as it finds it.
constexpr os::DWORD SOFTPHONE_OPENS_ADAPTER_MS = 1500;

}  // namespace

// The hook library's state is one per run, as its shared section is one
// per Windows session.
World::World() {
  phonehookShared = {};
  PhonehookProcessAttach(nullptr);
  sim::ClearHidCalls();
}

bool World::Start() {
  PlugIn();
  adapterOpening = false;  // the softphone starts with the adapter in place
  StartSkype();
  softphone = desktop.StartProcess(SOFTPHONE_EXE, &SoftphoneMain, "--version 2012.1");
  desktop.RunFor(10);
  program = desktop.StartProcess(PROGRAM_EXE, &ProgramMain);
  bool up = desktop.RunUntil(
      [this] { return desktop.ReadFile(LOG_PATH).find("st=DeviceAdded;") != std::string::npos; }, 5000);
  desktop.RunFor(2000);
  return up;
}

void World::PlugIn() {
  if (!adapterPath.empty()) {
    std::uint64_t earliest = unpluggedAt + SHORTEST_REPLUG_MS;
    if (desktop.Now() < earliest) RunFor(static_cast<os::DWORD>(earliest - desktop.Now()));
  }
  adapterPath = sim::PlugInHidDevice(sim::SoftphoneAdapter());
  pluggedIn = true;
  adapterOpenAt = desktop.Now() + SOFTPHONE_OPENS_ADAPTER_MS;
  adapterOpening = true;
}

bool World::SoftphoneHearsHandset() const { return pluggedIn && desktop.Now() >= adapterOpenAt; }

// The softphone tells its handset window what changed since it last heard.
void World::ReportHandset() {
  if (!SoftphoneHearsHandset() || handsetLifted == handsetOff) return;
  handsetOff = handsetLifted;
  Handset(handsetOff ? HANDSET_OFF_HOOK : HANDSET_ON_HOOK);
  (handsetOff ? offHookAt : onHookAt) = desktop.Now();
}

// Opening the adapter, the softphone reads the handset and reports it as it
// finds it, lifted or down, whatever it believed before.
void World::SoftphoneOpensAdapter() {
  adapterOpening = false;
  handsetOff = handsetLifted;
  Handset(handsetOff ? HANDSET_OFF_HOOK : HANDSET_ON_HOOK);
  (handsetOff ? offHookAt : onHookAt) = desktop.Now();
}

void World::RunFor(os::DWORD ms) {
  std::uint64_t end = desktop.Now() + ms;
  if (pluggedIn && adapterOpening && adapterOpenAt <= end) {
    if (adapterOpenAt > desktop.Now()) desktop.RunFor(static_cast<os::DWORD>(adapterOpenAt - desktop.Now()));
    SoftphoneOpensAdapter();
  }
  desktop.RunFor(static_cast<os::DWORD>(end - desktop.Now()));
}

// A Skype started afresh knows nothing of the cues its last run was given
// (the model reads its cue file from the start).
void World::StartSkype() {
  desktop.WriteFile(SKYPE_CUES, "");
  skype = desktop.StartProcess(SKYPE_EXE, &SkypeMain, "");
  skypeCallRinging = false;
  desktop.RunFor(10);
}

void World::Handset(unsigned code) {
  os::PostMessageA(os::FindWindowA("Static", "CSJHandsetDriverWnd"), HANDSET_KEY_MSG, code, 0);
}

void World::Cue(const std::string& line) {
  os::HWND main = os::FindWindowA(SKYPE_MAIN_CLASS, nullptr);
  if (!main) return;  // Skype is not running: nobody takes the cue
  desktop.WriteFile(SKYPE_CUES, desktop.ReadFile(SKYPE_CUES) + line + "\n");
  os::PostMessageA(main, SKYPE_CUE_MSG, 0, 0);
}

void World::PostToDialer(os::UINT message, os::WPARAM wParam) {
  os::PostMessageA(os::FindWindowA("QWidget", "magicJack"), message, wParam, 0);
}

void World::Apply(const Event& event) {
  RunFor(event.delayMs);
  switch (event.kind) {
    case EventKind::OffHook:
    case EventKind::OnHook:
      handsetLifted = event.kind == EventKind::OffHook;
      ReportHandset();
      break;
    case EventKind::Key: {
      if (!SoftphoneHearsHandset()) break;  // an adapter away hears no keys
      char key = event.text.empty() ? '0' : event.text[0];
      Handset(key == '*' ? HANDSET_STAR : key == '#' ? HANDSET_HASH : static_cast<unsigned>(key));
      break;
    }
    case EventKind::SkypeRing:
      if (!skypeCallRinging) Cue("ring " + event.text), skypeCallRinging = true;
      break;
    case EventKind::SkypeAnswer: Cue("answer"); break;
    case EventKind::SkypeEnd: Cue("end " + event.text), skypeCallRinging = false; break;
    case EventKind::SkypeCue: Cue(event.text); break;
    case EventKind::SkypeQuit: {
      os::HWND main = os::FindWindowA(SKYPE_MAIN_CLASS, nullptr);
      if (main) os::PostMessageA(main, os::WM_CLOSE, 0, 0);
      break;
    }
    case EventKind::SkypeStart:
      if (!desktop.IsRunning(skype)) StartSkype();
      break;
    case EventKind::SoftphoneRing: PostToDialer(SOFTPHONE_RING_CUE, event.text == "1" ? 1 : 0); break;
    case EventKind::SoftphoneHangUp: PostToDialer(SOFTPHONE_HANG_UP_CUE, 0); break;
    case EventKind::Unplug:
      // The softphone loses the handset with the adapter; once it has the
      // adapter back it reports a handset it finds lifted afresh.
      if (pluggedIn) {
        sim::Unplug(adapterPath);
        pluggedIn = false;
        unpluggedAt = onHookAt = desktop.Now();
        handsetOff = false;
      }
      break;
    case EventKind::Replug:
      if (!pluggedIn) PlugIn();
      break;
    case EventKind::Quiet: Quiet(); break;
  }
  RunFor(SETTLE_MS);
}

// Every call ends from its far end and the handset goes down.
void World::Quiet() {
  Cue("end FINISHED");
  skypeCallRinging = false;
  PostToDialer(SOFTPHONE_HANG_UP_CUE, 0);
  if (!pluggedIn) PlugIn();
  handsetLifted = false;
  if (desktop.Now() < adapterOpenAt) RunFor(static_cast<os::DWORD>(adapterOpenAt - desktop.Now()));
  ReportHandset();
}

}  // namespace desktop_sim
