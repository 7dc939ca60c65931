// The softphone's registry value "usd", which the program reads when the
// adapter arrives.
//
// Input: the first byte chooses between a value (odd), no value (2 mod 4)
// and no key at all (0 mod 4); the rest is the value's text. Each input
// unplugs the adapter and plugs it in again, so the program reads the value
// on its own arrival path.
#include <cstdint>
#include <string>

#include "platform/sim/hid_devices.h"
#include "shell/main_dialog.h"
#include "standins/softphone/softphone.h"
#include "tests/fuzz/fuzz_desktop.h"

namespace {

// What the program keeps of a value: up to its first NUL, at most 255
// characters, without trailing white space.
std::string Kept(std::string value) {
  value = value.substr(0, value.find('\0')).substr(0, 255);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r' ||
                            value.back() == '\n'))
    value.pop_back();
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DesktopParts parts;
  parts.skype = false;
  FuzzDesktop& world = FuzzDesktop::Get(parts);
  FuzzInput input(data, size);
  int choice = input.Byte() % 4;
  std::string value = input.Rest();
  std::string before = theMainWindow->softphoneVersion;
  if (choice % 2 == 1) {
    world.desktop.SetRegistryString(SOFTPHONE_REGISTRY_KEY, "usd", value);
  } else if (choice == 2) {
    world.desktop.DeleteRegistryKey(SOFTPHONE_REGISTRY_KEY);
    world.desktop.SetRegistryString(SOFTPHONE_REGISTRY_KEY, "other", "x");
  } else {
    world.desktop.DeleteRegistryKey(SOFTPHONE_REGISTRY_KEY);
  }

  sim::Unplug(world.adapterPath);
  if (!world.desktop.RunUntil([] { return theMainWindow->adapterProductId == 0; }, 8000))
    FuzzDesktop::Fail("the adapter's removal was not noticed");
  world.adapterPath = sim::PlugInHidDevice(sim::SoftphoneAdapter());
  if (!world.desktop.RunUntil([] { return theMainWindow->adapterProductId != 0; }, 8000))
    FuzzDesktop::Fail("the adapter's arrival was not noticed");
  world.desktop.RunFor(100);
  sim::ClearHidCalls();

  world.CheckAlive();
  world.CheckStatusRecord();
  world.CheckLogLines();
  // A missing key or value leaves the version read last.
  std::string expected = choice % 2 == 1 ? Kept(value) : before;
  if (theMainWindow->softphoneVersion != expected)
    FuzzDesktop::Fail("usd \"" + value + "\" kept as \"" + theMainWindow->softphoneVersion + "\"");
  return 0;
}
