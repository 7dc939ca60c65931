// The adapter's worker thread: while the softphone is hooked it searches
// the USB bus every 3 s, watches an accepted adapter every 3 s, and reports
// arrival and loss to the main window by posted messages.
//
// The thread writes the adapter record; the GUI thread reads it. The
// handle, product id and generation flag are atomic, so they are read as
// they are; the serial, a text, is written under adapterLock and read under
// it (CopyAdapterSerial), and the handle is closed under it, so SetRinging
// never uses a closed one. At shutdown the close sequence waits in
// StopAdapterPollThread until the thread has ended, so the main window
// outlives everything the thread may still do with it.
#include <algorithm>

#include "device/adapter_search.h"
#include "device/adapter_usb.h"
#include "device/critical_section.h"
#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"

namespace {

constexpr os::DWORD ADAPTER_POLL_MS = 3000;
// How soon the thread sees a stop request; how often and how long closing
// looks for the thread's end.
constexpr os::DWORD STOP_CHECK_MS = 100;
constexpr os::DWORD STOP_WAIT_STEP_MS = 10;
constexpr os::DWORD STOP_WAIT_MS = 5000;

// Sleeps ms in short steps; false as soon as a stop has been asked for.
bool PauseUnlessStopped(const CCorvaloPluginDlg& self, os::DWORD ms) {
  for (os::DWORD slept = 0; slept < ms; slept += STOP_CHECK_MS) {
    if (self.adapterThreadStop) return false;
    os::Sleep(std::min(STOP_CHECK_MS, ms - slept));
  }
  return !self.adapterThreadStop;
}

void AcceptAdapter(CCorvaloPluginDlg& self, const AdapterFound& found) {
  {
    CSingleLock lock(self.adapterLock);
    self.adapterPlus = found.plus ? 1 : 0;
    self.adapterProductId = found.recordedProductId;
    self.adapterSerial = found.serial;
    self.adapterHandle = found.device;
  }
  if (found.plus) self.WriteLog("MJPlusFound");
  self.WriteLog("SerialNumberFound");
}

void DropAdapter(CCorvaloPluginDlg& self) {
  CSingleLock lock(self.adapterLock);
  os::CloseHandle(self.adapterHandle);
  self.adapterHandle = nullptr;
  self.adapterProductId = 0;
  self.adapterSerial.clear();
  self.adapterReady = 0;
}

enum class WatchEnd { Dropped, Stopped };

// Reads the presence report at once and every 3 s while the adapter answers
// and the softphone is still hooked, then drops the adapter. A stop request
// ends the watch with the record and the handle as they are, so that the
// close sequence can still switch the ringing off.
WatchEnd WatchAdapter(CCorvaloPluginDlg& self) {
  os::ULONG length = self.adapterPlus ? PLUS_FEATURE_REPORT_LENGTH : FEATURE_REPORT_LENGTH;
  while (ReadPresenceReport(self.adapterHandle, length) && self.softphoneWindow) {
    if (!PauseUnlessStopped(self, ADAPTER_POLL_MS)) return WatchEnd::Stopped;
  }
  DropAdapter(self);
  return WatchEnd::Dropped;
}

}  // namespace

// adapterThreadStop is not cleared here: it starts clear with the window,
// and a stop asked for before the thread first runs must not be lost.
os::DWORD CCorvaloPluginDlg::AdapterPollThread(void* mainWindow) {
  auto& self = *static_cast<CCorvaloPluginDlg*>(mainWindow);
  self.adapterHandle = nullptr;
  self.adapterReady = 0;
  for (;;) {
    AdapterFound found;
    if (self.softphoneWindow && SearchAdapter(&found)) {
      AcceptAdapter(self, found);
      os::PostMessageA(self.m_hWnd, DEVICE_ADDED_MSG, 0, 0);
      if (WatchAdapter(self) == WatchEnd::Stopped) break;
      os::PostMessageA(self.m_hWnd, DEVICE_REMOVED_MSG, 0, 0);
    }
    if (!PauseUnlessStopped(self, ADAPTER_POLL_MS)) break;
  }
  self.adapterThreadEnded = 1;
  return 0;
}

// The thread may be writing a log record, which sets the record control's
// text through this thread, so messages sent to this thread are answered
// while it waits.
void CCorvaloPluginDlg::StopAdapterPollThread() {
  adapterThreadStop = 1;
  for (os::DWORD waited = 0; !adapterThreadEnded && waited < STOP_WAIT_MS;
       waited += STOP_WAIT_STEP_MS) {
    os::MSG message;
    os::PeekMessageA(&message, nullptr, 0, 0, os::PM_NOREMOVE);
    os::Sleep(STOP_WAIT_STEP_MS);
  }
}

std::string CCorvaloPluginDlg::CopyAdapterSerial() const {
  CSingleLock lock(adapterLock);
  return adapterSerial;
}
