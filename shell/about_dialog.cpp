#include "shell/about_dialog.h"

#include "platform/os_window.h"
#include "shell/ids.h"

os::BOOL CAboutDlg::OnInitDialog() {
  releaseText = std::string("Release: ") + PROGRAM_RELEASE;
  os::SetWindowTextA(os::GetDlgItem(m_hWnd, IDC_ABOUT_RELEASE), releaseText.c_str());
  return os::TRUE;
}
