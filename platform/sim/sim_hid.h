// The simulated USB bus's state, kept in World::hid. Like the rest of the
// world it is touched only by the thread holding the baton.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/os_hid.h"
#include "platform/sim/hid_devices.h"

namespace sim {

struct UsbDevice {
  std::string path;
  bool isHid = false;  // interface class HID; else USB device
  HidDevice hid;
  bool present = true;
};

struct DeviceList {
  os::DWORD processId = 0;
  std::vector<std::shared_ptr<UsbDevice>> members;  // as they were when the list was made
};

// An open handle to a device, with the access and sharing it was opened with.
struct OpenDevice {
  std::shared_ptr<UsbDevice> device;
  os::DWORD access = 0;
  os::DWORD shareMode = 0;
};

struct HidState {
  // Every device ever plugged in, in order; unplugged ones stay, not present.
  std::vector<std::shared_ptr<UsbDevice>> devices;
  std::map<os::HDEVINFO, DeviceList> lists;
  // Open device handles (kernel handles of the world) and their devices.
  std::map<os::HANDLE, OpenDevice> openDevices;
  std::vector<DeviceOpen> opens;
  bool refuseLists = false;
  int nextInstance = 1;
  std::vector<HidCall> calls;
};

// The world's USB bus, created on first use.
HidState& Hid();

// The interface class the HID class library reports.
constexpr os::GUID HID_INTERFACE_CLASS = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

}  // namespace sim
