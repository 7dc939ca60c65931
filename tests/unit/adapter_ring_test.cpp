// The ring reports, byte for byte, for each generation; and the ring timers
// of an incoming call driving them.
#include "platform/os_window.h"
#include "platform/sim/hid_devices.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "tests/unit/adapter_fixture.h"

namespace {
const std::vector<os::BYTE> RING_ON = Report({0x00, 0x04, 0x3D, 0x40, 0x01, 0x30}, 33);
const std::vector<os::BYTE> RING_OFF = Report({0x00, 0x04, 0x3D, 0x40, 0x01, 0x00}, 33);
const std::vector<os::BYTE> PLUS_RING_ON = Report({0x00, 0x20, 0x00, 0x00, 0x01, 0x01, 0x03}, 65);
const std::vector<os::BYTE> PLUS_RING_OFF = Report({0x00, 0x20, 0x00, 0x00, 0x01, 0x01, 0x00}, 65);
}  // namespace

TEST_F(AdapterTest, TheRingTimersRingASecondGenerationAdapter) {
  PlugInSecondGeneration();
  StartHooked();
  ASSERT_TRUE(WaitForEvent("DeviceAdded"));
  sim::ClearHidCalls();

  theMainWindow->callState = 4;  // an incoming call rings
  os::PostMessageA(MainWindow(), os::WM_TIMER, RING_ON_TIMER_ID, 0);
  desktop.RunFor(2010);
  EXPECT_EQ(CountOf("RingOn(Skype)"), 1);
  EXPECT_EQ(ReportsSet(), (std::vector<std::vector<os::BYTE>>{RING_ON, RING_OFF}));
}

TEST_F(AdapterTest, APlusAdapterGetsTheLongRingReport) {
  PlugIn(0xC200, u"Plus000000X1", {65});
  StartHooked();
  ASSERT_TRUE(WaitForEvent("DeviceAdded"));
  sim::ClearHidCalls();
  SetRinging(true);
  SetRinging(false);
  EXPECT_EQ(ReportsSet(), (std::vector<std::vector<os::BYTE>>{PLUS_RING_ON, PLUS_RING_OFF}));
}
