// The handset's keys and the call handlers they drive.
#include "phonehook/hook_messages.h"
#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"

namespace {

constexpr os::UINT DIGIT_PAUSE_MS = 3000;
constexpr os::UINT DIGITS_DONE_MS = 1;
// A returning adapter is found within one search period; a key older than
// that was heard of the adapter before, reached the program late, and is
// stale.
constexpr os::DWORD HELD_KEY_LIFETIME_MS = 3000;

bool IsDialKey(unsigned key) { return (key >= '0' && key <= '9') || key == '*' || key == '#'; }

}  // namespace

// Keys count only while the adapter is ready. The softphone may hear the
// handset of an adapter just plugged in before the program has taken the
// adapter into use, though: a lift then ignored would leave the program
// believing the handset down, and the next call would ring a lifted phone.
// So the last lift or hang-up of that moment is held, and acted on as soon
// as the arrival makes the adapter ready, if it is recent. The store is
// checked again after writing, as the arrival thread may have looked just
// before.
void CCorvaloPluginDlg::OnKeyReport(os::WPARAM code) {
  if (adapterReady) {
    HandleKey(code);
    return;
  }
  unsigned key = static_cast<unsigned>(code) & 0xFF;
  if (key != KEY_OFF_HOOK && key != KEY_ON_HOOK) return;
  heldHookKeyAt = os::GetTickCount();
  heldHookKey = key;
  if (adapterReady) {
    if (unsigned held = TakeHeldHookKey()) HandleKey(held);
  }
}

unsigned CCorvaloPluginDlg::TakeHeldHookKey() {
  unsigned held = heldHookKey.exchange(0);
  return held && os::GetTickCount() - heldHookKeyAt <= HELD_KEY_LIFETIME_MS ? held : 0;
}

// While a Skype call holds the lifted handset the softphone must not hold
// it too: it is put on hook, as when the Skype call took the handset.
void CCorvaloPluginDlg::KeepSoftphoneOffHandset() {
  if (offHook && lineMode == LINE_SKYPE && (callState == CALL_PLACING || callState == CALL_ANSWERED)) PutOnHook(LINE_SOFTPHONE);
}

void CCorvaloPluginDlg::HandleKey(os::WPARAM code) {
  unsigned key = static_cast<unsigned>(code) & 0xFF;
  if (IsDialKey(key)) {
    char keyText = static_cast<char>(key);
    WriteLog(std::string("Digit") + keyText);
    os::KillTimer(m_hWnd, DIGIT_TIMER_ID);
    if (callState == CALL_DIALLING) {
      if (dialledNumber.empty()) {
        dialledNumber += keyText;
        os::SetTimer(m_hWnd, DIGIT_TIMER_ID, DIGIT_PAUSE_MS);
      } else if (dialledNumber[0] == '*') {
        // "#" ends a star number at once and is not part of it.
        if (keyText == '#') {
          os::SetTimer(m_hWnd, DIGIT_TIMER_ID, DIGITS_DONE_MS);
        } else {
          dialledNumber += keyText;
          os::SetTimer(m_hWnd, DIGIT_TIMER_ID, DIGIT_PAUSE_MS);
        }
      }
      // A number without the leading star belongs to the softphone.
    } else if (callState != CALL_IDLE && !dialledNumber.empty()) {
      SendPinDigit(keyText, CURRENT_LINE);
    }
    return;
  }
  if (key == KEY_OFF_HOOK) {
    // Lifted already: a softphone started again reports the handset it
    // finds lifted when it opens the adapter.
    if (offHook) {
      KeepSoftphoneOffHandset();
      return;
    }
    offHook = 1;
    if (callState == CALL_RINGING) {
      OnAnswer();
      WriteLog("CallAnswered");
    } else if (callState == CALL_IDLE) {
      OnOffHook();
      WriteLog("CallOrigination");
    }
  } else if (key == KEY_ON_HOOK) {
    if (!offHook) return;
    OnOnHook();
    WriteLog("CallOnhook");
  }
}

void CCorvaloPluginDlg::OnOffHook() {
  if (callState == CALL_IDLE) {
    SetRinging(false);
    SetPhoneSignal(1, false);
    os::SetForegroundWindow(m_hWnd);
    PrepareCall();
    os::ShowWindow(m_hWnd, os::SW_HIDE);
    callState = CALL_DIALLING;
    TakeLine(CURRENT_LINE);
    SetTrayState(TrayState::OffHook, TrayUpdate::Modify);
  } else if (callState == CALL_PLACING) {
    PlaceSkypeCall(CURRENT_LINE);
  }
}

void CCorvaloPluginDlg::OnAnswer() {
  if (callState != CALL_RINGING) return;
  for (os::UINT_PTR id : {RING_OFF_TIMER_ID, RING_ON_TIMER_ID, NO_ANSWER_TIMER_ID}) os::KillTimer(m_hWnd, id);
  if (lineMode != LINE_SOFTPHONE) SetRinging(false);
  SetPhoneSignal(1, false);
  os::SetForegroundWindow(m_hWnd);
  TakeLine(CURRENT_LINE);
  callState = CALL_ANSWERED;
  SetTrayState(TrayState::OffHook, TrayUpdate::Modify);
}

void CCorvaloPluginDlg::OnOnHook() {
  SetPhoneSignal(1, false);
  os::KillTimer(m_hWnd, NO_ANSWER_TIMER_ID);
  os::KillTimer(m_hWnd, DIGIT_TIMER_ID);
  EndCall(CURRENT_LINE);
  CloseDialerWindows(LINE_SOFTPHONE);
  CloseDialerWindows(LINE_SKYPE);
  // Skype may report the call's end while the commands above are sent, with
  // the handset still marked off hook; the alert tone it starts then would
  // play on a phone that has been hung up.
  SetPhoneSignal(1, false);
  os::ShowWindow(m_hWnd, os::SW_HIDE);
  os::KillTimer(m_hWnd, RING_OFF_TIMER_ID);
  os::KillTimer(m_hWnd, RING_ON_TIMER_ID);
  SetTrayState(skypeApiWindow ? TrayState::Ready : TrayState::SkypeNotAttached, TrayUpdate::Modify);
  ClearCall();
  offHook = 0;
}
