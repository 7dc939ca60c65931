// The stand-in hid.dll: the HID class library's calls the program makes,
// answered by the device on the virtual bus that the handle was opened on.
// A handle to no device on the bus (an unplugged one, or not a device) gets
// nothing.
#include <windows.h>

#include <cstdio>
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

bool Usable(HANDLE handle, adapter::Device* device) {
  if (!adapter::DeviceOf(handle, device)) {
    SetLastError(ERROR_DEVICE_NOT_CONNECTED);
    return false;
  }
  return true;
}

BOOLEAN Failed(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

extern "C" {

void __stdcall HidD_GetHidGuid(GUID* hidGuid) {
  if (hidGuid) *hidGuid = HID_CLASS;
}

BOOLEAN __stdcall HidD_GetAttributes(HANDLE handle, Attributes* attributes) {
  adapter::Device device;
  if (!attributes || !Usable(handle, &device)) return FALSE;
  char line[96];
  std::snprintf(line, sizeof line, "attributes %04X:%04X %s %s", device.vendorId, device.productId,
                device.failAttributes ? "failed" : "ok", adapter::OpenModeOf(handle).c_str());
  adapter::NoteLine(line);
  if (device.failAttributes) return Failed(ERROR_GEN_FAILURE);
  attributes->Size = sizeof(Attributes);
  attributes->VendorID = device.vendorId;
  attributes->ProductID = device.productId;
  attributes->VersionNumber = 0x0100;
  return TRUE;
}

// Fills the buffer as far as the string goes, terminated where there is room.
BOOLEAN __stdcall HidD_GetSerialNumberString(HANDLE handle, void* buffer, ULONG bufferLength) {
  adapter::Device device;
  if (!buffer || bufferLength < 2 || !Usable(handle, &device)) return FALSE;
  if (device.failSerial || device.serial.empty()) return Failed(ERROR_GEN_FAILURE);
  auto* units = static_cast<WCHAR*>(buffer);
  ULONG room = bufferLength / 2, count = 0;
  for (; count < room && count < device.serial.size(); ++count)
    units[count] = static_cast<unsigned char>(device.serial[count]);
  if (count < room) units[count] = L'\0';
  return TRUE;
}

BOOLEAN __stdcall HidD_GetFeature(HANDLE handle, void* report, ULONG reportLength) {
  adapter::Device device;
  bool ok = report && reportLength > 0 && Usable(handle, &device) && adapter::Answers(device, reportLength);
  if (ok) std::memset(static_cast<BYTE*>(report) + 1, 0, reportLength - 1);
  adapter::NoteReport("get", reportLength, ok, nullptr);
  return ok ? TRUE : FALSE;
}

BOOLEAN __stdcall HidD_SetFeature(HANDLE handle, void* report, ULONG reportLength) {
  adapter::Device device;
  bool ok = report && reportLength > 0 && Usable(handle, &device) && adapter::Answers(device, reportLength);
  adapter::NoteReport("set", reportLength, ok, static_cast<const BYTE*>(report));
  return ok ? TRUE : FALSE;
}

}  // extern "C"
