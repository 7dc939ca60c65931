// Skype's notifications: one line of text per WM_COPYDATA record from
// Skype's API window, split into its first four words. Each notification
// takes at most one branch; anything not recognised is accepted and
// ignored (other statuses and properties, the echoes of SET commands).
#include <string>

#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "skype/notification_tokens.h"

namespace {

// The leading decimal digits of a call id, with an optional sign; none
// gives 0, and a value beyond the 32-bit range is held at its limit.
int CallIdOf(const std::string& text) {
  std::size_t at = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  long long value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > 0x80000000LL) value = 0x80000000LL;
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(value > 0x7FFFFFFF ? 0x7FFFFFFF : value);
}

}  // namespace

void CCorvaloPluginDlg::HandleSkypeNotification(os::HWND sender, const os::COPYDATASTRUCT& record) {
  if (!sender || sender != skypeApiWindow || !adapterProductId) return;
  NotificationTokens words = SplitNotification(static_cast<const char*>(record.lpData), record.cbData);
  const std::string& kind = words.token[0];
  const std::string& subject = words.token[1];
  const std::string& property = words.token[2];
  const std::string& value = words.token[3];

  if (kind == "SKYPEVERSION") {
    skypeVersion = subject;
  } else if (kind == "CALL") {
    OnSkypeCallNotification(CallIdOf(subject), property, value);
  } else if (kind == "USER" && property == "SPEEDDIAL") {
    // The reply to the speed-dial query about the caller.
    if (!partnerHandle.empty() && subject == partnerHandle) {
      callerNumber = value.empty() ? "0" : value;
      partnerHandle.clear();
    }
  } else if (kind == "VOICEMAIL" && property == "STATUS" && value == "PLAYING") {
    if (offHook && lineMode == LINE_SKYPE && skypeCallId == 0) {
      os::KillTimer(m_hWnd, DIGIT_TIMER_ID);
      os::KillTimer(m_hWnd, NO_ANSWER_TIMER_ID);
      lineMode = LINE_SKYPE;
      callState = CALL_PLACING;
      CloseDialerWindows(LINE_SOFTPHONE);
      WriteLog("PlayingVoiceMail");
    }
  } else if (kind == "ERROR") {
    OnSkypeDialingError(property, value);
  } else if (kind == "PONG") {
    os::KillTimer(m_hWnd, PONG_TIMER_ID);
  }
}

// An outgoing call that Skype refused before giving it an id: the user
// reads why in the main window and hears the alert tone. Later failures
// arrive as the call's end status instead. Skype also answers other
// commands with ERROR (the audio device names it does not know, sent again
// at every attach); while no "CALL" was sent there is no call to have failed.
void CCorvaloPluginDlg::OnSkypeDialingError(const std::string& reason, const std::string& detail) {
  if (lineMode != LINE_SKYPE || skypeCallId != 0 || callState != CALL_PLACING || !skypeCallAsked) return;
  std::string message = "Skype has reported that your call to " + dialledNumber + " has failed";
  message += reason.empty() ? "." : " with the reason " + reason + " " + detail + ".";
  message += " Check the number and try your call again.";
  os::SetWindowTextA(statusText, message.c_str());
  os::ShowWindow(m_hWnd, os::SW_SHOWNORMAL);
  PlaceWindow();
  SetPhoneSignal(1, true);
  WriteLog("DialingError");
}
