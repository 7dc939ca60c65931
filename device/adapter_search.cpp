#include "device/adapter_search.h"

#include "device/adapter_serial.h"
#include "device/adapter_usb.h"
#include "device/device_interfaces.h"
#include "platform/os_kernel.h"

namespace {

// The second generation answers the 33-byte read; the Plus generation,
// with the same product id, only the 65-byte one. Both carry their serial
// in the HID serial number string.
bool IdentifySecondGeneration(os::HANDLE device, AdapterFound* found) {
  bool plus = false;
  if (!ReadPresenceReport(device, FEATURE_REPORT_LENGTH)) {
    if (!ReadPresenceReport(device, PLUS_FEATURE_REPORT_LENGTH)) return false;
    plus = true;
  }
  std::string serial = AcceptSerial(ReadHidSerialNumber(device));
  if (serial.empty()) return false;
  found->recordedProductId = plus ? PLUS_RECORDED_PRODUCT_ID : SECOND_GENERATION_PRODUCT_ID;
  found->serial = serial;
  found->plus = plus;
  return true;
}

bool IdentifyFirstGeneration(os::HANDLE device, AdapterFound* found) {
  if (!ReadPresenceReport(device, FEATURE_REPORT_LENGTH)) return false;
  std::string serial = AcceptSerial(GetStorageSerial(STORAGE_VENDOR_ID, STORAGE_PRODUCT_ID));
  if (serial.empty()) return false;
  found->recordedProductId = FIRST_GENERATION_PRODUCT_ID;
  found->serial = serial;
  found->plus = false;
  return true;
}

bool IdentifyAdapter(os::HANDLE device, AdapterFound* found) {
  os::HIDD_ATTRIBUTES attributes = {};
  attributes.Size = sizeof attributes;
  if (!os::HidD_GetAttributes(device, &attributes)) return false;
  if (attributes.VendorID != TIGERJET_VENDOR_ID) return false;
  if (attributes.ProductID == SECOND_GENERATION_PRODUCT_ID)
    return IdentifySecondGeneration(device, found);
  if (attributes.ProductID == FIRST_GENERATION_PRODUCT_ID)
    return IdentifyFirstGeneration(device, found);
  return false;
}

}  // namespace

// Each interface is opened for neither reading nor writing, sharing both,
// so the softphone's own use of the device is not disturbed.
bool SearchAdapter(AdapterFound* found) {
  os::GUID hidClass = {};
  os::HidD_GetHidGuid(&hidClass);
  CDeviceInterfaceList interfaces(hidClass);
  std::string path;
  for (os::DWORD index = 0; interfaces.GetDevicePath(index, &path); ++index) {
    if (path.empty()) continue;
    os::HANDLE device = os::CreateFileA(path.c_str(), 0, os::FILE_SHARE_READ | os::FILE_SHARE_WRITE,
                                        os::OPEN_EXISTING, os::FILE_FLAG_OVERLAPPED);
    if (device == os::INVALID_HANDLE_VALUE()) continue;
    if (IdentifyAdapter(device, found)) {
      found->device = device;
      return true;
    }
    os::CloseHandle(device);
  }
  return false;
}
