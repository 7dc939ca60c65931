// Watching the accepted adapter: unplugging it, losing the softphone, and
// closing the program while the adapter is in use.
#include "platform/os_window.h"
#include "platform/sim/hid_devices.h"
#include "shell/main_dialog.h"
#include "tests/unit/adapter_fixture.h"

TEST_F(AdapterTest, UnpluggingDropsTheAdapterAtTheNextCheckAndReportsItOnce) {
  std::string path = PlugInSecondGeneration();
  StartHooked();
  ASSERT_TRUE(WaitForEvent("DeviceAdded"));
  ASSERT_TRUE(desktop.RunUntil([] { return theMainWindow->adapterReady == 1; }, 100));

  sim::Unplug(path);
  ASSERT_TRUE(WaitForEvent("DeviceRemoved", 1, 3000));
  EXPECT_TRUE(Has(LastRecordOf("DeviceRemoved"), "pi=0000; sn=;"));
  EXPECT_EQ(theMainWindow->adapterHandle, nullptr);
  EXPECT_EQ(theMainWindow->adapterSerial, "");
  EXPECT_EQ(theMainWindow->adapterReady, 0);
  EXPECT_EQ(desktop.TrayIcons().at(0).tip, "CorvaloPlugin (Please plug in and start MJ)");
  EXPECT_EQ(sim::OpenDeviceHandleCount(), 0);

  // The closed handle is not used for ringing any more.
  sim::ClearHidCalls();
  SetRinging(true);
  EXPECT_TRUE(sim::HidCalls().empty());

  desktop.RunFor(10000);
  EXPECT_EQ(CountOf("DeviceRemoved"), 1);
  EXPECT_EQ(CountOf("DeviceAdded"), 1);

  PlugInSecondGeneration();
  EXPECT_TRUE(WaitForEvent("DeviceAdded", 2, 3100));
}

TEST_F(AdapterTest, LosingTheSoftphoneDropsTheAdapterAndEndsTheSearches) {
  PlugInSecondGeneration();
  StartHooked();
  ASSERT_TRUE(WaitForEvent("DeviceAdded"));

  os::PostMessageA(os::FindWindowA("QWidget", "magicJack"), os::WM_CLOSE, 0, 0);
  ASSERT_TRUE(desktop.RunUntil([this] { return !desktop.IsRunning(softphone); }, 1000));
  ASSERT_TRUE(WaitForEvent("DeviceRemoved", 1, 4100));
  EXPECT_EQ(theMainWindow->adapterProductId, 0u);
  EXPECT_EQ(sim::OpenDeviceHandleCount(), 0);

  sim::ClearHidCalls();
  desktop.RunFor(10000);
  EXPECT_TRUE(sim::HidCalls().empty());
  EXPECT_EQ(CountOf("DeviceAdded"), 1);
  EXPECT_EQ(CountOf("DeviceRemoved"), 1);
}

// The thread ends on the stop without dropping the adapter, so the close
// sequence still switches the ringer off through the open interface.
TEST_F(AdapterTest, ExitWhileWatchingSwitchesTheRingerOffAndReportsNoLoss) {
  PlugInSecondGeneration();
  StartHooked();
  ASSERT_TRUE(WaitForEvent("DeviceAdded"));
  sim::ClearHidCalls();

  ASSERT_TRUE(ExitProgram());
  ASSERT_EQ(sim::FeatureReportsSet().size(), 1u);
  EXPECT_TRUE(sim::FeatureReportsSet()[0].succeeded);
  EXPECT_EQ(ReportsSet()[0], Report({0x00, 0x04, 0x3D, 0x40, 0x01, 0x00}, 33));
  EXPECT_EQ(LogEvents().back(), "ProgramClose");
  EXPECT_EQ(CountOf("DeviceRemoved"), 0);
  EXPECT_EQ(sim::OpenDeviceHandleCount(), 0);
}

TEST_F(AdapterTest, StoppingWaitsUntilThePollThreadHasEnded) {
  PlugInSecondGeneration();
  StartHooked();
  ASSERT_TRUE(WaitForEvent("DeviceAdded"));
  desktop.RunFor(100);
  int threads = desktop.ThreadCountOf(program);

  desktop.RunInProcess(program, [] { theMainWindow->StopAdapterPollThread(); });
  EXPECT_EQ(theMainWindow->adapterThreadEnded, 1);
  EXPECT_EQ(desktop.ThreadCountOf(program), threads - 1);
  EXPECT_NE(theMainWindow->adapterHandle, nullptr);
  EXPECT_EQ(theMainWindow->adapterProductId, 0xC200u);
}

TEST_F(AdapterTest, AStopBetweenSearchesEndsTheThreadToo) {
  StartProgram();
  int threads = desktop.ThreadCountOf(program);
  desktop.RunInProcess(program, [] { theMainWindow->StopAdapterPollThread(); });
  EXPECT_EQ(theMainWindow->adapterThreadEnded, 1);
  EXPECT_EQ(desktop.ThreadCountOf(program), threads - 1);
}
