// USB devices: the device-interface lists of the device setup library, the
// HID class library's attributes, serial number and feature reports, and the
// open of a device path.
#pragma once

#include "platform/os_types.h"

namespace os {

using ULONG = std::uint32_t;
using HDEVINFO = void*;

// CreateFileA and SetupDiGetClassDevsA fail with this value.
inline HANDLE INVALID_HANDLE_VALUE() {
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
}

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};

// The interface class of USB devices (GUID_DEVINTERFACE_USB_DEVICE).
constexpr GUID GUID_DEVINTERFACE_USB_DEVICE = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

// SetupDiGetClassDevsA flags.
constexpr DWORD DIGCF_PRESENT = 0x00000002;
constexpr DWORD DIGCF_DEVICEINTERFACE = 0x00000010;

// Errors of the device calls (besides the general ones: a path that names
// no device, 2; a bad parameter, 87; a buffer too small, 122).
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
constexpr DWORD ERROR_DEVICE_NOT_CONNECTED = 1167;

// One interface of a device list; cbSize must be set to its size (28 on the
// 32-bit target) before the call.
struct SP_DEVICE_INTERFACE_DATA {
  DWORD cbSize;
  GUID InterfaceClassGuid;
  DWORD Flags;
  UINT_PTR Reserved;
};

struct HIDD_ATTRIBUTES {
  ULONG Size;  // set to sizeof(HIDD_ATTRIBUTES) before the call
  WORD VendorID;
  WORD ProductID;
  WORD VersionNumber;
};

// CreateFileA access, share modes, creation and flags.
constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000;

// Device-interface lists: the devices with an interface of the class; with
// DIGCF_PRESENT only those plugged in now. INVALID_HANDLE_VALUE() when no
// list is returned.
HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, DWORD flags);
// False with ERROR_NO_MORE_ITEMS past the last interface.
BOOL SetupDiEnumDeviceInterfaces(HDEVINFO list, const GUID* classGuid, DWORD index,
                                 SP_DEVICE_INTERFACE_DATA* interfaceData);
// Narrowed to the device path: copies it, terminated, into devicePath.
// requiredSize (may be null) receives the path's size with its terminator;
// a null or too small buffer fails (ERROR_INSUFFICIENT_BUFFER, 122).
BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO list, SP_DEVICE_INTERFACE_DATA* interfaceData,
                                      char* devicePath, DWORD devicePathSize, DWORD* requiredSize);
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO list);

// Opens a device path (no security attributes, no template); close the
// handle with CloseHandle. INVALID_HANDLE_VALUE() on failure; an open whose
// access or sharing conflicts with an open already held fails with
// ERROR_SHARING_VIOLATION.
HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, DWORD creation, DWORD flags);

// The HID class library. Feature reports start with their report id.
void HidD_GetHidGuid(GUID* hidGuid);
BOOL HidD_GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes);
// The serial number string in 16-bit characters; bufferLength is in bytes.
BOOL HidD_GetSerialNumberString(HANDLE device, void* buffer, ULONG bufferLength);
BOOL HidD_GetFeature(HANDLE device, void* report, ULONG reportLength);
BOOL HidD_SetFeature(HANDLE device, void* report, ULONG reportLength);

}  // namespace os
