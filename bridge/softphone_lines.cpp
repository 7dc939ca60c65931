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
  if (line == LINE_SOFTPHONE) {
    os::PostMessageA(softphoneWindow, KEY_INJECT_MSG, reinterpret_cast<os::WPARAM>(m_hWnd),
                     static_cast<os::LPARAM>(KEY_ON_HOOK));
  } else if (line == LINE_SKYPE) {
    SendSkypeCommand(SKYPE_FOCUS, nullptr);
    if (callState == CALL_PLACING) {
      SendSkypeCommand(SKYPE_BUTTON_PRESSED, "NO");
      SendSkypeCommand(SKYPE_BUTTON_RELEASED, "NO");
    }
    SendSkypeCommand(SKYPE_HOOK_ON, nullptr);
  }
}

void CCorvaloPluginDlg::DeclineCall(int line) {
  line = LineOf(line);
  if (line == LINE_SOFTPHONE) {
    os::SendMessageA(FindIncomingPopup(LINE_SOFTPHONE), os::WM_LBUTTONDOWN, os::MK_LBUTTON, DECLINE_CLICK_POINT);
    os::SendMessageA(FindIncomingPopup(LINE_SOFTPHONE), os::WM_LBUTTONUP, 0, DECLINE_CLICK_POINT);
  } else if (line == LINE_SKYPE) {
    SendSkypeCommand(SKYPE_BUTTON_PRESSED, "NO");
    SendSkypeCommand(SKYPE_BUTTON_RELEASED, "NO");
  }
}

// The softphone ends its own calls; only a ringing one needs its dialer put
// away.
void CCorvaloPluginDlg::EndCall(int line) {
  line = LineOf(line);
  if (line == LINE_SOFTPHONE) {
    if (callState == CALL_RINGING) CloseDialerWindows(LINE_SOFTPHONE);
  } else if (line == LINE_SKYPE) {
    os::SendMessageA(FindSoftphoneEdit(LINE_SOFTPHONE), os::WM_SETTEXT, 0, reinterpret_cast<os::LPARAM>(""));
    PutOnHook(LINE_SKYPE);
  }
}

void CCorvaloPluginDlg::CloseDialerWindows(int line) {
  line = LineOf(line);
  if (line == LINE_SKYPE) {
    CloseSkypeWindows();
    return;
  }
  if (line != LINE_SOFTPHONE || !IsAutoMinimizeDialerOn()) return;
  os::HWND dialer = FindSoftphoneMain(LINE_SOFTPHONE);
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
  if (lineMode != LINE_SKYPE) return;
  const bool ringing = callState == CALL_RINGING;
  if (ringing) {
    os::Sleep(STEP_MS);
    PutOnHook(LINE_SOFTPHONE);
    os::Sleep(STEP_MS);
  }
  if (callState != CALL_DIALLING) {
    for (int wait = 0; wait < NOTIFICATION_WAITS && !os::FindWindowA("TCallNotificationWindow", "");
         ++wait) {
      os::Sleep(STEP_MS);
    }
    SendSkypeCommand(SKYPE_HOOK_OFF, nullptr);
    os::Sleep(STEP_MS);
  }
  if (ringing) {
    os::HWND dialer = FindSoftphoneMain(LINE_SOFTPHONE);
    for (int wait = 0; wait < DIALER_OFFSCREEN_WAITS && TopOf(dialer) < 0; ++wait) {
      os::Sleep(STEP_MS);
    }
    CloseDialerWindows(LINE_SOFTPHONE);
  }
}

void CCorvaloPluginDlg::MuteOn(int line) {
  if (muted) return;
  if (LineOf(line) == LINE_SKYPE) {
    SendSkypeCommand(SKYPE_MUTE_ON, nullptr);
    muted = 1;
  }
}

void CCorvaloPluginDlg::MuteOff(int line) {
  if (LineOf(line) == LINE_SKYPE) {
    SendSkypeCommand(SKYPE_MUTE_OFF, nullptr);
    muted = 0;
  }
}

// A key pressed during a Skype call goes to the far end as a tone, with the
// microphone muted until 1.5 s after the last key.
void CCorvaloPluginDlg::SendPinDigit(char key, int line) {
  if (LineOf(line) != LINE_SKYPE || callState == CALL_DIALLING) return;
  if (dialledNumber == "*" || !pinDialling) return;
  os::KillTimer(m_hWnd, UNMUTE_TIMER_ID);
  MuteOn(CURRENT_LINE);
  char tone[2] = {key, '\0'};
  SendSkypeCommand(SKYPE_CALL_DTMF, tone);
  os::SetTimer(m_hWnd, UNMUTE_TIMER_ID, PIN_UNMUTE_MS);
  WriteLog("SendOutOfBandDTMF");
}
