// The main window's timers. Every timer is one-shot: the delivered id is
// stopped before anything else, and a handler that wants another tick starts
// its timer again. Unknown ids are only stopped.
#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"

void CCorvaloPluginDlg::OnTimer(os::UINT_PTR id) {
  os::KillTimer(m_hWnd, id);
  if (id == POLL_TIMER_ID) Poll();
}

// The periodic poll. For now it only keeps its own cadence: every 100 ms
// while Skype is attached, every second otherwise.
void CCorvaloPluginDlg::Poll() {
  os::SetTimer(m_hWnd, POLL_TIMER_ID, skypeApiWindow ? POLL_ATTACHED_MS : POLL_DETACHED_MS);
}
