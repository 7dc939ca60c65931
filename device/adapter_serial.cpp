#include "device/adapter_serial.h"

#include <cstdio>

#include "device/device_interfaces.h"

namespace {

constexpr std::size_t MIN_SERIAL_LENGTH = 10;
constexpr os::ULONG SERIAL_BUFFER_BYTES = 128;

bool IsLowerLetter(char c) { return c >= 'a' && c <= 'z'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string AcceptSerial(const std::string& text) {
  if (text.size() < MIN_SERIAL_LENGTH) return "";
  std::string serial = text;
  for (char& c : serial) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (!IsLowerLetter(serial[0])) return "";
  for (char c : serial) {
    if (!IsLowerLetter(c) && !IsDigit(c)) return "";
  }
  return serial;
}

// The device may fill the whole buffer and leave out the terminator, so the
// text ends at the first zero or at the end of the buffer.
std::string ReadHidSerialNumber(os::HANDLE device) {
  char16_t units[SERIAL_BUFFER_BYTES / sizeof(char16_t)] = {};
  if (!os::HidD_GetSerialNumberString(device, units, sizeof units)) return "";
  std::string text;
  for (char16_t unit : units) {
    if (unit == u'\0') break;
    text += unit < 0x80 ? static_cast<char>(unit) : '?';
  }
  return text;
}

std::string GetStorageSerial(unsigned vendorId, unsigned productId) {
  char pattern[32];
  std::snprintf(pattern, sizeof pattern, "vid_%04x&pid_%04x", vendorId, productId);
  CDeviceInterfaceList devices(os::GUID_DEVINTERFACE_USB_DEVICE);
  std::string path;
  for (os::DWORD index = 0; devices.GetDevicePath(index, &path); ++index) {
    if (path.find(pattern) != std::string::npos) return SerialFromDevicePath(path);
  }
  return "";
}

// Cut in two steps: the text after the path's first '#' up to and including
// its last '#'; of that, what lies between its first '#' and its last
// character.
std::string SerialFromDevicePath(const std::string& path) {
  std::size_t first = path.find('#');
  std::size_t last = path.rfind('#');
  if (first == std::string::npos || last == first) return "";
  std::string middle = path.substr(first + 1, last - first);
  std::size_t start = middle.find('#') + 1;
  if (start >= middle.size()) return "";
  return middle.substr(start, middle.size() - 1 - start);
}
