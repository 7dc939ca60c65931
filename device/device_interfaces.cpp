#include "device/device_interfaces.h"

#include <vector>

namespace {
// No device path is longer than the system's longest path.
constexpr os::DWORD MAX_DEVICE_PATH = 32768;
}  // namespace

CDeviceInterfaceList::CDeviceInterfaceList(const os::GUID& interfaceClass)
    : interfaceClass(interfaceClass),
      list(os::SetupDiGetClassDevsA(&interfaceClass,
                                    os::DIGCF_PRESENT | os::DIGCF_DEVICEINTERFACE)) {}

CDeviceInterfaceList::~CDeviceInterfaceList() {
  if (list && list != os::INVALID_HANDLE_VALUE()) os::SetupDiDestroyDeviceInfoList(list);
}

bool CDeviceInterfaceList::GetDevicePath(os::DWORD index, std::string* path) const {
  path->clear();
  if (!list || list == os::INVALID_HANDLE_VALUE()) return false;
  os::SP_DEVICE_INTERFACE_DATA interfaceData = {};
  interfaceData.cbSize = sizeof interfaceData;
  if (!os::SetupDiEnumDeviceInterfaces(list, &interfaceClass, index, &interfaceData)) return false;
  os::DWORD size = 0;
  os::SetupDiGetDeviceInterfaceDetailA(list, &interfaceData, nullptr, 0, &size);
  if (size == 0 || size > MAX_DEVICE_PATH) return true;
  std::vector<char> buffer(size, '\0');
  if (os::SetupDiGetDeviceInterfaceDetailA(list, &interfaceData, buffer.data(), size, nullptr)) {
    buffer.back() = '\0';
    *path = buffer.data();
  }
  return true;
}
