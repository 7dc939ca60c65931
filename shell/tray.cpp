// The notification-area icon: five states, each an icon and a tip.
#include <cstring>

#include "platform/os_shell.h"
#include "resources/resource.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"

namespace {

struct TrayLook {
  int iconId;
  const char* tip;
};

TrayLook LookOf(TrayState state) {
  switch (state) {
    case TrayState::NoAdapter:
      return {IDI_NOADAPTER, "CorvaloPlugin (Please plug in and start MJ)"};
    case TrayState::Initialising:
      return {IDI_INITIALISING, "CorvaloPlugin (Initializing)"};
    case TrayState::SkypeNotAttached:
      return {IDI_INITIALISING, "CorvaloPlugin (Start Skype and authorize CorvaloPlugin access)"};
    case TrayState::Ready:
      return {IDI_READY, "CorvaloPlugin (Ready)"};
    case TrayState::OffHook:
      return {IDI_OFFHOOK, "CorvaloPlugin (Offhook)"};
  }
  return {IDI_NOADAPTER, ""};
}

}  // namespace

// Fills the tray record the same way for every call; the shell's results are
// not looked at. The shell keeps a copy of the icon, so the one loaded here
// is destroyed at once: the tray changes with every lift and hang-up, and a
// program that runs for weeks must not keep an icon per change.
void CCorvaloPluginDlg::SetTrayState(TrayState state, TrayUpdate update) {
  TrayLook look = LookOf(state);
  os::NOTIFYICONDATAA record = {};
  record.cbSize = os::NOTIFYICONDATA_V2_SIZE;
  record.hWnd = m_hWnd;
  record.uID = TRAY_ICON_ID;
  record.uFlags = os::NIF_MESSAGE | os::NIF_ICON | os::NIF_TIP;
  record.uCallbackMessage = TRAY_NOTIFY_MSG;
  record.hIcon = os::LoadIconResource(look.iconId, 16, 16);
  std::strncpy(record.szTip, look.tip, sizeof record.szTip - 1);

  trayState = state;
  trayIconShown = update != TrayUpdate::Delete;
  switch (update) {
    case TrayUpdate::Add:
      os::Shell_NotifyIconA(os::NIM_ADD, &record);
      break;
    case TrayUpdate::Modify:
      os::Shell_NotifyIconA(os::NIM_MODIFY, &record);
      break;
    case TrayUpdate::Delete:
      os::Shell_NotifyIconA(os::NIM_DELETE, &record);
      break;
    case TrayUpdate::Replace:
      os::Shell_NotifyIconA(os::NIM_DELETE, &record);
      os::Shell_NotifyIconA(os::NIM_ADD, &record);
      break;
  }
  if (record.hIcon) os::DestroyIcon(record.hIcon);
}

// A restarted shell has forgotten every icon: the current look is added
// again. After the shutdown has removed the icon nothing comes back.
void CCorvaloPluginDlg::OnTaskbarCreated() {
  if (trayIconShown) SetTrayState(trayState, TrayUpdate::Add);
}
