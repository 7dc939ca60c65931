// The main window's own default procedure: messages the message map does not
// name arrive here. None is recognised yet, so all take the standard dialog
// processing.
#include "shell/main_dialog.h"

bool CCorvaloPluginDlg::DefWindowProc(os::UINT, os::WPARAM, os::LPARAM, os::LRESULT&) {
  return false;
}
