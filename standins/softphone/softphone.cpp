#include "standins/softphone/softphone.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/os_kernel.h"
#include "platform/os_registry.h"
#include "platform/os_window.h"
#include "standins/common/standin_util.h"

namespace {

constexpr os::UINT HANDSET_KEY = os::WM_USER + 3;
constexpr os::UINT KEY_INJECT = 5123;
constexpr os::WPARAM SWALLOWED_TICK = 10000;
constexpr os::LPARAM DECLINE_POINT = (103 << 16) | 226;

struct Softphone {
  std::string version = "2012.1";
  std::string transcript;
  bool closeOffscreen = false;
  os::HWND main = nullptr;
  os::HWND handset = nullptr;
  os::HWND numberBox = nullptr;
  os::HWND popup = nullptr;
};

Softphone phone;

void Note(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Note(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendTranscriptLine(phone.transcript, format, args);
  va_end(args);
}

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

void Ring(bool large) {
  if (phone.popup) return;
  int width = large ? 314 : 280, height = large ? 139 : 126;
  phone.popup = os::CreateWindowExA(0, "QWidget", "", os::WS_POPUP | os::WS_VISIBLE, 600, 400, width,
                                    height, nullptr, 0);
  Note("popup %dx%d", width, height);
}

void HangUp() {
  if (!phone.popup) return;
  os::HWND popup = phone.popup;
  phone.popup = nullptr;
  os::DestroyWindow(popup);
  Note("popup-gone");
}

os::LRESULT OS_CALLBACK MainProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                 os::LPARAM lParam) {
  if (window == phone.popup) {
    int x = static_cast<int>(lParam & 0xFFFF), y = static_cast<int>((lParam >> 16) & 0xFFFF);
    if (message == os::WM_LBUTTONDOWN) Note("popup-down %d,%d", x, y);
    if (message == os::WM_LBUTTONUP) {
      Note("popup-click %d,%d", x, y);
      if (lParam == DECLINE_POINT) HangUp();
    }
    return os::DefWindowProcA(window, message, wParam, lParam);
  }
  switch (message) {
    case KEY_INJECT:
      Note("inject 0x%02X", static_cast<unsigned>(lParam & 0xFF));
      return 0;
    case SOFTPHONE_RING_CUE:
      Ring(wParam != 0);
      return 0;
    case SOFTPHONE_HANG_UP_CUE:
      HangUp();
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

os::LRESULT OS_CALLBACK HandsetProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                    os::LPARAM lParam) {
  if (message == HANDSET_KEY) {
    Note("handset 0x%02X", static_cast<unsigned>(wParam & 0xFF));
    return 0;
  }
  if (message == os::WM_TIMER && wParam == SWALLOWED_TICK) {
    Note("swallowed");
    return 0;
  }
  if (message == KEY_INJECT) return MainProc(window, message, wParam, lParam);
  return os::DefWindowProcA(window, message, wParam, lParam);
}

os::LRESULT OS_CALLBACK NumberBoxProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                      os::LPARAM lParam) {
  if (message == os::WM_SETTEXT) Note("edit %s", lParam ? reinterpret_cast<const char*>(lParam) : "");
  return os::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int SoftphoneMain() {
  phone = Softphone{};
  ReadCommandLine();
  WriteVersion();
  Note("start %s", phone.version.c_str());

  os::RegisterWindowClass("QWidget", &MainProc);
  os::RegisterWindowClass("Static", &HandsetProc);
  os::RegisterWindowClass("Edit", &NumberBoxProc);
  phone.main = os::CreateWindowExA(0, "QWidget", "magicJack",
                                   os::WS_POPUP | os::WS_SYSMENU | os::WS_MINIMIZEBOX | os::WS_VISIBLE,
                                   100, 100, 320, 480, nullptr, 0);
  phone.handset = os::CreateWindowExA(0, "Static", "CSJHandsetDriverWnd", 0, 0, 0, 10, 10, nullptr, 0);
  // From "2013" on the hook goes on the handset window, and the number box
  // is found among that window's children.
  os::HWND boxParent = phone.version.compare(0, 4, "2013") >= 0 ? phone.handset : phone.main;
  phone.numberBox = os::CreateWindowExA(0, "Edit", "", os::WS_CHILD | os::WS_VISIBLE, 10, 10, 200, 24,
                                        boxParent, 1);

  os::MSG msg;
  while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
  return 0;
}
