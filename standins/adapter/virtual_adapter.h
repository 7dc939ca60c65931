// The virtual adapter behind the stand-in hid.dll and setupapi.dll. A test
// controls it through "adapter-control.txt" beside the DLLs, read afresh on
// every call ("key=value" lines; no file, no adapter):
//
//   present=1          the adapter is on the bus (0: unplugged)
//   vendor=06E6        HID vendor id, hexadecimal (default 06E6)
//   product=C200       HID product id, hexadecimal (default C200)
//   reads=33,65        the feature report lengths it answers, reads and writes
//   serial=MJ00A1...   its HID serial number string
//   storage=Serial42   a USB storage device 1307:1169 with this serial is
//                      present too (the first generation's)
//
// "adapter-reports.txt" beside the DLLs gets one line per feature report:
// "get LENGTH ok|failed" or "set LENGTH ok|failed XX XX ..." with every byte.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace adapter {

struct Control {
  bool present = false;
  WORD vendorId = 0x06E6;
  WORD productId = 0xC200;
  std::vector<ULONG> reads;
  std::string serial;
  std::string storageSerial;
};

Control ReadControl();
bool Answers(const Control& control, ULONG length);

// The adapter's HID interface path: a file beside the DLLs, made on demand,
// so that the program's CreateFileA opens it as it would open the device.
std::string HidDevicePath(const Control& control);
std::string StorageDevicePath(const Control& control);
// Whether an open handle is one to the adapter's HID interface file.
bool IsAdapterHandle(HANDLE handle);

void NoteReport(const char* what, ULONG length, bool ok, const BYTE* bytes);

}  // namespace adapter
