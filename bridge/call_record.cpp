// The call record's reset, used at start-up and whenever a call begins.
#include "platform/os_window.h"
#include "shell/main_dialog.h"

void CCorvaloPluginDlg::PrepareCall() {
  DoDataExchange();  // the control members are bound before their first use
  if (lineMode == LINE_NONE) lineMode = LINE_SOFTPHONE;
  dialledNumber.clear();
  callerName.clear();
  callerNumber.clear();
  callerIdPending = 0;
  muted = 0;
  pinDialling = 0;
  skypeCallAsked = 0;
  os::SetWindowTextA(statusText, "");
  os::EnableWindow(statusText, os::TRUE);
  DoDataExchange();
}

void CCorvaloPluginDlg::ClearCall() {
  callState = CALL_IDLE;
  lineMode = LINE_NONE;
  skypeCallId = 0;
}
