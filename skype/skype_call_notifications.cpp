// Skype's "CALL <id> <property> <value>" notifications: calls ringing in,
// calls started in Skype's own window, the progress and end of the call in
// hand, its partner and its type.
#include <cstring>
#include <string>

#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "shell/settings.h"
#include "skype/skype_commands.h"
#include "skype/speed_dial.h"

namespace {

constexpr os::UINT NO_ANSWER_MS = 120000;
constexpr os::UINT FIRST_RING_MS = 1;         // a call ringing in
constexpr os::UINT FIRST_MANUAL_RING_MS = 5;  // a call placed by hand in Skype
constexpr os::DWORD REFUSE_DELAY_MS = 3000;
constexpr const char* CALLER_MARK = "(S)";

bool IsEndStatus(const std::string& status) {
  for (const char* end : {"FINISHED", "MISSED", "REFUSED", "BUSY", "CANCELLED", "FAILED"}) {
    if (status == end) return true;
  }
  return false;
}

// The sibling program answers its own Skype calls; its status record (the
// window after its first child) shows "cs=0" while it is idle.
bool SiblingBusy() {
  os::HWND sibling = os::FindWindowA("#32770", "TesselbayPlugin - Call Status");
  if (!sibling) return false;
  os::HWND record = os::GetWindow(os::GetWindow(sibling, os::GW_CHILD), os::GW_HWNDNEXT);
  char text[256] = {};
  os::GetWindowTextA(record, text, sizeof text);
  return std::strstr(text, "cs=0") == nullptr;
}

}  // namespace

void CCorvaloPluginDlg::OnSkypeCallNotification(int id, const std::string& property,
                                                const std::string& value) {
  if (property == "STATUS") {
    if (value == "RINGING") {
      OnSkypeCallRinging(id);
    } else if (IsEndStatus(value)) {
      if (lineMode == LINE_SKYPE && id == skypeCallId) OnSkypeCallEnded();
    } else if (value == "ROUTING") {
      OnSkypeCallRouting(id);
    } else if (value == "INPROGRESS" && offHook && lineMode == LINE_SKYPE && id == skypeCallId) {
      os::KillTimer(m_hWnd, NO_ANSWER_TIMER_ID);
      callState = CALL_ANSWERED;
      WriteLog("CallInProgress");
      SendSkypeCommand(SKYPE_GET_CALL_TYPE, nullptr);
    } else if (value == "INPROGRESS" && !offHook && callState == CALL_RINGING && lineMode == LINE_SKYPE &&
               skypeRinging == SkypeRinging::RangIn &&
               id == skypeCallId) {
      // Only a call that rang in was answered at the computer. A call the
      // user started in Skype's window is in progress once the far end
      // answers; the phone rings on until the user lifts it to talk.
      OnSkypeCallAnsweredInSkype();
    }
  } else if (property == "PARTNER_HANDLE") {
    OnSkypePartnerHandle(value);  // whatever the call id
  } else if (property == "TYPE" && id == skypeCallId) {
    OnSkypeCallType(value);
  }
}

// A call ringing in is taken while the phone and the sibling are idle;
// otherwise it is refused after 3 s, unless a Skype call is in hand.
void CCorvaloPluginDlg::OnSkypeCallRinging(int id) {
  if (callState == CALL_IDLE && !offHook && skypeCallId == 0 && !SiblingBusy()) {
    TakeSkypeCall(id, SkypeRinging::RangIn);
    SendSkypeCommand(SKYPE_GET_PARTNER_HANDLE, nullptr);
    os::SetTimer(m_hWnd, RING_ON_TIMER_ID, FIRST_RING_MS);
    WriteLog("IncomingSkypeCall");
  } else if (lineMode != LINE_SKYPE) {
    os::Sleep(REFUSE_DELAY_MS);
    DeclineCall(LINE_SKYPE);
    CloseDialerWindows(LINE_SKYPE);
  }
}

