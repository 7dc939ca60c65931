// The device setup library and the HID class library of the simulated
// desktop. Device lists are snapshots of the bus when they were made; device
// handles are kernel handles of the world, so CloseHandle and the end of the
// process close them; a device that has left the bus fails every call.
#include "platform/sim/sim_hid.h"

#include <algorithm>
#include <cstring>

#include "platform/os_hid.h"
#include "platform/os_kernel.h"
#include "platform/sim/world.h"

namespace sim {

namespace {

constexpr os::DWORD FILE_NOT_FOUND = 2;
constexpr os::DWORD INVALID_PARAMETER = 87;
constexpr os::DWORD INSUFFICIENT_BUFFER = 122;
constexpr os::DWORD SPINT_ACTIVE = 0x1;
constexpr os::BYTE DEVICE_DATA = 0x5A;  // what a device answers in a feature read

bool SameGuid(const os::GUID& a, const os::GUID& b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

os::BOOL Fail(os::DWORD error) {
  CurrentThread()->lastError = error;
  return os::FALSE;
}

DeviceList* FindList(os::HDEVINFO list) {
  auto found = Hid().lists.find(list);
  return found == Hid().lists.end() ? nullptr : &found->second;
}

os::HANDLE NewDeviceHandle(OpenDevice open) {
  World& world = TheWorld();
  auto object = std::make_shared<KernelObject>();
  object->kind = kinds::FILE_HANDLES;
  object->references = 1;
  os::HANDLE handle = reinterpret_cast<os::HANDLE>(world.nextHandle);
  world.nextHandle += 4;
  world.handles[handle] = object;
  CountObject(object->kind, handle);
  CurrentThread()->process->handles.push_back(handle);
  Hid().openDevices[handle] = std::move(open);
  return handle;
}

// The system's sharing rule, both ways: the new open's access must be shared
// by every open already held, and its sharing must allow their access. It
// is applied even to an open that asks for no data access, which makes the
// desktop at least as strict as the system.
bool Conflicts(os::DWORD access, os::DWORD share, os::DWORD heldAccess, os::DWORD heldShare) {
  auto conflict = [](os::DWORD wanted, os::DWORD allowed) {
    return ((wanted & os::GENERIC_READ) && !(allowed & os::FILE_SHARE_READ)) ||
           ((wanted & os::GENERIC_WRITE) && !(allowed & os::FILE_SHARE_WRITE));
  };
  return conflict(access, heldShare) || conflict(heldAccess, share);
}

bool SharingAllows(const UsbDevice& device, os::DWORD access, os::DWORD share) {
  if (device.hid.heldBySoftphone &&
      Conflicts(access, share, os::GENERIC_READ | os::GENERIC_WRITE, 0))
    return false;
  for (auto& [handle, open] : Hid().openDevices) {
    if (open.device.get() != &device || !TheWorld().handles.count(handle)) continue;
    if (Conflicts(access, share, open.access, open.shareMode)) return false;
  }
  return true;
}

// The HID device behind an open handle, or null (with the reason set).
UsbDevice* OpenHidDevice(os::HANDLE handle) {
  auto found = Hid().openDevices.find(handle);
  if (found == Hid().openDevices.end() || !TheWorld().handles.count(handle) ||
      !found->second.device->isHid) {
    Fail(os::ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return found->second.device.get();
}

os::BOOL Record(HidOp op, const UsbDevice* device, const void* report, os::ULONG length,
                os::BOOL succeeded) {
  std::vector<os::BYTE> bytes;
  if (report) {
    const auto* begin = static_cast<const os::BYTE*>(report);
    bytes.assign(begin, begin + length);
  }
  Hid().calls.push_back(
      HidCall{op, device->path, std::move(bytes), succeeded != 0, TheWorld().now});
  return succeeded;
}

bool TakesLength(const UsbDevice& device, os::ULONG length) {
  const auto& lengths = device.hid.featureLengths;
  return std::find(lengths.begin(), lengths.end(), length) != lengths.end();
}

// A feature report call's outcome before the device answers: TRUE, or FALSE
// with the reason set.
os::BOOL CheckFeatureCall(const UsbDevice& device, const void* report, os::ULONG length) {
  if (!report || length == 0) return Fail(INVALID_PARAMETER);
  if (!device.present) return Fail(os::ERROR_DEVICE_NOT_CONNECTED);
  if (!TakesLength(device, length)) return Fail(os::ERROR_GEN_FAILURE);
  return os::TRUE;
}

}  // namespace

}  // namespace sim

namespace os {

using sim::CurrentThread;
using sim::Hid;

HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, DWORD flags) {
  sim::HidState& hid = Hid();
  if (hid.refuseLists || !classGuid || !(flags & DIGCF_DEVICEINTERFACE)) {
    sim::Fail(sim::INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE();
  }
  bool wantHid = sim::SameGuid(*classGuid, sim::HID_INTERFACE_CLASS);
  bool wantUsb = sim::SameGuid(*classGuid, GUID_DEVINTERFACE_USB_DEVICE);
  sim::DeviceList list;
  list.processId = CurrentThread()->process->id;
  for (auto& device : hid.devices) {
    bool inClass = device->isHid ? wantHid : wantUsb;
    if (inClass && (device->present || !(flags & DIGCF_PRESENT))) list.members.push_back(device);
  }
  sim::World& world = sim::TheWorld();
  HDEVINFO handle = reinterpret_cast<HDEVINFO>(world.nextHandle);
  world.nextHandle += 4;
  hid.lists[handle] = std::move(list);
  sim::CountObject(sim::kinds::DEVICE_LISTS, handle);
  return handle;
}

BOOL SetupDiEnumDeviceInterfaces(HDEVINFO list, const GUID* classGuid, DWORD index,
                                 SP_DEVICE_INTERFACE_DATA* interfaceData) {
  sim::DeviceList* found = sim::FindList(list);
  if (!found) return sim::Fail(ERROR_INVALID_HANDLE);
  if (!classGuid || !interfaceData || interfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA))
    return sim::Fail(sim::INVALID_PARAMETER);
  if (index >= found->members.size()) return sim::Fail(ERROR_NO_MORE_ITEMS);
  interfaceData->InterfaceClassGuid = *classGuid;
  interfaceData->Flags = sim::SPINT_ACTIVE;
  interfaceData->Reserved = index + 1;
  return TRUE;
}

BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO list, SP_DEVICE_INTERFACE_DATA* interfaceData,
                                      char* devicePath, DWORD devicePathSize, DWORD* requiredSize) {
  sim::DeviceList* found = sim::FindList(list);
  if (!found) return sim::Fail(ERROR_INVALID_HANDLE);
  if (!interfaceData || interfaceData->Reserved == 0 ||
      interfaceData->Reserved > found->members.size())
    return sim::Fail(sim::INVALID_PARAMETER);
  const std::string& path = found->members[interfaceData->Reserved - 1]->path;
  DWORD size = static_cast<DWORD>(path.size() + 1);
  if (requiredSize) *requiredSize = size;
  if (!devicePath || devicePathSize < size) return sim::Fail(sim::INSUFFICIENT_BUFFER);
  std::memcpy(devicePath, path.c_str(), size);
  return TRUE;
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO list) {
  if (!Hid().lists.erase(list)) return sim::Fail(ERROR_INVALID_HANDLE);
  sim::UncountObject(sim::kinds::DEVICE_LISTS, list);
  return TRUE;
}

// Only a device on the bus opens, only as an existing file, and only where
// its access and sharing agree with the opens already held.
HANDLE CreateFileA(const char* path, DWORD access, DWORD shareMode, DWORD creation, DWORD flags) {
  sim::HidState& hid = Hid();
  auto outcome = [&](HANDLE handle, DWORD error) {
    hid.opens.push_back(sim::DeviceOpen{path ? path : "", access, shareMode, creation, flags,
                                        handle != INVALID_HANDLE_VALUE(), error});
    CurrentThread()->lastError = error;
    return handle;
  };
  if (!path || creation != OPEN_EXISTING) return outcome(INVALID_HANDLE_VALUE(), sim::INVALID_PARAMETER);
  for (auto& device : hid.devices) {
    if (!device->present || sim::ToLower(device->path) != sim::ToLower(path)) continue;
    if (!sim::SharingAllows(*device, access, shareMode))
      return outcome(INVALID_HANDLE_VALUE(), ERROR_SHARING_VIOLATION);
    sim::OpenDevice open{device, access, shareMode};
    return outcome(sim::NewDeviceHandle(std::move(open)), ERROR_SUCCESS);
  }
  return outcome(INVALID_HANDLE_VALUE(), sim::FILE_NOT_FOUND);
}

void HidD_GetHidGuid(GUID* hidGuid) {
  if (hidGuid) *hidGuid = sim::HID_INTERFACE_CLASS;
}

BOOL HidD_GetAttributes(HANDLE handle, HIDD_ATTRIBUTES* attributes) {
  sim::UsbDevice* device = sim::OpenHidDevice(handle);
  if (!device) return FALSE;
  BOOL answered = device->present && !device->hid.attributesFail && attributes;
  if (answered) {
    attributes->Size = sizeof(HIDD_ATTRIBUTES);
    attributes->VendorID = device->hid.vendorId;
    attributes->ProductID = device->hid.productId;
    attributes->VersionNumber = device->hid.versionNumber;
  } else {
    sim::Fail(ERROR_GEN_FAILURE);
  }
  return sim::Record(sim::HidOp::GetAttributes, device, nullptr, 0, answered);
}

// Like a driver, it fills the buffer as far as the string goes and adds the
// terminator only where there is room for it.
BOOL HidD_GetSerialNumberString(HANDLE handle, void* buffer, ULONG bufferLength) {
  sim::UsbDevice* device = sim::OpenHidDevice(handle);
  if (!device) return FALSE;
  BOOL answered = device->present && !device->hid.serialFails && buffer && bufferLength >= 2;
  if (answered) {
    const std::u16string& serial = device->hid.serial;
    std::size_t room = bufferLength / 2;
    std::size_t units = std::min(serial.size(), room);
    std::memcpy(buffer, serial.data(), units * 2);
    if (units < room) static_cast<char16_t*>(buffer)[units] = u'\0';
  } else {
    sim::Fail(ERROR_GEN_FAILURE);
  }
  return sim::Record(sim::HidOp::GetSerialNumber, device, nullptr, 0, answered);
}

BOOL HidD_GetFeature(HANDLE handle, void* report, ULONG reportLength) {
  sim::UsbDevice* device = sim::OpenHidDevice(handle);
  if (!device) return FALSE;
  std::vector<BYTE> asGiven;
  if (report) asGiven.assign(static_cast<BYTE*>(report), static_cast<BYTE*>(report) + reportLength);
  BOOL answered = sim::CheckFeatureCall(*device, report, reportLength);
  if (answered) std::memset(static_cast<BYTE*>(report) + 1, sim::DEVICE_DATA, reportLength - 1);
  return sim::Record(sim::HidOp::GetFeature, device, asGiven.data(),
                     static_cast<ULONG>(asGiven.size()), answered);
}

BOOL HidD_SetFeature(HANDLE handle, void* report, ULONG reportLength) {
  sim::UsbDevice* device = sim::OpenHidDevice(handle);
  if (!device) return FALSE;
  BOOL taken = sim::CheckFeatureCall(*device, report, reportLength);
  return sim::Record(sim::HidOp::SetFeature, device, report, report ? reportLength : 0, taken);
}

}  // namespace os
