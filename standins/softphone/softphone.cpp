#include "standins/softphone/softphone.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/os_kernel.h"
#include "platform/os_registry.h"
#include "platform/os_window.h"
#include "standins/common/standin_util.h"
#include "standins/softphone/softphone_state.h"

namespace softphone {

State phone;

namespace {

constexpr os::UINT KEY_INJECT = 5123;

// The transcript is written from both threads of the newer variant.
os::CriticalSection noteLock;
std::atomic<bool> handsetReady{false};

bool IsNewer() { return phone.version.compare(0, 4, "2013") >= 0; }

void ReadCommandLine() {
  const char* cursor = os::GetCommandLineA();
  NextCommandLineWord(cursor);  // the program itself
  for (std::string word = NextCommandLineWord(cursor); !word.empty(); word = NextCommandLineWord(cursor)) {
    if (word == "--version") phone.version = NextCommandLineWord(cursor);
    if (word == "--transcript") phone.transcript = NextCommandLineWord(cursor);
    if (word == "--dialer-close") phone.closeOffscreen = NextCommandLineWord(cursor) == "offscreen";
  }
  if (phone.transcript.empty()) phone.transcript = BesideExecutable("softphone-transcript.txt");
}

void WriteVersion() {
  os::HKEY key = nullptr;
  if (os::RegCreateKeyA(os::HKEY_CURRENT_USER(), SOFTPHONE_REGISTRY_KEY, &key) != os::ERROR_SUCCESS)
    return;
  os::RegSetValueExA(key, "usd", os::REG_SZ, reinterpret_cast<const os::BYTE*>(phone.version.c_str()),
                     static_cast<os::DWORD>(phone.version.size() + 1));
  os::RegCloseKey(key);
}

os::LRESULT OS_CALLBACK MainProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                 os::LPARAM lParam) {
  if (window == phone.popup) {
    int x = static_cast<int>(lParam & 0xFFFF), y = static_cast<int>((lParam >> 16) & 0xFFFF);
    if (message == os::WM_LBUTTONDOWN) Note("popup-down %d,%d", x, y);
    if (message == os::WM_LBUTTONUP) {
      Note("popup-click %d,%d", x, y);
      OnPopupClick(lParam);
    }
    return os::DefWindowProcA(window, message, wParam, lParam);
  }
  switch (message) {
    case KEY_INJECT:
      Note("inject 0x%02X", static_cast<unsigned>(lParam & 0xFF));
      return 0;
    case HANDSET_EVENT:
      OnHandsetKey(static_cast<unsigned>(wParam));
      return 0;
    case SOFTPHONE_RING_CUE:
      Ring(wParam != 0);
      return 0;
    case SOFTPHONE_HANG_UP_CUE:
      FarEndGone();
      return 0;
    case SOFTPHONE_SHOW_CUE:
      ShowDialer();
      return 0;
    case os::WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == os::SC_CLOSE) {
        Note("sysclose");
        if (phone.closeOffscreen) {
          os::SetWindowPos(window, nullptr, 100, -32000, 0, 0, os::SWP_NOSIZE | os::SWP_NOZORDER);
        } else {
          os::ShowWindow(window, os::SW_HIDE);
        }
        return 0;
      }
      break;
    case os::WM_DESTROY:
      if (window == phone.main) {
        Note("quit");
        os::PostQuitMessage(0);
      }
      return 0;
    default:
      break;
  }
  return os::DefWindowProcA(window, message, wParam, lParam);
}

// The handset driver: on the dialer's thread the key is acted on at once;
// on a driver thread of its own it is passed on to the dialer's thread.
os::LRESULT OS_CALLBACK HandsetProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                    os::LPARAM lParam) {
  if (message == HANDSET_KEY) {
    Note("handset 0x%02X", static_cast<unsigned>(wParam & 0xFF));
    if (IsNewer()) {
      os::PostMessageA(phone.main, HANDSET_EVENT, wParam & 0xFF, 0);
    } else {
      OnHandsetKey(static_cast<unsigned>(wParam));
    }
    return 0;
  }
  if (message == os::WM_TIMER && wParam == SWALLOWED_TICK) {
    Note("swallowed");
    return 0;
  }
  if (message == KEY_INJECT) {
    Note("inject 0x%02X", static_cast<unsigned>(lParam & 0xFF));
    return 0;
  }
  return os::DefWindowProcA(window, message, wParam, lParam);
}

os::LRESULT OS_CALLBACK NumberBoxProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                      os::LPARAM lParam) {
  if (message == TYPE_INTO_BOX) {
    const char* text = lParam ? reinterpret_cast<const char*>(lParam) : "";
    Note("box %s", text);
    return os::DefWindowProcA(window, os::WM_SETTEXT, 0, reinterpret_cast<os::LPARAM>(text));
  }
  if (message == os::WM_SETTEXT) Note("edit %s", lParam ? reinterpret_cast<const char*>(lParam) : "");
  return os::DefWindowProcA(window, message, wParam, lParam);
}

// The handset window and the number box, the box under boxParentOverride
// (the older softphone's dialer) or else under the handset window.
void CreateHandsetWindows(os::HWND boxParentOverride) {
  phone.handset = os::CreateWindowExA(0, "Static", "CSJHandsetDriverWnd", 0, 0, 0, 10, 10, nullptr, 0);
  os::HWND boxParent = boxParentOverride ? boxParentOverride : phone.handset;
  phone.numberBox = os::CreateWindowExA(0, "Edit", "", os::WS_CHILD | os::WS_VISIBLE, 10, 10, 200, 24,
                                        boxParent, 1);
}

void RunMessageLoop() {
  os::MSG msg;
  while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
}

// The newer softphone's handset driver thread: its window, the number box
// as its child, and a message loop of its own.
os::DWORD HandsetThread(void*) {
  CreateHandsetWindows(nullptr);
  handsetReady = true;
  RunMessageLoop();
  return 0;
}

}  // namespace

void Note(const char* format, ...) {
  os::EnterCriticalSection(&noteLock);
  va_list args;
  va_start(args, format);
  AppendTranscriptLine(phone.transcript, format, args);
  va_end(args);
  os::LeaveCriticalSection(&noteLock);
}

}  // namespace softphone

int SoftphoneMain() {
  using namespace softphone;
  phone = State{};
  handsetReady = false;
  os::InitializeCriticalSection(&noteLock);
  struct LockOwner {
    ~LockOwner() { os::DeleteCriticalSection(&noteLock); }
  } lockOwner;
  ReadCommandLine();
  WriteVersion();
  Note("start %s", phone.version.c_str());

  os::RegisterWindowClass("QWidget", &MainProc);
  os::RegisterWindowClass("Static", &HandsetProc);
  os::RegisterWindowClass("Edit", &NumberBoxProc);
  phone.main = os::CreateWindowExA(0, "QWidget", "magicJack",
                                   os::WS_POPUP | os::WS_SYSMENU | os::WS_MINIMIZEBOX | os::WS_VISIBLE,
                                   100, 100, 320, 480, nullptr, 0);
  if (IsNewer() && os::BeginThread(&HandsetThread, nullptr, os::THREAD_PRIORITY_NORMAL)) {
    while (!handsetReady) os::Sleep(1);
  } else {
    CreateHandsetWindows(IsNewer() ? nullptr : phone.main);
  }
  RunMessageLoop();
  return 0;
}
