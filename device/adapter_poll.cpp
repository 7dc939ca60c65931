// The adapter's worker thread and the ring reports.
#include "platform/os_kernel.h"
#include "shell/main_dialog.h"

namespace {

constexpr os::DWORD ADAPTER_POLL_MS = 3000;

// Looks for an adapter on the USB bus; the USB side is not built yet, so no
// adapter is ever found.
bool SearchAdapter(CCorvaloPluginDlg&) { return false; }

}  // namespace

os::DWORD CCorvaloPluginDlg::AdapterPollThread(void* mainWindow) {
  auto& self = *static_cast<CCorvaloPluginDlg*>(mainWindow);
  self.adapterHandle = nullptr;
  self.adapterThreadStop = 0;
  self.adapterReady = 0;
  for (;;) {
    if (self.softphoneWindow) SearchAdapter(self);
    os::Sleep(ADAPTER_POLL_MS);
    if (self.adapterThreadStop) return 0;
  }
}

// Without an adapter there is nothing to ring.
void CCorvaloPluginDlg::SetRinging(bool) {}
