// The USB device seam over the real setupapi, hid and kernel32 API.
#include "platform/os_hid.h"

#include <cstddef>
#include <cstring>
#include <vector>

// Read before <windows.h>, whose macros of the same names would replace them.
static constexpr os::DWORD seamGenericRead = os::GENERIC_READ;
static constexpr os::DWORD seamGenericWrite = os::GENERIC_WRITE;
static constexpr os::DWORD seamSharingViolation = os::ERROR_SHARING_VIOLATION;

#include "platform/win32/win32_api.h"

#include <setupapi.h>
extern "C" {
#include <hidsdi.h>
}

static_assert(seamGenericRead == GENERIC_READ && seamGenericWrite == GENERIC_WRITE &&
                  seamSharingViolation == ERROR_SHARING_VIOLATION,
              "the seam's access rights and sharing error are the system's");

// The seam's records have the system's layout, so they are passed through.
static_assert(sizeof(os::GUID) == sizeof(::GUID));
static_assert(sizeof(os::SP_DEVICE_INTERFACE_DATA) == sizeof(::SP_DEVICE_INTERFACE_DATA));
static_assert(offsetof(os::SP_DEVICE_INTERFACE_DATA, Reserved) ==
              offsetof(::SP_DEVICE_INTERFACE_DATA, Reserved));
static_assert(sizeof(os::HIDD_ATTRIBUTES) == sizeof(::HIDD_ATTRIBUTES));
static_assert(offsetof(os::HIDD_ATTRIBUTES, VersionNumber) ==
              offsetof(::HIDD_ATTRIBUTES, VersionNumber));

namespace os {

namespace {
const ::GUID* G(const GUID* guid) { return reinterpret_cast<const ::GUID*>(guid); }
::PSP_DEVICE_INTERFACE_DATA D(SP_DEVICE_INTERFACE_DATA* data) {
  return reinterpret_cast<::PSP_DEVICE_INTERFACE_DATA>(data);
}
}  // namespace

HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, DWORD flags) {
  return ::SetupDiGetClassDevsA(G(classGuid), nullptr, nullptr, flags);
}

BOOL SetupDiEnumDeviceInterfaces(HDEVINFO list, const GUID* classGuid, DWORD index,
                                 SP_DEVICE_INTERFACE_DATA* interfaceData) {
  return ::SetupDiEnumDeviceInterfaces(list, nullptr, G(classGuid), index, D(interfaceData));
}

// The system's detail record is variable-sized: asked for its size, read
// into a buffer of that size, and its path copied out.
BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO list, SP_DEVICE_INTERFACE_DATA* interfaceData,
                                      char* devicePath, DWORD devicePathSize, DWORD* requiredSize) {
  ::DWORD detailSize = 0;
  ::SetupDiGetDeviceInterfaceDetailA(list, D(interfaceData), nullptr, 0, &detailSize, nullptr);
  constexpr std::size_t pathOffset = offsetof(::SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
  if (detailSize <= pathOffset) return FALSE;
  std::vector<::DWORD> storage(detailSize / sizeof(::DWORD) + 1);
  auto* detail = reinterpret_cast<::PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(storage.data());
  detail->cbSize = sizeof(::SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  if (!::SetupDiGetDeviceInterfaceDetailA(list, D(interfaceData), detail, detailSize, nullptr,
                                          nullptr))
    return FALSE;
  std::size_t length = strnlen(detail->DevicePath, detailSize - pathOffset);
  if (requiredSize) *requiredSize = static_cast<DWORD>(length + 1);
  if (!devicePath || devicePathSize < length + 1) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(devicePath, detail->DevicePath, length);
  devicePath[length] = '\0';
  return TRUE;
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO list) { return ::SetupDiDestroyDeviceInfoList(list); }

HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, DWORD creation, DWORD flags) {
  return ::CreateFileA(path, access, shareMode, nullptr, creation, flags, nullptr);
}

void HidD_GetHidGuid(GUID* hidGuid) { ::HidD_GetHidGuid(reinterpret_cast<::GUID*>(hidGuid)); }

BOOL HidD_GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes) {
  return ::HidD_GetAttributes(device, reinterpret_cast<::PHIDD_ATTRIBUTES>(attributes)) ? TRUE
                                                                                        : FALSE;
}

BOOL HidD_GetSerialNumberString(HANDLE device, void* buffer, ULONG bufferLength) {
  return ::HidD_GetSerialNumberString(device, buffer, bufferLength) ? TRUE : FALSE;
}

BOOL HidD_GetFeature(HANDLE device, void* report, ULONG reportLength) {
  return ::HidD_GetFeature(device, report, reportLength) ? TRUE : FALSE;
}

BOOL HidD_SetFeature(HANDLE device, void* report, ULONG reportLength) {
  return ::HidD_SetFeature(device, report, reportLength) ? TRUE : FALSE;
}

}  // namespace os
