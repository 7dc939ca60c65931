// Caller identification is being built in device/caller_id.cpp; until that
// file defines SendCallerId, the main window sends nothing. Delete this file
// when device/caller_id.cpp exists.
#include "shell/main_dialog.h"

void CCorvaloPluginDlg::SendCallerId(const std::string&, const std::string&, int) {}
