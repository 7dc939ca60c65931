// The stand-in hid.dll: the HID class library's calls the program makes,
// answered by the virtual adapter. A handle that is not one to the
// adapter's interface file gets nothing.
#include <windows.h>

#include <cstring>

#include "standins/adapter/virtual_adapter.h"

namespace {

const GUID HID_CLASS = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

struct Attributes {
  ULONG Size;
  USHORT VendorID;
  USHORT ProductID;
  USHORT VersionNumber;
};

bool Usable(HANDLE device, const adapter::Control& control) {
  if (!control.present || !adapter::IsAdapterHandle(device)) {
    SetLastError(ERROR_DEVICE_NOT_CONNECTED);
    return false;
  }
  return true;
}

}  // namespace

extern "C" {

void __stdcall HidD_GetHidGuid(GUID* hidGuid) {
  if (hidGuid) *hidGuid = HID_CLASS;
}

BOOLEAN __stdcall HidD_GetAttributes(HANDLE device, Attributes* attributes) {
  adapter::Control control = adapter::ReadControl();
  if (!attributes || !Usable(device, control)) return FALSE;
  attributes->Size = sizeof(Attributes);
  attributes->VendorID = control.vendorId;
  attributes->ProductID = control.productId;
  attributes->VersionNumber = 0x0100;
  return TRUE;
}

// Fills the buffer as far as the string goes, terminated where there is room.
BOOLEAN __stdcall HidD_GetSerialNumberString(HANDLE device, void* buffer, ULONG bufferLength) {
  adapter::Control control = adapter::ReadControl();
  if (!buffer || bufferLength < 2 || !Usable(device, control)) return FALSE;
  auto* units = static_cast<WCHAR*>(buffer);
  ULONG room = bufferLength / 2, count = 0;
  for (; count < room && count < control.serial.size(); ++count)
    units[count] = static_cast<unsigned char>(control.serial[count]);
  if (count < room) units[count] = L'\0';
  return TRUE;
}

BOOLEAN __stdcall HidD_GetFeature(HANDLE device, void* report, ULONG reportLength) {
  adapter::Control control = adapter::ReadControl();
  bool ok = report && reportLength > 0 && Usable(device, control) &&
            adapter::Answers(control, reportLength);
  if (ok) std::memset(static_cast<BYTE*>(report) + 1, 0, reportLength - 1);
  adapter::NoteReport("get", reportLength, ok, nullptr);
  return ok ? TRUE : FALSE;
}

BOOLEAN __stdcall HidD_SetFeature(HANDLE device, void* report, ULONG reportLength) {
  adapter::Control control = adapter::ReadControl();
  bool ok = report && reportLength > 0 && Usable(device, control) &&
            adapter::Answers(control, reportLength);
  adapter::NoteReport("set", reportLength, ok, static_cast<const BYTE*>(report));
  return ok ? TRUE : FALSE;
}

}  // extern "C"
