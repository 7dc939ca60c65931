// After Skype attaches it is told to use the adapter's audio devices. The
// device discovery comes with the phone audio; until then no audio commands
// go out.
#include "shell/main_dialog.h"

void CCorvaloPluginDlg::SelectSkypeAudioDevices() {}
