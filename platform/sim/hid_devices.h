// The simulated USB bus as tests see it: HID devices and plain USB device
// interfaces plugged in and out, and a record of every call the program made
// on a HID device, with the bytes of each feature report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os_hid.h"

namespace sim {

struct HidDevice {
  os::WORD vendorId = 0;
  os::WORD productId = 0;
  os::WORD versionNumber = 0x0100;
  std::u16string serial;                  // the HID serial number string
  std::vector<os::ULONG> featureLengths;  // the report lengths it reads and takes
  bool attributesFail = false;
  bool serialFails = false;
  // Held open by a program outside the desktop's processes, as the
  // softphone holds the adapter: read and write access, sharing nothing.
  bool heldBySoftphone = false;
};

// The first-generation adapter (06E6:C200, serial "MJ00A1B2C3D4", 33-byte
// feature reports) as the softphone holds it: the adapter most tests plug in.
HidDevice SoftphoneAdapter();

// One CreateFileA of a device path, as the program asked for it.
struct DeviceOpen {
  std::string path;
  os::DWORD access;
  os::DWORD shareMode;
  os::DWORD creation;
  os::DWORD flags;  // FILE_FLAG_OVERLAPPED and the rest, as given
  bool succeeded;
  os::DWORD error;  // the last error when it failed
};

// Plugs in a HID device and returns its device path,
// "\\?\hid#vid_xxxx&pid_xxxx#<instance>#{<HID interface class>}".
std::string PlugInHidDevice(const HidDevice& device);
// Plugs in a USB device interface (interface class USB device) with this
// path, e.g. "\\?\usb#vid_1307&pid_1169#<serial>#{a5dcbf10-...}".
void PlugInUsbDevice(const std::string& devicePath);
// The device leaves the bus: it drops out of new device lists, and every
// call on a handle opened to it fails from now on.
void Unplug(const std::string& devicePath);
// From now on SetupDiGetClassDevsA returns no list (or does again).
void RefuseDeviceLists(bool refuse);

enum class HidOp { GetAttributes, GetSerialNumber, GetFeature, SetFeature };

struct HidCall {
  HidOp op;
  std::string devicePath;
  std::vector<os::BYTE> report;  // feature calls: the buffer as the program passed it
  bool succeeded;
  std::uint64_t at;  // virtual time
};

// Every call on an open device handle, in order.
const std::vector<HidCall>& HidCalls();
// The SetFeature calls among them.
std::vector<HidCall> FeatureReportsSet();
void ClearHidCalls();
// Every CreateFileA of a device path, in order.
const std::vector<DeviceOpen>& DeviceOpens();
// Device handles and device lists that live processes still hold.
int OpenDeviceHandleCount();
int OpenDeviceListCount();

}  // namespace sim
