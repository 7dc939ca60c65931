// The operations on a line: hanging up, declining, ending, closing the
// dialer, taking the handset over for Skype, muting and in-call tones.
#include <string>

#include "phonehook/hook_messages.h"
#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "shell/settings.h"
#include "skype/skype_commands.h"

namespace {

constexpr os::LPARAM DECLINE_CLICK_POINT = 0x006700E2;  // client point 226, 103
constexpr int DIALER_CLOSE_ATTEMPTS = 20;
constexpr os::DWORD DIALER_CLOSE_PAUSE_MS = 250;
constexpr int NOTIFICATION_WAITS = 30;
constexpr int DIALER_OFFSCREEN_WAITS = 50;
constexpr os::DWORD STEP_MS = 100;
constexpr os::UINT PIN_UNMUTE_MS = 1500;

os::LONG TopOf(os::HWND window) {
  os::RECT rect = {};
  os::GetWindowRect(window, &rect);
  return rect.top;
}

}  // namespace

void CCorvaloPluginDlg::PutOnHook(int line) {
  line = LineOf(line);
  if (line == 1) {
    os::PostMessageA(softphoneWindow, KEY_INJECT_MSG, reinterpret_cast<os::WPARAM>(m_hWnd),
                     static_cast<os::LPARAM>(KEY_ON_HOOK));
  } else if (line == 2) {
    SendSkypeCommand(SKYPE_FOCUS, nullptr);
    if (callState == 2) {
      SendSkypeCommand(SKYPE_BUTTON_PRESSED, "NO");
      SendSkypeCommand(SKYPE_BUTTON_RELEASED, "NO");
    }
    SendSkypeCommand(SKYPE_HOOK_ON, nullptr);
  }
}

void CCorvaloPluginDlg::DeclineCall(int line) {
  line = LineOf(line);
  if (line == 1) {
    os::SendMessageA(FindIncomingPopup(1), os::WM_LBUTTONDOWN, os::MK_LBUTTON, DECLINE_CLICK_POINT);
    os::SendMessageA(FindIncomingPopup(1), os::WM_LBUTTONUP, 0, DECLINE_CLICK_POINT);
  } else if (line == 2) {
    SendSkypeCommand(SKYPE_BUTTON_PRESSED, "NO");
    SendSkypeCommand(SKYPE_BUTTON_RELEASED, "NO");
  }
}

// The softphone ends its own calls; only a ringing one needs its dialer put
// away.
void CCorvaloPluginDlg::EndCall(int line) {
  line = LineOf(line);
  if (line == 1) {
    if (callState == 4) CloseDialerWindows(1);
  } else if (line == 2) {
    os::SendMessageA(FindSoftphoneEdit(1), os::WM_SETTEXT, 0, reinterpret_cast<os::LPARAM>(""));
    PutOnHook(2);
  }
}

void CCorvaloPluginDlg::CloseDialerWindows(int line) {
  line = LineOf(line);
  if (line == 2) {
    CloseSkypeWindows();
    return;
  }
  if (line != 1 || !IsAutoMinimizeDialerOn()) return;
  os::HWND dialer = FindSoftphoneMain(1);
  for (int attempt = 0; attempt < DIALER_CLOSE_ATTEMPTS; ++attempt) {
    if (!os::IsWindowVisible(dialer) || TopOf(dialer) < 0) return;
    os::SendMessageA(dialer, os::WM_SYSCOMMAND, os::SC_CLOSE, static_cast<os::LPARAM>(os::SC_CLOSE));
    os::Sleep(DIALER_CLOSE_PAUSE_MS);
  }
}

// Hands the handset over to the Skype call: the softphone is put on hook,
// Skype answers once its call notification shows (or after 3 s anyway), and
// the softphone's dialer is put away once it has moved off screen.
//
// Whether the call was ringing is decided once, at the start: a busy Skype
// reports INPROGRESS from inside "HOOK OFF", which already moves the call
// to answered before the dialer has been put away.
void CCorvaloPluginDlg::TakeLine(int) {
  if (lineMode != 2) return;
  const bool ringing = callState == 4;
  if (ringing) {
    os::Sleep(STEP_MS);
    PutOnHook(1);
    os::Sleep(STEP_MS);
  }
  if (callState != 1) {
    for (int wait = 0; wait < NOTIFICATION_WAITS && !os::FindWindowA("TCallNotificationWindow", "");
         ++wait) {
      os::Sleep(STEP_MS);
    }
    SendSkypeCommand(SKYPE_HOOK_OFF, nullptr);
    os::Sleep(STEP_MS);
  }
  if (ringing) {
    os::HWND dialer = FindSoftphoneMain(1);
    for (int wait = 0; wait < DIALER_OFFSCREEN_WAITS && TopOf(dialer) < 0; ++wait) {
      os::Sleep(STEP_MS);
    }
    CloseDialerWindows(1);
  }
}

void CCorvaloPluginDlg::MuteOn(int line) {
  if (muted) return;
  if (LineOf(line) == 2) {
    SendSkypeCommand(SKYPE_MUTE_ON, nullptr);
    muted = 1;
  }
}

void CCorvaloPluginDlg::MuteOff(int line) {
  if (LineOf(line) == 2) {
    SendSkypeCommand(SKYPE_MUTE_OFF, nullptr);
    muted = 0;
  }
}

// A key pressed during a Skype call goes to the far end as a tone, with the
// microphone muted until 1.5 s after the last key.
void CCorvaloPluginDlg::SendPinDigit(char key, int line) {
  if (LineOf(line) != 2 || callState == 1) return;
  if (dialledNumber == "*" || !pinDialling) return;
  os::KillTimer(m_hWnd, UNMUTE_TIMER_ID);
  MuteOn(0);
  char tone[2] = {key, '\0'};
  SendSkypeCommand(SKYPE_CALL_DTMF, tone);
  os::SetTimer(m_hWnd, UNMUTE_TIMER_ID, PIN_UNMUTE_MS);
  WriteLog("SendOutOfBandDTMF");
}
