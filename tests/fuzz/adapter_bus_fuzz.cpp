// The adapter's side of the USB bus: the identities, serial number strings
// and feature-report answers of the HID devices the program finds, and the
// first generation's USB storage path that carries its serial.
//
// Input: a byte with the number of HID devices (0 to 3) and whether a
// storage device is there; then per device a vendor and a product choice
// (known ids or two bytes of their own), a flag byte (attribute read fails,
// serial read fails, not held by the softphone, number of report lengths),
// the report lengths it answers, and its serial as a length and UTF-16
// units; then the storage device's serial text.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/hid_devices.h"
#include "shell/main_dialog.h"
#include "shell/settings.h"
#include "tests/fuzz/fuzz_desktop.h"

namespace {

os::WORD Word(FuzzInput& input) { return static_cast<os::WORD>(input.Byte() | input.Byte() << 8); }

sim::HidDevice DeviceFrom(FuzzInput& input) {
  sim::HidDevice device;
  std::uint8_t vendor = input.Byte() % 4;
  device.vendorId = vendor == 3 ? Word(input) : 0x06E6;
  static const os::WORD PRODUCTS[] = {0xC200, 0xC31C, 0xC202};
  std::uint8_t product = input.Byte() % 4;
  device.productId = product == 3 ? Word(input) : PRODUCTS[product];
  std::uint8_t flags = input.Byte();
  device.attributesFail = flags & 0x01;
  device.serialFails = flags & 0x02;
  device.heldBySoftphone = !(flags & 0x04);
  for (int count = (flags >> 3) & 0x03; count > 0; --count) {
    std::uint8_t length = input.Byte();
    device.featureLengths.push_back(length == 0 ? 33 : length == 1 ? 65 : length);
  }
  for (int units = input.Byte() % 80; units > 0; --units) device.serial += static_cast<char16_t>(Word(input));
  return device;
}

bool AcceptableSerial(const std::string& serial) {
  if (serial.empty()) return true;
  if (serial.size() < 10) return false;
  for (char c : serial) {
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DesktopParts parts;
  parts.adapter = false;
  parts.skype = false;
  FuzzDesktop& world = FuzzDesktop::Get(parts, 100);
  FuzzInput input(data, size);
  std::uint8_t shape = input.Byte();
  std::vector<std::string> paths;
  for (int count = shape % 4; count > 0; --count) paths.push_back(sim::PlugInHidDevice(DeviceFrom(input)));
  if (shape & 0x04) {
    std::string path = "\\\\?\\usb#vid_1307&pid_1169#" + input.Rest() + "#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
    sim::PlugInUsbDevice(path);
    paths.push_back(path);
  }
  world.desktop.RunFor(7000);  // two of the adapter thread's searches

  world.CheckAlive();
  world.CheckStatusRecord();
  world.CheckLogLines();
  std::string serial, settings;
  world.desktop.RunInProcess(world.program, [&] {
    serial = theMainWindow->CopyAdapterSerial();
    settings = GetSettingsPath();
  });
  if (!AcceptableSerial(serial)) FuzzDesktop::Fail("serial taken as it came: " + serial);
  const std::string folder = "C:\\Program Files\\CorvaloPlugin\\";
  if (settings.compare(0, folder.size(), folder) != 0 ||
      settings.find_first_of("\\/:", folder.size()) != std::string::npos)
    FuzzDesktop::Fail("settings file outside the program's folder: " + settings);

  for (const std::string& path : paths) sim::Unplug(path);
  if (!world.desktop.RunUntil([] { return theMainWindow->adapterProductId == 0; }, 8000))
    FuzzDesktop::Fail("the adapter's removal was not noticed");
  world.desktop.RunFor(3100);  // the adapter thread sees the empty bus
  sim::ClearHidCalls();
  return 0;
}
