// The stand-in setupapi.dll: device-interface lists of the virtual bus.
// The HID list holds the interfaces of the HID devices on the bus, in the
// bus's order; the USB device list holds the adapter's storage device when
// the control file names one.
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "standins/adapter/virtual_adapter.h"

namespace {

const GUID HID_CLASS = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
const GUID USB_DEVICE_CLASS = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
const DWORD DIGCF_DEVICEINTERFACE_FLAG = 0x10;

// The system's records, packed as its header declares them: byte-packed on
// 32-bit Windows (the detail record is 5 bytes there), naturally aligned on
// 64-bit Windows (8 bytes).
#if defined(_WIN64)
#pragma pack(push, 8)
#else
#pragma pack(push, 1)
#endif
struct InterfaceData {
  DWORD cbSize;
  GUID InterfaceClassGuid;
  DWORD Flags;
  ULONG_PTR Reserved;
};
struct InterfaceDetail {
  DWORD cbSize;
  CHAR DevicePath[1];
};
#pragma pack(pop)

struct DeviceList {
  GUID interfaceClass;
  std::vector<std::string> paths;
};

SRWLOCK listsLock = SRWLOCK_INIT;

struct ListsGuard {
  ListsGuard() { AcquireSRWLockExclusive(&listsLock); }
  ~ListsGuard() { ReleaseSRWLockExclusive(&listsLock); }
};
std::set<DeviceList*> lists;

DeviceList* Find(void* handle) {
  ListsGuard guard;
  auto* list = static_cast<DeviceList*>(handle);
  return lists.count(list) ? list : nullptr;
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

extern "C" {

void* __stdcall SetupDiGetClassDevsA(const GUID* classGuid, const char*, HWND, DWORD flags) {
  if (!classGuid || !(flags & DIGCF_DEVICEINTERFACE_FLAG)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  adapter::Control control = adapter::ReadControl();
  auto* list = new DeviceList{*classGuid, {}};
  if (IsEqualGUID(*classGuid, HID_CLASS)) {
    for (const adapter::Device& device : adapter::HidDevices(control))
      list->paths.push_back(adapter::HidDevicePath(device));
  }
  if (control.present && !control.storageSerial.empty() &&
      IsEqualGUID(*classGuid, USB_DEVICE_CLASS))
    list->paths.push_back(adapter::StorageDevicePath(control));
  ListsGuard guard;
  lists.insert(list);
  return list;
}

BOOL __stdcall SetupDiEnumDeviceInterfaces(void* handle, void*, const GUID* classGuid, DWORD index,
                                           InterfaceData* data) {
  DeviceList* list = Find(handle);
  if (!list) return Fail(ERROR_INVALID_HANDLE);
  if (!classGuid || !data || data->cbSize != sizeof(InterfaceData))
    return Fail(ERROR_INVALID_PARAMETER);
  if (index >= list->paths.size()) return Fail(ERROR_NO_MORE_ITEMS);
  data->InterfaceClassGuid = *classGuid;
  data->Flags = 1;  // active
  data->Reserved = index + 1;
  return TRUE;
}

BOOL __stdcall SetupDiGetDeviceInterfaceDetailA(void* handle, InterfaceData* data,
                                                InterfaceDetail* detail, DWORD detailSize,
                                                DWORD* requiredSize, void*) {
  DeviceList* list = Find(handle);
  if (!list) return Fail(ERROR_INVALID_HANDLE);
  if (!data || data->Reserved == 0 || data->Reserved > list->paths.size())
    return Fail(ERROR_INVALID_PARAMETER);
  const std::string& path = list->paths[data->Reserved - 1];
  DWORD needed = static_cast<DWORD>(offsetof(InterfaceDetail, DevicePath) + path.size() + 1);
  if (requiredSize) *requiredSize = needed;
  if (!detail || detailSize < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
  if (detail->cbSize != sizeof(InterfaceDetail)) return Fail(ERROR_INVALID_USER_BUFFER);
  std::memcpy(detail->DevicePath, path.c_str(), path.size() + 1);
  return TRUE;
}

BOOL __stdcall SetupDiDestroyDeviceInfoList(void* handle) {
  ListsGuard guard;
  auto* list = static_cast<DeviceList*>(handle);
  if (!lists.erase(list)) return Fail(ERROR_INVALID_HANDLE);
  delete list;
  return TRUE;
}

}  // extern "C"
