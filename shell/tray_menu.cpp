// The tray icon's clicks and the commands of its menu.
#include "platform/os_menu.h"
#include "platform/os_shell.h"
#include "platform/os_window.h"
#include "resources/resource.h"
#include "shell/main_dialog.h"

// A double click opens the speed-dial table once the adapter is in use; a
// right click opens the menu at the cursor.
void CCorvaloPluginDlg::OnTrayNotify(os::WPARAM, os::LPARAM mouseMessage) {
  if (mouseMessage == os::WM_LBUTTONDBLCLK) {
    if (adapterReady) OnSpeedDial();
    return;
  }
  if (mouseMessage != os::WM_RBUTTONUP) return;
  os::SetForegroundWindow(m_hWnd);
  os::POINT cursor = {};
  os::GetCursorPos(&cursor);
  popupMenu = os::LoadMenuResource(IDR_TRAY_MENU);
  os::HMENU popup = os::GetSubMenu(popupMenu, 0);
  if (!adapterReady) os::EnableMenuItem(popup, ID_SPEED_DIAL, os::MF_BYCOMMAND | os::MF_GRAYED);
  os::TrackPopupMenu(popup, os::TPM_RIGHTALIGN | os::TPM_RIGHTBUTTON, cursor.x, cursor.y, m_hWnd);
  // Lets the menu close properly when the user clicks elsewhere.
  os::PostMessageA(m_hWnd, os::WM_NULL, 0, 0);
  os::DestroyMenu(popupMenu);
  popupMenu = nullptr;
}

// A dialog chosen while it is already open comes to the front. Running it
// again would nest a second modal loop on the same dialog, which the close
// sequence could not end: Exit would leave the program running.
namespace {
bool BringToFrontIfOpen(const CDialog& dialog) {
  if (!dialog.GetSafeHwnd()) return false;
  os::SetForegroundWindow(dialog.GetSafeHwnd());
  return true;
}
}  // namespace

void CCorvaloPluginDlg::OnAbout() {
  if (BringToFrontIfOpen(aboutDialog)) return;
  aboutDialog.DoModal();
  WriteLog("AboutRequest");
}

// A missing help file is the shell's to report; the program only logs.
void CCorvaloPluginDlg::OnHelp() {
  os::ShellExecuteA(nullptr, "open", (GetAppDirectory() + "help.html").c_str(), nullptr, nullptr,
                    os::SW_SHOWNORMAL);
  WriteLog("HelpRequest");
}

void CCorvaloPluginDlg::OnSpeedDial() {
  if (BringToFrontIfOpen(SpeedDialDialog)) return;
  SpeedDialDialog.DoModal();
  WriteLog("SpeedDialRequest");
}
