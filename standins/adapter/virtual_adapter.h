// The virtual HID bus behind the stand-in hid.dll and setupapi.dll. A test
// controls it through "adapter-control.txt" beside the DLLs, read afresh on
// every call ("key=value" lines; no file, nothing on the bus):
//
//   present=1          the adapter is on the bus (0: unplugged)
//   vendor=06E6        its HID vendor id, hexadecimal (default 06E6)
//   product=C200       its HID product id, hexadecimal (default C200)
//   reads=33,65        the feature report lengths it answers, reads and writes
//   serial=MJ00A1...   its HID serial number string
//   storage=Serial42   a USB storage device 1307:1169 with this serial is
//                      present too (the first generation's)
//   fail=attributes    its attribute read fails; "fail=serial": its serial
//                      read fails (both may be given, comma-separated)
//   foreign=1          other HID devices are listed before it, as on a real
//                      bus: a keyboard (046D:C31C), a mouse (046D:C077) and a
//                      device of the adapter's vendor with another product
//                      (06E6:C300); none answers a feature read
//   second=C200,33,MJ00FFEEDD01   a second adapter listed after the first:
//                      product, report lengths ('/'-separated), serial
//
// Each HID interface path names a file beside the DLLs. The bus holds every
// one of them open for reading and writing without sharing, as the
// softphone holds the adapter, so an open asking for read or write access
// fails with a sharing violation; the program's open (no access, sharing
// reads and writes) succeeds.
//
// "adapter-reports.txt" beside the DLLs gets one line per feature report,
// "get LENGTH ok|failed" or "set LENGTH ok|failed XX XX ..." with every
// byte, and one line per attribute read, "attributes VVVV:PPPP ok|failed
// ACCESS MODE": ACCESS is "no-data-access" or "read", "write", "read-write"
// as the handle was opened, MODE "overlapped" or "synchronous".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace adapter {

struct Device {
  WORD vendorId = 0x06E6;
  WORD productId = 0xC200;
  std::vector<ULONG> reads;
  std::string serial;
  bool failAttributes = false;
  bool failSerial = false;
  int instance = 0;  // fixed per device, part of its path
};

struct Control {
  bool present = false;
  Device adapter;
  std::string storageSerial;
  bool foreign = false;
  bool second = false;
  Device secondAdapter;
};

Control ReadControl();
// The HID devices on the bus now, in the order the bus lists them.
std::vector<Device> HidDevices(const Control& control);
bool Answers(const Device& device, ULONG length);

// A device's HID interface path: a file beside the DLLs, made on demand and
// held as described above.
std::string HidDevicePath(const Device& device);
std::string StorageDevicePath(const Control& control);
// The device on the bus now that an open handle belongs to, or false.
bool DeviceOf(HANDLE handle, Device* device);

// The open mode of a handle, as "ACCESS MODE" (see above).
std::string OpenModeOf(HANDLE handle);
void NoteLine(const std::string& line);
void NoteReport(const char* what, ULONG length, bool ok, const BYTE* bytes);

}  // namespace adapter
