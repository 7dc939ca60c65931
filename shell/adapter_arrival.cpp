// The short-lived thread that runs once per adapter arrival: it marks the
// adapter ready, passes on a lift or hang-up heard while it was not, and,
// if Skype does not attach soon, prompts the user.
#include "phonehook/hook_messages.h"
#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/main_dialog.h"

namespace {
constexpr os::DWORD FIRST_WAIT_MS = 3000;
constexpr os::DWORD PROMPT_WAIT_MS = 10000;
}  // namespace

os::DWORD CCorvaloPluginDlg::AdapterArrivalThread(void* mainWindow) {
  auto& self = *static_cast<CCorvaloPluginDlg*>(mainWindow);
  self.WriteLog("DataFilePath:" + GetAppDirectory());
  self.adapterReady = 1;
  if (unsigned held = self.TakeHeldHookKey()) {
    os::PostMessageA(self.m_hWnd, KEY_REPORT_MSG, held, 0);
  }
  os::Sleep(FIRST_WAIT_MS);
  if (self.skypeApiWindow) return 0;
  self.SetTrayState(TrayState::SkypeNotAttached, TrayUpdate::Replace);
  os::Sleep(PROMPT_WAIT_MS);
  if (!self.skypeApiWindow) self.checklistDialog.DoModal();
  return 0;
}
