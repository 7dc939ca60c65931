// After a call, the windows Skype opened for it are closed and, if the user
// wants it, Skype (and the softphone's dialer) are minimised.
#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/main_dialog.h"
#include "shell/settings.h"
#include "skype/skype_commands.h"

namespace {

const char* const CALL_WINDOW_CLASSES[] = {
    "TConversationForm.UnicodeClass", "TskCallPhonesForm.UnicodeClass", "TDirectoryForm.UnicodeClass",
    "TShopForm.UnicodeClass",         "TLiveConversationWindow",        "TConversationForm",
    "TDirectoryForm",                 "TShopForm",                      "TskCallPhonesForm",
    "TCallPhonesForm",                "THomeForm",
};
constexpr os::DWORD PAUSE_MS = 500;

void CloseFirstOfClass(const char* className) {
  if (os::HWND window = os::FindWindowA(className, nullptr)) os::PostMessageA(window, os::WM_CLOSE, 0, 0);
}

}  // namespace

void CCorvaloPluginDlg::CloseSkypeWindows() {
  for (const char* className : CALL_WINDOW_CLASSES) CloseFirstOfClass(className);
  if (IsAutoMinimizeDialerOn()) {
    os::Sleep(PAUSE_MS);
    if (lineMode == LINE_SKYPE && callState != CALL_ANSWERED) CloseDialerWindows(LINE_SOFTPHONE);
    SendSkypeCommand(SKYPE_MINIMIZE, nullptr);
  }
  os::Sleep(PAUSE_MS);
  CloseFirstOfClass("TCallQualityForm");
}
