// Finding the softphone's windows (line 1) and Skype's main window (line 2)
// by class, title, style and size, walking the window list each time.
#include <cstring>
#include <string>

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

bool IsPopupSize(os::HWND window) {
  os::RECT rect = {};
  os::GetWindowRect(window, &rect);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  return (width == 280 && height == 126) || (width == 314 && height == 139);
}

}  // namespace

os::HWND CCorvaloPluginDlg::FindHandsetDriver(int line) const {
  if (line != 1) return nullptr;
  return os::FindWindowA("Static", "CSJHandsetDriverWnd");
}

os::HWND CCorvaloPluginDlg::FindIncomingPopup(int line) const {
  if (line != 1) return nullptr;
  for (os::HWND w = os::FindWindowA("QWidget", nullptr); w; w = os::GetWindow(w, os::GW_HWNDNEXT)) {
    if (Contains(ClassOf(w), "QWidget") && IsPopupSize(w)) return w;
  }
  return nullptr;
}

os::HWND CCorvaloPluginDlg::FindSoftphoneMain(int line) const {
  if (line == 1) {
    for (os::HWND w = os::FindWindowA("QWidget", "magicJack"); w; w = os::GetWindow(w, os::GW_HWNDNEXT)) {
      os::LONG style = os::GetWindowLongA(w, os::GWL_STYLE);
      if (TitleOf(w) == "magicJack" && Contains(ClassOf(w), "QWidget") &&
          (style & DIALER_STYLE) == DIALER_STYLE)
        return w;
    }
    return nullptr;
  }
  if (line == 2) {
    os::HWND first = os::GetWindow(os::GetDesktopWindow(), os::GW_CHILD);
    for (os::HWND w = os::GetWindow(first, os::GW_HWNDNEXT); w; w = os::GetWindow(w, os::GW_HWNDNEXT)) {
      std::string name = ClassOf(w);
      if ((name == "tSkMainForm.UnicodeClass" || name == "tSkMainForm") &&
          TitleOf(w).compare(0, 5, "Skype") == 0)
        return w;
    }
  }
  return nullptr;
}

// From "2013" on (compared as text), the hook goes on the handset driver's
// thread instead of the dialer's.
os::HWND CCorvaloPluginDlg::FindSoftphoneTarget(int line) const {
  os::HWND main = FindSoftphoneMain(line);
  if (line != 1 || !main) return main;
  if (softphoneVersion.substr(0, 4).compare("2013") >= 0) return FindHandsetDriver(1);
  return main;
}

os::HWND CCorvaloPluginDlg::FindSoftphoneEdit(int line) const {
  if (line != 1) return nullptr;
  os::HWND target = FindSoftphoneTarget(1);
  if (!target) return nullptr;
  for (os::HWND w = os::GetWindow(target, os::GW_CHILD); w; w = os::GetWindow(w, os::GW_HWNDNEXT)) {
    if (Contains(ClassOf(w), "Edit") && (os::GetWindowLongA(w, os::GWL_STYLE) & os::WS_VISIBLE)) return w;
  }
  return nullptr;
}
