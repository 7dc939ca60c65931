// Skype's notifications reach the main window here. Turning them into call
// changes comes with the rest of the Skype link; until then the record is
// taken and nothing changes.
#include "shell/main_dialog.h"

void CCorvaloPluginDlg::HandleSkypeNotification(os::HWND, const os::COPYDATASTRUCT&) {}
