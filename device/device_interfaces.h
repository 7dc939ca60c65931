// The present devices that expose one device-interface class, walked by
// index. The list is taken when the object is made and released with it.
#pragma once

#include <string>

#include "platform/os_hid.h"

class CDeviceInterfaceList {
 public:
  explicit CDeviceInterfaceList(const os::GUID& interfaceClass);
  ~CDeviceInterfaceList();
  CDeviceInterfaceList(const CDeviceInterfaceList&) = delete;
  CDeviceInterfaceList& operator=(const CDeviceInterfaceList&) = delete;

  // False at the first index the list does not have (always, when no list
  // was returned). Otherwise true, with path empty when the interface's
  // device path cannot be read.
  bool GetDevicePath(os::DWORD index, std::string* path) const;

 private:
  os::GUID interfaceClass;
  os::HDEVINFO list;
};
