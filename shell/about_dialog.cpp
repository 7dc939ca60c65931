#include "shell/about_dialog.h"

#include "platform/os_window.h"
#include "shell/ids.h"

os::BOOL CAboutDlg::OnInitDialog() {
  releaseText = std::string("Release: ") + PROGRAM_RELEASE;
  os::SetWindowTextA(os::GetDlgItem(m_hWnd, IDC_ABOUT_RELEASE), releaseText.c_str());
  std::string notice = std::string(PROGRAM_NAME) + " " + PROGRAM_RELEASE +
                       " places and takes Skype calls on your adapter's telephone.\n"
                       "To read the help, choose Help in the tray icon's menu (help.html in its folder).";
  os::SetWindowTextA(os::GetDlgItem(m_hWnd, IDC_ABOUT_NOTICE), notice.c_str());
  return os::TRUE;
}
