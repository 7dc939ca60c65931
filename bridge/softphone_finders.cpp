// Finding the softphone's windows (line 1) and Skype's main window (line 2)
// by class, title, style and size, looking afresh each time. The system is
// asked for a window by its exact class where a rule names one, and each
// window's cheapest property is tested first. A window's class and thread
// never change while it exists, so they are not asked again of the dialer
// and Skype's main window the last poll found (the same trust the program
// puts in a handle when it keeps the hooked window).
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "platform/os_window.h"
#include "shell/main_dialog.h"

namespace {

constexpr os::LONG DIALER_STYLE = os::WS_MINIMIZEBOX | os::WS_SYSMENU | os::WS_POPUP;

std::string ClassOf(os::HWND window) {
  char name[256] = {};
  os::GetClassNameA(window, name, 255);
  return name;
}

std::string TitleOf(os::HWND window) {
  char title[257] = {};
  os::GetWindowTextA(window, title, 256);
  return title;
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

bool EqualsIgnoringCase(const std::string& text, const char* other) {
  std::size_t length = std::strlen(other);
  if (text.size() != length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(other[i])))
      return false;
  }
  return true;
}

bool IsPopupSize(os::HWND window) {
  os::RECT rect = {};
  os::GetWindowRect(window, &rect);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  return (width == 280 && height == 126) || (width == 314 && height == 139);
}

bool IsPopup(os::HWND window) { return IsPopupSize(window) && Contains(ClassOf(window), "QWidget"); }

os::BOOL OS_CALLBACK TakeFirstPopup(os::HWND window, os::LPARAM found) {
  if (!IsPopup(window)) return os::TRUE;
  *reinterpret_cast<os::HWND*>(found) = window;
  return os::FALSE;
}

// title: the window's title when already read; classKnown: its class is
// known to contain "QWidget".
bool IsDialer(os::HWND window, const std::string* title, bool classKnown) {
  return (os::GetWindowLongA(window, os::GWL_STYLE) & DIALER_STYLE) == DIALER_STYLE &&
         (title ? *title : TitleOf(window)) == "magicJack" &&
         (classKnown || Contains(ClassOf(window), "QWidget"));
}

// The first top-level window of class "QWidget" titled "magicJack" in any
// case, as FindWindowA would find it, with its title: reading the title
// here asks no more than the system's own search, and the rule's exact test
// needs it anyway.
os::HWND FirstDialerLike(std::string* title) {
  for (os::HWND w = os::FindWindowExA(nullptr, nullptr, "QWidget", nullptr); w;
       w = os::FindWindowExA(nullptr, w, "QWidget", nullptr)) {
    *title = TitleOf(w);
    if (EqualsIgnoringCase(*title, "magicJack")) return w;
  }
  return nullptr;
}

os::BOOL OS_CALLBACK CollectWindow(os::HWND window, os::LPARAM list) {
  reinterpret_cast<std::vector<os::HWND>*>(list)->push_back(window);
  return os::TRUE;
}

// The top-level windows in z-order, in one list.
std::vector<os::HWND> TopLevelWindows() {
  std::vector<os::HWND> windows;
  os::EnumWindows(&CollectWindow, reinterpret_cast<os::LPARAM>(&windows));
  return windows;
}

// The first top-level window after `skipped` in z-order whose class is
// exactly className and whose title begins with "Skype". The system finds
// the class (ignoring case); its exact name is read only of a window whose
// title already fits, and not of `known`, which passed this test before:
// found by the other class, it would have another name.
os::HWND NextSkypeMain(os::HWND skipped, const char* className, os::HWND known) {
  for (os::HWND w = os::FindWindowExA(nullptr, nullptr, className, nullptr); w;
       w = os::FindWindowExA(nullptr, w, className, nullptr)) {
    if (w != skipped && TitleOf(w).compare(0, 5, "Skype") == 0 && (w == known || ClassOf(w) == className))
      return w;
  }
  return nullptr;
}

