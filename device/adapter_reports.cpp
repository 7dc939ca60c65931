// The adapter's feature reports: the presence read and the ring report.
#include "device/adapter_usb.h"
#include "device/critical_section.h"
#include "shell/main_dialog.h"

bool ReadPresenceReport(os::HANDLE device, os::ULONG length) {
  os::BYTE report[PLUS_FEATURE_REPORT_LENGTH] = {};  // report id 0, then zeros
  if (length > sizeof report) return false;
  return os::HidD_GetFeature(device, report, length) != os::FALSE;
}

// The ring report's bytes differ by generation; bytes not set are 0. The
// lock keeps the poll thread from closing the handle while it is in use;
// the result of the report is not looked at.
void CCorvaloPluginDlg::SetRinging(bool on) {
  CSingleLock lock(adapterLock);
  os::HANDLE device = adapterHandle;
  if (!device) return;
  os::BYTE report[PLUS_FEATURE_REPORT_LENGTH] = {};
  os::ULONG length = FEATURE_REPORT_LENGTH;
  if (adapterPlus) {
    length = PLUS_FEATURE_REPORT_LENGTH;
    report[1] = 0x20;
    report[4] = 0x01;
    report[5] = 0x01;
    report[6] = on ? 0x03 : 0x00;
  } else {
    report[1] = 0x04;
    report[2] = 0x3D;
    report[3] = 0x40;
    report[4] = 0x01;
    report[5] = on ? 0x30 : 0x00;
  }
  os::HidD_SetFeature(device, report, length);
}
