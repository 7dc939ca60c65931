// The alert tone on the phone line.
#include "shell/main_dialog.h"

// Kind 1 is the alert tone. Playing it comes with the sound bank; stopping
// it stops whatever the bank plays.
bool CCorvaloPluginDlg::SetPhoneSignal(int kind, bool on) {
  if (kind != 1) return false;
  if (!on) phoneSounds.Stop();
  return true;
}