// Whichever of two top-level windows comes first in z-order.
os::HWND EarlierOf(os::HWND a, os::HWND b) {
  for (os::HWND w : TopLevelWindows()) {
    if (w == a || w == b) return w;
  }
  return nullptr;
}

}  // namespace

os::HWND CCorvaloPluginDlg::FindHandsetDriver(int line) const {
  if (line != LINE_SOFTPHONE) return nullptr;
  return os::FindWindowA("Static", "CSJHandsetDriverWnd");
}

os::HWND CCorvaloPluginDlg::FindIncomingPopup(int line) const {
  if (line != LINE_SOFTPHONE) return nullptr;
  return IncomingPopupBeside(FindSoftphoneMain(LINE_SOFTPHONE));
}

// Qt makes every widget on its GUI thread, so the popup is one of the
// dialer's thread's top-level windows; another program's window of the same
// class and size is never it. The system lists one thread's windows in one
// question. Of each, the size is read before the class: it costs one
// question, the class two, and most windows fail on the size.
os::HWND CCorvaloPluginDlg::IncomingPopupBeside(os::HWND dialer) const {
  os::DWORD thread = 0;
  if (dialer) {
    thread = dialer == lastDialer ? lastDialerThread : os::GetWindowThreadProcessId(dialer, nullptr);
  } else if (os::HWND hooked = softphoneWindow) {
    thread = os::GetWindowThreadProcessId(hooked, nullptr);
  }
  if (!thread) return nullptr;
  os::HWND popup = nullptr;
  os::EnumThreadWindows(thread, &TakeFirstPopup, reinterpret_cast<os::LPARAM>(&popup));
  return popup;
}

os::HWND CCorvaloPluginDlg::FindSoftphoneMain(int line) const {
  if (line == LINE_SOFTPHONE) {
    std::string title;
    os::HWND start = FirstDialerLike(&title);
    for (os::HWND w = start; w; w = os::GetWindow(w, os::GW_HWNDNEXT)) {
      if (IsDialer(w, w == start ? &title : nullptr, w == lastDialer)) return w;
    }
    return nullptr;
  }
  if (line == LINE_SKYPE) {
    // The first top-level window is passed over, whatever it is.
    os::HWND first = os::GetWindow(os::GetDesktopWindow(), os::GW_CHILD);
    if (!first) return nullptr;
    os::HWND unicode = NextSkypeMain(first, "tSkMainForm.UnicodeClass", skypeMainWindow);
    os::HWND plain = NextSkypeMain(first, "tSkMainForm", skypeMainWindow);
    if (!unicode || !plain) return unicode ? unicode : plain;
    return EarlierOf(unicode, plain);
  }
  return nullptr;
}
// From "2013" on (compared as text), the hook goes on the handset driver's
// thread instead of the dialer's.
os::HWND CCorvaloPluginDlg::FindSoftphoneTarget(int line) const {
  os::HWND main = FindSoftphoneMain(line);
  return line == LINE_SOFTPHONE ? SoftphoneTargetBeside(main) : main;
}

os::HWND CCorvaloPluginDlg::SoftphoneTargetBeside(os::HWND dialer) const {
  if (!dialer) return nullptr;
  if (softphoneVersion.substr(0, 4).compare("2013") >= 0) return FindHandsetDriver(LINE_SOFTPHONE);
  return dialer;
}

os::HWND CCorvaloPluginDlg::FindSoftphoneEdit(int line) const {
  if (line != LINE_SOFTPHONE) return nullptr;
  os::HWND target = FindSoftphoneTarget(LINE_SOFTPHONE);
  if (!target) return nullptr;
  for (os::HWND w = os::GetWindow(target, os::GW_CHILD); w; w = os::GetWindow(w, os::GW_HWNDNEXT)) {
    if (Contains(ClassOf(w), "Edit") && (os::GetWindowLongA(w, os::GWL_STYLE) & os::WS_VISIBLE)) return w;
  }
  return nullptr;
}
