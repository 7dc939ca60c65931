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

// Notifications go out a moment after the message that caused them, from
// the stand-in's own message loop, as Skype sends them from its own.
constexpr os::UINT_PTR OUTBOX_TIMER_ID = 1;
constexpr os::UINT OUTBOX_DELAY_MS = 1;
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
void AnswerDiscovery(os::HWND client) {
  const auto& statuses = skype.attachStatuses;
  os::LPARAM status = statuses[std::min(skype.discoveries, statuses.size() - 1)];
  ++skype.discoveries;
  Note("discover");
  if (!client || !skype.takeCommands) return;  // an API that takes no commands does not attach either
  if (status == 0) skype.client = client;
  Note("attach 0x%lX", static_cast<unsigned long>(status));
  os::PostMessageA(client, attachMessage, reinterpret_cast<os::WPARAM>(skype.api), status);
}

void SendOutbox() {
  while (!skype.outbox.empty()) {
    Notification next = skype.outbox.front();
    skype.outbox.pop_front();
    Note("notify %s", next.text.c_str());
    os::COPYDATASTRUCT record = {0, static_cast<os::DWORD>(next.text.size() + 1), &next.text[0]};
    os::SendMessageA(next.client, os::WM_COPYDATA, reinterpret_cast<os::WPARAM>(skype.api),
                     reinterpret_cast<os::LPARAM>(&record));
  }
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
    return TakeCommand(reinterpret_cast<os::HWND>(wParam), text);
  }
  if (message == os::WM_TIMER && wParam == OUTBOX_TIMER_ID) {
    os::KillTimer(window, OUTBOX_TIMER_ID);
    SendOutbox();
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

void Notify(os::HWND client, const std::string& text) {
  if (!client) {
    Note("unsent %s", text.c_str());
    return;
  }
  if (skype.outbox.empty()) os::SetTimer(skype.api, OUTBOX_TIMER_ID, OUTBOX_DELAY_MS);
  skype.outbox.push_back(Notification{client, text});
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