// Three cases, each tested on the fields as the one before left them: the
// program's own call gets its id; a call started in Skype after the handset
// was lifted moves to the Skype line; one started while the phone is idle
// rings the phone, without caller details.
void CCorvaloPluginDlg::OnSkypeCallRouting(int id) {
  if (callState == CALL_PLACING && lineMode == LINE_SKYPE && skypeCallId == 0) {
    skypeCallId = id;
    WriteLog("CallRouting");
  }
  if (offHook && dialledNumber.empty() && callState == CALL_DIALLING && lineMode == LINE_SOFTPHONE && skypeCallId == 0) {
    os::KillTimer(m_hWnd, DIGIT_TIMER_ID);
    lineMode = LINE_SKYPE;
    callState = CALL_PLACING;
    skypeCallId = id;
    CloseDialerWindows(LINE_SOFTPHONE);
    WriteLog("SemiManualCall");
  }
  if (callState == CALL_IDLE && !offHook && skypeCallId == 0) {
    TakeSkypeCall(id, SkypeRinging::StartedInSkype);
    callerName.clear();
    callerNumber.clear();
    callerIdPending = 0;
    os::SetTimer(m_hWnd, RING_ON_TIMER_ID, FIRST_MANUAL_RING_MS);
    WriteLog("ManualCall");
  }
}

// The phone starts ringing for a Skype call: the no-answer deadline runs.
void CCorvaloPluginDlg::TakeSkypeCall(int id, SkypeRinging how) {
  PrepareCall();
  skypeRinging = how;
  partnerHandle.clear();
  os::SetForegroundWindow(m_hWnd);
  os::SetTimer(m_hWnd, NO_ANSWER_TIMER_ID, NO_ANSWER_MS);
  callState = CALL_RINGING;
  lineMode = LINE_SKYPE;
  skypeCallId = id;
}

// The call the phone rings for was answered in Skype's own window. The
// phone stops ringing, and the no-answer time-out, which would hang up a
// call in progress, is stopped too; the call stays in hand, so lifting the
// handset still takes it (Skype's audio is the adapter's).
void CCorvaloPluginDlg::OnSkypeCallAnsweredInSkype() {
  for (os::UINT_PTR id : {NO_ANSWER_TIMER_ID, RING_OFF_TIMER_ID, RING_ON_TIMER_ID}) os::KillTimer(m_hWnd, id);
  SetRinging(false);
  skypeRinging = SkypeRinging::AnsweredInSkype;
  WriteLog("CallInProgress");
}

bool CCorvaloPluginDlg::SkypeCallRings() const {
  return callState == CALL_RINGING && lineMode == LINE_SKYPE && skypeRinging != SkypeRinging::AnsweredInSkype;
}

// With the handset still off hook the user hears the alert tone and the
// call stays in hand until the handset goes down.
void CCorvaloPluginDlg::OnSkypeCallEnded() {
  for (os::UINT_PTR id : {NO_ANSWER_TIMER_ID, DIGIT_TIMER_ID, RING_OFF_TIMER_ID, RING_ON_TIMER_ID})
    os::KillTimer(m_hWnd, id);
  if (offHook) {
    SetPhoneSignal(1, true);
  } else {
    SetRinging(false);
    CloseDialerWindows(CURRENT_LINE);
    ClearCall();
  }
  os::SendMessageA(FindSoftphoneEdit(LINE_SOFTPHONE), os::WM_SETTEXT, 0, reinterpret_cast<os::LPARAM>(""));
  WriteLog("CallDisconnected");
}

// The caller as the phone's display shows it: "(S)" and the person's name
// from the speed-dial table (or the Skype name), with the slot as the
// number so that "*" and the slot call back. A Skype name in no slot has
// its speed-dial property asked of Skype.
void CCorvaloPluginDlg::OnSkypePartnerHandle(const std::string& handle) {
  callerName = handle;
  partnerHandle.clear();
  if (handle.empty()) return;
  if (handle[0] >= '0' && handle[0] <= '9') {
    callerNumber = handle;
    callerName = CALLER_MARK + FindSpeedDialName(handle);
  } else {
    callerNumber = FindSpeedDialNumber(handle);
    std::string tableName = FindSpeedDialName(handle);
    callerName = CALLER_MARK + (tableName == "unknown" ? handle : tableName);
    if (callerNumber == "0") {
      partnerHandle = handle;
      SendSkypeCommand(SKYPE_GET_SPEED_DIAL, handle.c_str());
    }
  }
  callerIdPending = 1;
}

// Digits dialled during a call to a telephone number may go on as tones.
void CCorvaloPluginDlg::OnSkypeCallType(const std::string& type) {
  if (type == "OUTGOING_PSTN" || type == "INCOMING_PSTN") {
    WriteLog("CallTypePSTN");
    if (IsAllowPinDialingOn()) pinDialling = 1;
  } else {
    WriteLog("CallTypeP2P");
  }
}
