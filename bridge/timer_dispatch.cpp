// The main window's timers. Every timer is one-shot: the delivered id is
// stopped before anything else, and a handler that wants another tick starts
// its timer again. Unknown ids are only stopped. The poll's timer is the one
// exception: the poll always ends by starting it again, which replaces the
// running timer of that id and restarts its period, and nothing the poll
// does takes timer messages in between, so stopping it first would only
// cost another question to the system on every tick.
#include <string>

#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "skype/skype_commands.h"

namespace {

constexpr os::UINT RING_BURST_MS = 2000;
constexpr os::UINT RING_PAUSE_MS = 4000;
constexpr os::DWORD CALLER_ID_DELAY_MS = 200;

// Whether a sibling program's Call Status window shows a call of its own:
// its second child holds its status record.
bool SiblingInCall(const char* title) {
  os::HWND window = os::FindWindowA("#32770", title);
  if (!window) return false;
  os::HWND record = os::GetWindow(os::GetWindow(window, os::GW_CHILD), os::GW_HWNDNEXT);
  char text[257] = {};
  os::GetWindowTextA(record, text, 256);
  return std::string(text).find("cs=3") != std::string::npos;
}

}  // namespace

void CCorvaloPluginDlg::OnTimer(os::UINT_PTR id) {
  if (id != POLL_TIMER_ID) os::KillTimer(m_hWnd, id);
  switch (id) {
    case PING_TIMER_ID:
      // The deadline is started before the send: a "PONG" that arrives
      // while the send still waits must find it running to stop it.
      if (skypeApiWindow) {
        os::SetTimer(m_hWnd, PONG_TIMER_ID, PONG_DEADLINE_MS);
        os::SetTimer(m_hWnd, PING_TIMER_ID, PING_PERIOD_MS);
        SendSkypeCommand(SKYPE_PING, nullptr);
      }
      break;
    case PONG_TIMER_ID:
      os::KillTimer(m_hWnd, PONG_TIMER_ID);
      os::KillTimer(m_hWnd, PING_TIMER_ID);
      DropSkypeLink(SkypeLinkLoss::NoPong);
      break;
    case RING_ON_TIMER_ID:
      OnRingOn();
      break;
    case RING_OFF_TIMER_ID:
      OnRingOff();
      break;
    case DIGIT_TIMER_ID:
      OnDiallingDone();
      break;
    case UNMUTE_TIMER_ID:
      MuteOff(CURRENT_LINE);
      break;
    case NO_ANSWER_TIMER_ID:
      OnNoAnswer();
      break;
    case POLL_TIMER_ID:
      Poll();
      break;
    default:
      break;
  }
}

void CCorvaloPluginDlg::OnRingOn() {
  if (offHook || callState != CALL_RINGING) return;
  os::SetTimer(m_hWnd, RING_OFF_TIMER_ID, RING_BURST_MS);
  SetRinging(true);
  WriteLog("RingOn(Skype)");
}

// Caller identification goes out once, 200 ms into the first pause after
// the caller became known.
void CCorvaloPluginDlg::OnRingOff() {
  SetRinging(false);
  WriteLog("RingOff(Skype)");
  if (offHook || callState != CALL_RINGING) return;
  os::SetTimer(m_hWnd, RING_ON_TIMER_ID, RING_PAUSE_MS);
  if (callerIdPending) {
    callerIdPending = 0;
    os::Sleep(CALLER_ID_DELAY_MS);
    SendCallerId(callerNumber, callerName, 0);
    WriteLog("SendCallerid");
  }
}

void CCorvaloPluginDlg::OnDiallingDone() {
  if (callState != CALL_DIALLING || dialledNumber.empty()) return;
  callState = CALL_PLACING;
  WriteLog("AllDigitsPresent");
  if (dialledNumber[0] == '*') CallSkypeUnlessSiblingBusy();
}

void CCorvaloPluginDlg::CallSkypeUnlessSiblingBusy() {
  if (SiblingInCall("TesselbayPlugin - Call Status") || SiblingInCall("FerrowindPlugin - Call Status"))
    return;
  lineMode = LINE_SKYPE;
  OnOffHook();
}

// The released call's end is logged too: without it the status record,
// which sibling programs read, would go on showing a ringing call. Skype
// may report the end from inside the hang-up command; then the call has
// ended (and been logged) there, once.
void CCorvaloPluginDlg::OnNoAnswer() {
  if (callState != CALL_RINGING) return;
  WriteLog("NoAnswerTimeout");
  EndCall(CURRENT_LINE);
  if (callState != CALL_RINGING) return;
  CloseDialerWindows(CURRENT_LINE);
  os::KillTimer(m_hWnd, RING_OFF_TIMER_ID);
  os::KillTimer(m_hWnd, RING_ON_TIMER_ID);
  SetRinging(false);
  ClearCall();
  WriteLog("CallDisconnected");
}

void CCorvaloPluginDlg::Poll() {
  os::HWND dialer = AdoptSoftphone();
  if (softphoneWindow && adapterProductId && adapterReady) {
    WatchSoftphoneCall(dialer);
    WatchSkype();
  }
  if (lineMode == LINE_SKYPE && callState != CALL_DIALLING) GuardSoftphoneEdit();
  os::SetTimer(m_hWnd, POLL_TIMER_ID, skypeApiWindow ? POLL_ATTACHED_MS : POLL_DETACHED_MS);
}

// A softphone call rings while its popup is up; while the program is busy
// with a call of its own the softphone's call is refused.
void CCorvaloPluginDlg::WatchSoftphoneCall(os::HWND dialer) {
  if (IncomingPopupBeside(dialer)) {
    if (offHook || callState != CALL_IDLE) {
      if (lineMode != LINE_SOFTPHONE) {
        DeclineCall(LINE_SOFTPHONE);
        CloseDialerWindows(LINE_SOFTPHONE);
      }
    } else {
      PrepareCall();
      callState = CALL_RINGING;
      lineMode = LINE_SOFTPHONE;
      WriteLog("IncomingCall");
    }
  } else if (lineMode == LINE_SOFTPHONE && callState == CALL_RINGING) {
    ClearCall();  // a softphone call never has a Skype call id
    if (!offHook) {
      CloseDialerWindows(LINE_SOFTPHONE);
      WriteLog("CallDisconnected");
    }
  }
}

// Rediscovers Skype whenever its main window changes or the link is down,
// and shows the link's state in the tray while the handset is on hook.
void CCorvaloPluginDlg::WatchSkype() {
  os::HWND skype = FindSoftphoneMain(LINE_SKYPE);
  if (skype != skypeMainWindow || !skypeApiWindow) {
    // Skype's main window went or changed: if it or the API window no
    // longer exists, Skype has ended, and the link and any call of it are
    // known lost now rather than at the next keep-alive.
    bool apiGone = skypeApiWindow && !os::IsWindow(skypeApiWindow);
    bool mainGone = skypeMainWindow && !os::IsWindow(skypeMainWindow);
    if (apiGone || mainGone) OnSkypeGone();
    // A Skype started again is a new peer: the refusals of the last one
    // and the pause they brought no longer hold.
    if (skype != skypeMainWindow) ForgetSkypeRefusals();
    skypeMainWindow = skype;
    if (skype) SendSkypeCommand(SKYPE_DISCOVER, nullptr);
  }
  if (skypeApiWindow != lastSkypeApiWindow) {
    lastSkypeApiWindow = skypeApiWindow;
    if (!offHook) {
      SetTrayState(skypeApiWindow ? TrayState::Ready : TrayState::SkypeNotAttached, TrayUpdate::Replace);
    }
  }
}
