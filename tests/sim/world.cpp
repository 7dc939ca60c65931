#include "tests/sim/world.h"

#include "phonehook/hook_messages.h"
#include "phonehook/hook_state.h"
#include "platform/os_window.h"
#include "platform/sim/hid_devices.h"
#include "platform/sim/internet_replies.h"
#include "shell/app.h"
#include "standins/skype/skype.h"
#include "standins/skype/skype_model.h"
#include "standins/softphone/softphone.h"

namespace desktop_sim {

namespace {

// Time the models and the program take to act on one input.
constexpr os::DWORD INPUT_SETTLE_MS = 20;
// Cues queued a moment apart, so that the model has taken on the first
// status before the next cue picks its newest call.
constexpr os::DWORD BETWEEN_CUES_MS = 100;
// Calls Skype may have going at once: each call rung in, placed or
// answered since the last quiet spell could still be on.
constexpr int MAX_CALLS_ENDED = 64;
// The program polls for the softphone every second while Skype is not
// attached, and may retry its hook for up to 10 s.
constexpr os::DWORD HOOKED_WITHIN_MS = 12000;

}  // namespace

// The hook library's state is one per run, as its shared section is one
// per Windows session.
World::World() {
  phonehookShared = {};
  PhonehookProcessAttach(nullptr);
  sim::ClearHidCalls();
  // The update server answers each update check.
  sim::SetHttpReply("http://updates.corvaloplugin.com/", "result=CorvaloPlugin 2.06 is the latest release.");
}

bool World::Start() {
  PlugIn("second");
  adapterOpening = false;  // the softphone starts with the adapter in place
  StartSkype("0");
  StartSoftphone("2012.1");
  program = desktop.StartProcess(PROGRAM_EXE, &ProgramMain);
  programStartedAt = desktop.Now();
  bool up = desktop.RunUntil(
      [this] { return desktop.ReadFile(LOG_PATH).find("st=DeviceAdded;") != std::string::npos; }, 5000);
  desktop.RunFor(2000);
  return up;
}

bool World::SoftphoneHearsHandset() const { return pluggedIn && desktop.Now() >= adapterOpenAt; }

bool World::ProgramHearsHandset() const {
  return desktop.IsRunning(program) && !programExited && os::FindWindowA("Static", "CSJHandsetDriverWnd") &&
         desktop.HookCountOn(softphone) > 0;
}

bool World::SkypeHasLiveCall() const {
  return desktop.IsRunning(skype) && standin_skype::LatestCall() != nullptr;
}

void World::SendHandsetState() {
  handsetOff = handsetLifted;
  (handsetOff ? liftHeard : hangUpHeard) = ProgramHearsHandset();
  Handset(handsetOff ? HANDSET_OFF_HOOK : HANDSET_ON_HOOK);
  (handsetOff ? offHookAt : onHookAt) = desktop.Now();
}

// The softphone tells its handset window what changed since it last heard.
void World::ReportHandset() {
  if (!SoftphoneHearsHandset() || handsetLifted == handsetOff) return;
  SendHandsetState();
}

// Opening the adapter, the softphone reads the handset and reports it as it
// finds it, lifted or down, whatever it believed before.
void World::SoftphoneOpensAdapter() {
  adapterOpening = false;
  SendHandsetState();
}

void World::RunFor(os::DWORD ms) {
  std::uint64_t end = desktop.Now() + ms;
  if (pluggedIn && adapterOpening && adapterOpenAt <= end) {
    if (adapterOpenAt > desktop.Now()) desktop.RunFor(static_cast<os::DWORD>(adapterOpenAt - desktop.Now()));
    SoftphoneOpensAdapter();
  }
  if (end > desktop.Now()) desktop.RunFor(static_cast<os::DWORD>(end - desktop.Now()));
}

// A Skype started afresh knows nothing of the cues its last run was given
// (the model reads its cue file from the start).
void World::StartSkype(const std::string& attachStatuses) {
  desktop.WriteFile(SKYPE_CUES, "");
  skype = desktop.StartProcess(SKYPE_EXE, &SkypeMain, "--attach " + attachStatuses);
  skypeCallRinging = false;
  desktop.RunFor(10);
}

void World::StartProgram() {
  program = desktop.StartProcess(PROGRAM_EXE, &ProgramMain);
  programStartedAt = desktop.Now();
  programExited = false;
  liftHeard = false;  // a new program knows nothing of a handset already lifted
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
      // A second caller, while a call is in hand, gives up by itself (the
      // first generator rang no second call in).
      if (!skypeCallRinging) Cue("ring " + event.text), skypeCallRinging = true;
      else if (event.value) Cue("ring " + event.text + " " + std::to_string(event.value));
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
      if (!desktop.IsRunning(skype)) StartSkype(event.text.empty() ? "0" : event.text);
      break;
    case EventKind::SoftphoneRing: PostToDialer(SOFTPHONE_RING_CUE, event.text == "1" ? 1 : 0); break;
    case EventKind::SoftphoneHangUp: PostToDialer(SOFTPHONE_HANG_UP_CUE, 0); break;
    case EventKind::SoftphoneRestart: RestartSoftphone(event.text); break;
    case EventKind::Unplug: UnplugAdapter(); break;
    case EventKind::Replug:
      if (!pluggedIn) PlugIn(event.text.empty() ? "second" : event.text);
      break;
    case EventKind::SiblingStart: StartSibling(event.text, event.value); break;
    case EventKind::SiblingQuit: QuitSibling(event.text); break;
    case EventKind::UserMenu: ChooseFromTrayMenu(event.text); break;
    case EventKind::UserCloseDialogs: CloseDialogs(); break;
    case EventKind::ProgramExit:
      if (!programExited && desktop.IsRunning(program) && ChooseFromTrayMenu("exit")) {
        programExited = true;
        exitAt = desktop.Now();
      }
      break;
    case EventKind::ProgramStart:
      if (!desktop.IsRunning(program)) StartProgram();
      break;
    case EventKind::Quiet: Quiet(); break;
  }
  RunFor(INPUT_SETTLE_MS);
}

// Every call ends from its far end and the handset goes down. A second
// Skype call may still ring while the first is in hand; each "end" takes
// the newest, until Skype has none left. The person hangs up once the
// softphone has the adapter open and the program can hear it: just after
// the softphone restarted, the program may not have hooked it yet.
void World::Quiet() {
  for (int call = 0; call < MAX_CALLS_ENDED && SkypeHasLiveCall(); ++call)
    Cue("end FINISHED"), RunFor(BETWEEN_CUES_MS);
  skypeCallRinging = false;
  PostToDialer(SOFTPHONE_HANG_UP_CUE, 0);
  if (!pluggedIn) PlugIn("second");
  if (desktop.Now() < adapterOpenAt) RunFor(static_cast<os::DWORD>(adapterOpenAt - desktop.Now()));
  if (handsetLifted && desktop.IsRunning(program) && !programExited)
    desktop.RunUntil([this] { return ProgramHearsHandset(); }, HOOKED_WITHIN_MS);
  handsetLifted = false;
  ReportHandset();
}

}  // namespace desktop_sim
