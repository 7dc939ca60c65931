#include "tests/unit/call_fixture.h"
#include "tests/unit/text_lines.h"

#include <algorithm>
#include <sstream>

#include "phonehook/hook_messages.h"
#include "platform/os_window.h"
#include "platform/sim/hid_devices.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "standins/softphone/softphone.h"

os::DWORD CallTest::StartSoftphone(const std::string& arguments) {
  softphone = desktop.StartProcess(SOFTPHONE_EXE, &SoftphoneMain, arguments);
  desktop.RunFor(10);
  return softphone;
}

void CallTest::StartOnBus(const std::string& softphoneArguments) {
  adapterPath = sim::PlugInHidDevice(sim::SoftphoneAdapter());
  StartSoftphone(softphoneArguments);
  StartProgram();
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("DeviceAdded") == 1; }, 5000));
}

void CallTest::StartReady(const std::string& softphoneArguments) {
  StartOnBus(softphoneArguments);
  desktop.RunFor(1000);  // a poll adopts and hooks the softphone
}

void CallTest::PlugInAdapter() {
  int added = CountOf("DeviceAdded");
  if (!softphone) StartSoftphone();
  adapterPath = sim::PlugInHidDevice(sim::SoftphoneAdapter());
  ASSERT_TRUE(desktop.RunUntil([this, added] { return CountOf("DeviceAdded") == added + 1; }, 5000));
}

void CallTest::UnplugAdapter() {
  int removed = CountOf("DeviceRemoved");
  sim::Unplug(adapterPath);
  ASSERT_TRUE(desktop.RunUntil([this, removed] { return CountOf("DeviceRemoved") == removed + 1; }, 5000));
}

void CallTest::Handset(unsigned code, os::DWORD settleMs) {
  os::PostMessageA(os::FindWindowA("Static", "CSJHandsetDriverWnd"), HANDSET_KEY_MSG, code, 0);
  desktop.RunFor(settleMs);
}

void CallTest::Dial(const std::string& keys) {
  for (char key : keys) {
    unsigned code = key == '*' ? HANDSET_STAR : key == '#' ? HANDSET_HASH : static_cast<unsigned>(key);
    Handset(code);
  }
}

void CallTest::RingSoftphone(bool large) {
  os::PostMessageA(os::FindWindowA("QWidget", "magicJack"), SOFTPHONE_RING_CUE, large ? 1 : 0, 0);
  desktop.RunFor(10);
}

void CallTest::EndSoftphoneRing() {
  os::PostMessageA(os::FindWindowA("QWidget", "magicJack"), SOFTPHONE_HANG_UP_CUE, 0, 0);
  desktop.RunFor(10);
}

std::vector<std::string> CallTest::Transcript() const { return TextLines(desktop.ReadFile(TRANSCRIPT)); }

