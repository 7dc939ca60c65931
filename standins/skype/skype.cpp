// The stand-in Skype's windows: its main window, its API window (discovery,
// attach, commands and the outgoing notifications), its secondary windows,
// the cue file and the transcript.
#include "standins/skype/skype.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "standins/common/standin_util.h"
#include "standins/skype/skype_model.h"

namespace standin_skype {

Skype skype;

namespace {

// Notifications go out from the stand-in's own message loop when they are
// due, as Skype sends them from its own; the least delay is a moment.
constexpr os::UINT_PTR OUTBOX_TIMER_ID = 1;
constexpr os::UINT_PTR DURATION_TIMER_ID = 2;
constexpr os::UINT DURATION_TICK_MS = 1000;
// What Skype says of itself right after attaching, a moment after the
// attach reply so that the program knows its API window by then.
constexpr os::DWORD UNSOLICITED_DELAY_MS = 20;
constexpr os::UINT SYNC_SEND_TIMEOUT_MS = 5000;
constexpr os::UINT BROADCAST_TIMEOUT_MS = 1000;
constexpr os::LPARAM ATTACH_API_AVAILABLE = 0x8001;
constexpr os::LPARAM ATTACH_NOT_AVAILABLE = 3;
constexpr const char* API_CLASS = "SkypeStandinAPI";

os::UINT discoverMessage = 0;
os::UINT attachMessage = 0;

std::vector<os::LPARAM> ParseStatuses(const std::string& list) {
  std::vector<os::LPARAM> statuses;
  for (std::size_t at = 0; at <= list.size();) {
    std::size_t comma = list.find(',', at);
    if (comma == std::string::npos) comma = list.size();
    statuses.push_back(static_cast<os::LPARAM>(std::strtol(list.substr(at, comma - at).c_str(), nullptr, 0)));
    at = comma + 1;
  }
  return statuses;
}

void ReadCommandLine() {
  const char* cursor = os::GetCommandLineA();
  NextCommandLineWord(cursor);  // the program itself
  for (std::string word = NextCommandLineWord(cursor); !word.empty(); word = NextCommandLineWord(cursor)) {
    if (word == "--attach") skype.attachStatuses = ParseStatuses(NextCommandLineWord(cursor));
    if (word == "--version") skype.version = NextCommandLineWord(cursor);
    if (word == "--user") skype.user = NextCommandLineWord(cursor);
    if (word == "--delivery") skype.syncDelivery = NextCommandLineWord(cursor) == "sync";
    if (word == "--transcript") skype.transcriptPath = NextCommandLineWord(cursor);
    if (word == "--cues") skype.cuePath = NextCommandLineWord(cursor);
  }
  if (skype.transcriptPath.empty()) skype.transcriptPath = BesideExecutable("skype-transcript.txt");
  if (skype.cuePath.empty()) skype.cuePath = BesideExecutable("skype-cues.txt");
}

// Every complete line of the cue file not carried out yet, in order.
void RunCues() {
  std::string content;
  if (std::FILE* file = os::OpenFileStream(skype.cuePath.c_str(), "rb")) {
    char chunk[512];
    for (std::size_t read; (read = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
      content.append(chunk, read);
    std::fclose(file);
  }
  while (skype.cueBytesDone < content.size()) {
    std::size_t end = content.find('\n', skype.cueBytesDone);
    if (end == std::string::npos) break;
    std::string line = content.substr(skype.cueBytesDone, end - skype.cueBytesDone);
    skype.cueBytesDone = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    Note("cue %s", line.c_str());
    RunCue(line);
  }
}

// Answers a discovery broadcast with the next attach status of the list.
// While authorisation is pending (status 1) the asker is remembered: the
// attach follows once the user authorises it.
void AnswerDiscovery(os::HWND client) {
  const auto& statuses = skype.attachStatuses;
  os::LPARAM status = statuses[std::min(skype.discoveries, statuses.size() - 1)];
  ++skype.discoveries;
  Note("discover");
  // An API that takes no commands does not attach either, unless it is the
  // faulty one that attaches and then refuses everything.
  if (!client || skype.apiGone || (!skype.takeCommands && !skype.attachWhileRefusing)) return;
  if (status == 1) skype.pendingClient = client;
  ++skype.commandDepth;  // a busy Skype answers from inside the broadcast
  SendAttach(client, status);
  --skype.commandDepth;
}

// A notification that belongs to a call goes out only while the call has
// not ended, except a repeat of the status it ended with.
bool StillDue(const Notification& next) {
  if (!next.callId) return true;
  Call* call = CallById(next.callId);
  if (!call) return false;
  if (!next.onlyWhile.empty()) return call->status == next.onlyWhile;
  if (!IsEnded(*call)) return true;
  return !next.status.empty() && next.status == call->status;
}

void Deliver(Notification next) {
  if (!StillDue(next)) return;
  if (!next.status.empty()) {
    Call* call = CallById(next.callId);
    bool changed = call->status != next.status;
    call->status = next.status;
    if (changed) StatusTaken(*call);
  }
  if (!next.client) {
    Note("unsent %s", next.text.c_str());
    return;
  }
  Note("notify %s", next.text.c_str());
  os::COPYDATASTRUCT record = {0, static_cast<os::DWORD>(next.text.size() + 1), &next.text[0]};
  os::SendMessageA(next.client, os::WM_COPYDATA, reinterpret_cast<os::WPARAM>(skype.api),
                   reinterpret_cast<os::LPARAM>(&record));
}

// Ticks still to wait until `due`; 0 when it is due now.
os::DWORD Remaining(os::DWORD due) {
  auto left = static_cast<std::int32_t>(due - os::GetTickCount());
  return left > 0 ? static_cast<os::DWORD>(left) : 0;
}

void ArmOutbox() {
  if (skype.outbox.empty()) {
    os::KillTimer(skype.api, OUTBOX_TIMER_ID);
    return;
  }
  os::SetTimer(skype.api, OUTBOX_TIMER_ID, std::max<os::DWORD>(1, Remaining(skype.outbox.front().due)));
}

// Sends what is due, in order; a send may queue more (the program's answer
// to a notification is a command), which the loop then looks at too.
void SendOutbox() {
  os::KillTimer(skype.api, OUTBOX_TIMER_ID);
  while (!skype.outbox.empty() && Remaining(skype.outbox.front().due) == 0) {
    Notification next = skype.outbox.front();
    skype.outbox.pop_front();
    Deliver(next);
  }
  ArmOutbox();
}

// A call changes in Skype whether or not a program is attached to hear of
// it: a call's notification with nobody to send it to is still taken on
// when due, and only noted as unsent.
void Enqueue(Notification notification, os::DWORD delayMs) {
  if (!notification.client && !notification.callId) {
    Note("unsent %s", notification.text.c_str());
    return;
  }
  if (delayMs == 0 && skype.syncDelivery && skype.commandDepth > 0) {
    Deliver(notification);
    return;
  }
  notification.due = os::GetTickCount() + delayMs;
  auto later = std::find_if(skype.outbox.begin(), skype.outbox.end(), [&](const Notification& queued) {
    return static_cast<std::int32_t>(queued.due - notification.due) > 0;
  });
  skype.outbox.insert(later, notification);
  ArmOutbox();
}

void TickDurations() {
  bool any = false;
  for (const Call& call : skype.calls) {
    if (call.status != "INPROGRESS") continue;
    any = true;
    os::DWORD seconds = (os::GetTickCount() - call.answeredAt) / 1000;
    NotifyCall(call, "CALL " + std::to_string(call.id) + " DURATION " + std::to_string(seconds), "", 0);
  }
  if (!any) os::KillTimer(skype.api, DURATION_TIMER_ID);
}

std::string ClassOf(os::HWND window) {
  char name[256] = {};
  os::GetClassNameA(window, name, sizeof name);
  return name;
}

os::LRESULT OS_CALLBACK ApiProc(os::HWND window, os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
  if (message == discoverMessage && discoverMessage != 0) {
    AnswerDiscovery(reinterpret_cast<os::HWND>(wParam));
    return 0;
  }
  if (message == os::WM_COPYDATA) {
    // A command travels with its terminating NUL; without it, it is not taken.
    const auto* record = reinterpret_cast<const os::COPYDATASTRUCT*>(lParam);
    if (!record || !record->lpData || record->cbData == 0) return 0;
    const char* data = static_cast<const char*>(record->lpData);
    std::string text(data, strnlen(data, record->cbData));
    if (text.size() != record->cbData - 1) {
      Note("malformed %s", text.c_str());
      return 0;
    }
    ++skype.commandDepth;
    os::LRESULT taken = TakeCommand(reinterpret_cast<os::HWND>(wParam), text);
    --skype.commandDepth;
    return taken;
  }
  if (message == os::WM_TIMER && wParam == OUTBOX_TIMER_ID) {
    SendOutbox();
    return 0;
  }
  if (message == os::WM_TIMER && wParam == DURATION_TIMER_ID) {
    TickDurations();
    return 0;
  }
  return os::DefWindowProcA(window, message, wParam, lParam);
}

os::LRESULT OS_CALLBACK MainProc(os::HWND window, os::UINT message, os::WPARAM wParam, os::LPARAM lParam) {
  switch (message) {
    case SKYPE_CUE_MSG: RunCues(); return 0;
    case os::WM_HOTKEY:
      Note("hotkey 0x%lX 0x%08lX", static_cast<unsigned long>(wParam), static_cast<unsigned long>(lParam));
      HangUpHotKey();
      return 0;
    case os::WM_DESTROY:
      if (window == skype.main) {
        Note("quit");
        os::PostQuitMessage(0);
      }
      return 0;
    default: return os::DefWindowProcA(window, message, wParam, lParam);
  }
}

os::LRESULT OS_CALLBACK SecondaryProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                      os::LPARAM lParam) {
  if (message == os::WM_CLOSE) {
    Note("closed %s", ClassOf(window).c_str());
    if (window == skype.answerPrompt) skype.answerPrompt = nullptr;
    os::DestroyWindow(window);
    return 0;
  }
  return os::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void Note(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendTranscriptLine(skype.transcriptPath, format, args);
  va_end(args);
}

void Notify(os::HWND client, const std::string& text, os::DWORD delayMs) {
  Notification notification;
  notification.client = client;
  notification.text = text;
  Enqueue(notification, delayMs);
}

void NotifyCall(const Call& call, const std::string& text, const std::string& status, os::DWORD delayMs,
                const std::string& onlyWhile) {
  Notification notification;
  notification.client = skype.client;
  notification.text = text;
  notification.callId = call.id;
  notification.status = status;
  notification.onlyWhile = onlyWhile;
  Enqueue(notification, delayMs);
}

void StartDurationTicks() { os::SetTimer(skype.api, DURATION_TIMER_ID, DURATION_TICK_MS); }

// Synchronous delivery sends the attach from inside the discovery broadcast;
// otherwise it is posted. Once attached, Skype tells its own state.
void SendAttach(os::HWND client, os::LPARAM status) {
  Note("attach 0x%lX", static_cast<unsigned long>(status));
  if (status == 0) skype.client = client;
  if (skype.syncDelivery) {
    os::SendMessageTimeoutA(client, attachMessage, reinterpret_cast<os::WPARAM>(skype.api), status,
                            os::SMTO_NORMAL, SYNC_SEND_TIMEOUT_MS, nullptr);
  } else {
    os::PostMessageA(client, attachMessage, reinterpret_cast<os::WPARAM>(skype.api), status);
  }
  if (status != 0) return;
  os::DWORD delay = skype.syncDelivery ? 0 : UNSOLICITED_DELAY_MS;
  Notify(client, "CONNSTATUS ONLINE", delay);
  Notify(client, "CURRENTUSERHANDLE " + skype.user, delay);
  Notify(client, "USERSTATUS ONLINE", delay);
}

// The user authorises the program: the one that asked is attached, and
// every later discovery is answered with success.
void Authorize() {
  Note("authorized");
  skype.attachStatuses = {0};
  skype.discoveries = 0;
  os::HWND client = skype.pendingClient;
  skype.pendingClient = nullptr;
  if (client) SendAttach(client, 0);
}

// Skype's API has become available: every top-level window is told.
void AnnounceApi() {
  Note("available");
  skype.apiGone = false;
  os::SendMessageTimeoutA(os::HWND_BROADCAST(), attachMessage, reinterpret_cast<os::WPARAM>(skype.api),
                          ATTACH_API_AVAILABLE, os::SMTO_NORMAL, BROADCAST_TIMEOUT_MS, nullptr);
}

void WithdrawApi() {
  Note("detach");
  os::HWND client = skype.client;
  skype.client = nullptr;
  skype.pendingClient = nullptr;
  skype.apiGone = true;
  skype.attachRequired = true;
  if (client) SendAttach(client, ATTACH_NOT_AVAILABLE);
}

// A class is registered once per process; a second registration of the
// same class fails harmlessly.
os::HWND OpenWindow(const char* className, const char* title) {
  os::RegisterWindowClass(className, &SecondaryProc);
  return os::CreateWindowExA(0, className, title, os::WS_POPUP | os::WS_VISIBLE, 300, 200, 240, 160, nullptr,
                             0);
}

}  // namespace standin_skype

int SkypeMain() {
  using namespace standin_skype;
  skype = Skype{};
  ReadCommandLine();
  Note("start %s", skype.version.c_str());
  discoverMessage = os::RegisterWindowMessageA("SkypeControlAPIDiscover");
  attachMessage = os::RegisterWindowMessageA("SkypeControlAPIAttach");

  os::RegisterWindowClass(SKYPE_MAIN_CLASS, &MainProc);
  os::RegisterWindowClass(API_CLASS, &ApiProc);
  // The main window first: the program looks for it after the topmost window.
  skype.main = os::CreateWindowExA(0, SKYPE_MAIN_CLASS, SKYPE_MAIN_TITLE,
                                   os::WS_OVERLAPPEDWINDOW | os::WS_VISIBLE, 60, 60, 320, 480, nullptr, 0);
  skype.api = os::CreateWindowExA(0, API_CLASS, "", os::WS_POPUP, 0, 0, 1, 1, nullptr, 0);

  os::MSG msg;
  while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
  return 0;
}
