// The simulated USB bus behaves as the program's tests rely on: device
// lists are snapshots, and handles go dead with their device and close with
// their process.
#include <gtest/gtest.h>

#include "platform/os_hid.h"
#include "platform/os_kernel.h"
#include "platform/sim/desktop.h"
#include "platform/sim/hid_devices.h"

namespace {

os::GUID HidClass() {
  os::GUID guid = {};
  os::HidD_GetHidGuid(&guid);
  return guid;
}

std::string PathAt(os::HDEVINFO list, os::DWORD index) {
  os::GUID hid = HidClass();
  os::SP_DEVICE_INTERFACE_DATA data = {};
  data.cbSize = sizeof data;
  if (!os::SetupDiEnumDeviceInterfaces(list, &hid, index, &data)) return "<end>";
  char path[256];
  if (!os::SetupDiGetDeviceInterfaceDetailA(list, &data, path, sizeof path, nullptr))
    return "<none>";
  return path;
}

os::HANDLE Open(const std::string& path) {
  return os::CreateFileA(path.c_str(), 0, os::FILE_SHARE_READ | os::FILE_SHARE_WRITE,
                         os::OPEN_EXISTING, os::FILE_FLAG_OVERLAPPED);
}

sim::HidDevice Adapter() {
  sim::HidDevice device;
  device.vendorId = 0x06E6;
  device.productId = 0xC200;
  device.serial = u"MJ00A1B2C3D4";
  device.featureLengths = {33};
  return device;
}

}  // namespace

TEST(SimulatedUsb, AListIsASnapshotAndAnUnpluggedDeviceNoLongerOpensOrAnswers) {
  sim::Desktop desktop;
  std::string first = sim::PlugInHidDevice(Adapter());
  os::GUID hid = HidClass();
  os::HDEVINFO list = os::SetupDiGetClassDevsA(&hid, os::DIGCF_PRESENT | os::DIGCF_DEVICEINTERFACE);
  sim::PlugInHidDevice(Adapter());  // comes after the list was made
  EXPECT_EQ(PathAt(list, 0), first);
  EXPECT_EQ(PathAt(list, 1), "<end>");
  EXPECT_EQ(os::GetLastError(), os::ERROR_NO_MORE_ITEMS);

  os::HANDLE device = Open(first);
  ASSERT_NE(device, os::INVALID_HANDLE_VALUE());
  os::BYTE report[65] = {};
  EXPECT_TRUE(os::HidD_GetFeature(device, report, 33));
  EXPECT_FALSE(os::HidD_GetFeature(device, report, 65));  // a length it does not answer
  sim::Unplug(first);
  EXPECT_FALSE(os::HidD_GetFeature(device, report, 33));
  EXPECT_EQ(PathAt(list, 0), first);  // still listed, but gone
  EXPECT_EQ(Open(first), os::INVALID_HANDLE_VALUE());

  EXPECT_TRUE(os::CloseHandle(device));
  EXPECT_FALSE(os::HidD_GetFeature(device, report, 33));
  EXPECT_EQ(os::GetLastError(), os::ERROR_INVALID_HANDLE);
  EXPECT_TRUE(os::SetupDiDestroyDeviceInfoList(list));
  EXPECT_EQ(sim::OpenDeviceHandleCount(), 0);
  EXPECT_EQ(sim::OpenDeviceListCount(), 0);
}

TEST(SimulatedUsb, TheEndOfAProcessClosesItsDeviceHandlesAndLists) {
  sim::Desktop desktop;
  std::string path = sim::PlugInHidDevice(Adapter());
  os::DWORD process = desktop.StartProcess("C:\\Tools\\holder.exe", [path] {
    os::GUID hid = HidClass();
    os::SetupDiGetClassDevsA(&hid, os::DIGCF_PRESENT | os::DIGCF_DEVICEINTERFACE);
    Open(path);
    os::Sleep(1000);
    return 0;
  });
  desktop.RunFor(10);
  EXPECT_EQ(sim::OpenDeviceHandleCount(), 1);
  EXPECT_EQ(sim::OpenDeviceListCount(), 1);
  desktop.RunFor(1000);
  EXPECT_FALSE(desktop.IsRunning(process));
  EXPECT_EQ(sim::OpenDeviceHandleCount(), 0);
  EXPECT_EQ(sim::OpenDeviceListCount(), 0);
}
