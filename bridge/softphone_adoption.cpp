// Adopting the softphone (finding its window and hooking its thread) and
// keeping its number box marked while a Skype call holds the handset.
#include <cstdio>
#include <cstring>

#include "phonehook/phonehook.h"
#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/main_dialog.h"

namespace {

constexpr int HOOK_ATTEMPTS = 10;
constexpr os::DWORD HOOK_RETRY_MS = 1000;
constexpr const char* SPECIAL_CALL = "Special Call";

}  // namespace

os::HWND CCorvaloPluginDlg::SoftphoneCandidate(os::HWND dialer) {
  os::HWND candidate = SoftphoneTargetBeside(dialer);
  // The handset driver alone, without a dialer, keeps the current window.
  if (!candidate && FindHandsetDriver(LINE_SOFTPHONE)) candidate = softphoneWindow;
  return candidate;
}

os::HWND CCorvaloPluginDlg::AdoptSoftphone() {
  os::HWND dialer = FindSoftphoneMain(LINE_SOFTPHONE);
  if (dialer != lastDialer) {
    lastDialer = dialer;
    lastDialerThread = dialer ? os::GetWindowThreadProcessId(dialer, nullptr) : 0;
  }
  os::HWND candidate = SoftphoneCandidate(dialer);
  if (candidate == softphoneWindow) return dialer;
  // Another softphone window: the softphone may have been restarted as
  // another release, whose handset keys run on another thread. The version
  // read when the adapter arrived would hook the wrong one.
  ReadSoftphoneVersion();
  candidate = SoftphoneCandidate(dialer);
  if (candidate == softphoneWindow) return dialer;

  softphoneWindow = candidate;
  char event[32];
  std::snprintf(event, sizeof event, "Dialer%lX",
                static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(candidate)));
  WriteLog(event);
  if (!softphoneWindow) return dialer;

  handsetProxyMessage = os::RegisterWindowMessageA("HandsetProxy.PostMessage");
  // Ten attempts with a second's pause between them: nine pauses.
  for (int attempt = 1; attempt <= HOOK_ATTEMPTS; ++attempt) {
    if (setMyHook(m_hWnd, softphoneWindow)) {
      WriteLog("Hok");
      KeepSoftphoneOffHandset();  // a softphone started again during a Skype call
      return dialer;
    }
    if (attempt < HOOK_ATTEMPTS) os::Sleep(HOOK_RETRY_MS);
  }
  softphoneWindow = nullptr;
  WriteLog("Hretry");
  return dialer;
}

void CCorvaloPluginDlg::GuardSoftphoneEdit() {
  os::HWND box = FindSoftphoneEdit(LINE_SOFTPHONE);
  auto mark = [box] {
    os::SendMessageA(box, os::WM_SETTEXT, 0, reinterpret_cast<os::LPARAM>(SPECIAL_CALL));
  };
  if (callState == CALL_RINGING) {
    mark();
    return;
  }
  char text[32] = {};
  os::LRESULT length = os::SendMessageA(box, os::WM_GETTEXT, sizeof text, reinterpret_cast<os::LPARAM>(text));
  text[sizeof text - 1] = '\0';
  if (length == 0) {
    mark();
  } else if (std::strcmp(text, SPECIAL_CALL) != 0) {
    PutOnHook(LINE_SOFTPHONE);
    mark();
  }
}
