// Finding the adapter on the USB bus: the three generations, the serial
// rule, the devices that are skipped, and when no search runs.
#include "device/adapter_serial.h"
#include "platform/sim/hid_devices.h"
#include "shell/main_dialog.h"
#include "tests/unit/adapter_fixture.h"

TEST(AdapterSerial, TheRuleWantsTenLettersOrDigitsBeginningWithALetter) {
  EXPECT_EQ(AcceptSerial("abcdefghij"), "abcdefghij");
  EXPECT_EQ(AcceptSerial("abcdefghi"), "");
  EXPECT_EQ(AcceptSerial("1bcdefghij"), "");
  EXPECT_EQ(AcceptSerial("abcde-ghij"), "");
  EXPECT_EQ(AcceptSerial("abcdefghi "), "");
  EXPECT_EQ(AcceptSerial(std::string("abcdefghi\0j", 11)), "");
  EXPECT_EQ(AcceptSerial("abcdefghi\xC4"), "");
  EXPECT_EQ(AcceptSerial("MJ00A1B2C3"), "mj00a1b2c3");
}

TEST(AdapterSerial, TheInstancePartIsCutFromADevicePath) {
  EXPECT_EQ(SerialFromDevicePath(STORAGE_PATH), "Storage0042");
  EXPECT_EQ(SerialFromDevicePath("a#b#c#d#e"), "c#d");
  EXPECT_EQ(SerialFromDevicePath("a#b#c"), "");
  EXPECT_EQ(SerialFromDevicePath("a#b"), "");
  EXPECT_EQ(SerialFromDevicePath("###"), "");
  EXPECT_EQ(SerialFromDevicePath("no marks"), "");
  EXPECT_EQ(SerialFromDevicePath(""), "");
}

TEST(AdapterSerial, TheStorageSerialComesFromThePresentDeviceWhosePathNamesTheIds) {
  sim::Desktop desktop;
  EXPECT_EQ(GetStorageSerial(0x1307, 0x1169), "");
  sim::PlugInUsbDevice(
      "\\\\?\\usb#vid_0781&pid_5567#Other12345#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  sim::PlugInUsbDevice(
      "\\\\?\\usb#VID_1307&PID_1169#Upper12345#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
  sim::PlugInUsbDevice(STORAGE_PATH);
  EXPECT_EQ(GetStorageSerial(0x1307, 0x1169), "Storage0042");
  sim::Unplug(STORAGE_PATH);
  EXPECT_EQ(GetStorageSerial(0x1307, 0x1169), "");
  EXPECT_EQ(sim::OpenDeviceListCount(), 0);
}

TEST_F(AdapterTest, ASecondGenerationAdapterIsAcceptedReportedAndShown) {
  PlugInSecondGeneration();
  StartHooked();
  ASSERT_TRUE(WaitForEvent("DeviceAdded"));
  EXPECT_LT(IndexOf("SerialNumberFound"), IndexOf("DeviceAdded"));
  EXPECT_EQ(CountOf("MJPlusFound"), 0);
  EXPECT_TRUE(Has(LastRecordOf("SerialNumberFound"), "pi=C200; sn=mj00a1b2c3d4;"));
  EXPECT_TRUE(Has(LastRecordOf("DeviceAdded"), "pi=C200; sn=mj00a1b2c3d4;"));
  EXPECT_EQ(desktop.TrayIcons().at(0).tip, "CorvaloPlugin (Initializing)");
  EXPECT_EQ(theMainWindow->adapterSerial, "mj00a1b2c3d4");
  EXPECT_EQ(theMainWindow->adapterPlus, 0);
  // The adapter's interface stays open; the device list is released.
  EXPECT_NE(theMainWindow->adapterHandle, nullptr);
  EXPECT_EQ(sim::OpenDeviceHandleCount(), 1);
  EXPECT_EQ(sim::OpenDeviceListCount(), 0);
}

TEST_F(AdapterTest, APlusAdapterAnswersOnlyTheLongReadAndIsWatchedWithIt) {
  PlugIn(0xC200, u"Plus000000X1", {65});
  StartHooked();
  ASSERT_TRUE(WaitForEvent("DeviceAdded"));
  int plus = IndexOf("MJPlusFound");
  ASSERT_GE(plus, 0);
  EXPECT_EQ(IndexOf("SerialNumberFound"), plus + 1);
  EXPECT_TRUE(Has(LastRecordOf("DeviceAdded"), "pi=C202; sn=plus000000x1;"));
  EXPECT_EQ(theMainWindow->adapterPlus, 1);

  // The search tries 33 bytes first; the watch reads 65 bytes every 3 s,
  // each time into a buffer of zeros.
  desktop.RunFor(6000);
  EXPECT_EQ(ReadLengths(), (std::vector<os::ULONG>{33, 65, 65, 65, 65}));
  std::vector<std::uint64_t> watchTimes;
  for (const sim::HidCall& call : sim::HidCalls()) {
    if (call.op != sim::HidOp::GetFeature) continue;
    EXPECT_EQ(call.report, std::vector<os::BYTE>(call.report.size(), 0));
    if (call.report.size() == 65) watchTimes.push_back(call.at);
  }
  ASSERT_EQ(watchTimes.size(), 4u);
  EXPECT_EQ(watchTimes[3] - watchTimes[2], 3000u);
}

TEST_F(AdapterTest, AFirstGenerationAdapterTakesTheSerialOfItsStorageDevice) {
  PlugIn(0xC31C, u"HidSerialUnused", {33});
  sim::PlugInUsbDevice(STORAGE_PATH);
  StartHooked();
  ASSERT_TRUE(WaitForEvent("DeviceAdded"));
  EXPECT_EQ(CountOf("MJPlusFound"), 0);
  EXPECT_TRUE(Has(LastRecordOf("DeviceAdded"), "pi=C31C; sn=storage0042;"));
}

TEST_F(AdapterTest, AFirstGenerationAdapterWithoutItsStorageDeviceIsNeverAccepted) {
  PlugIn(0xC31C, u"HidSerialUnused", {33});
  StartHooked();
  desktop.RunFor(10000);
  EXPECT_EQ(CountOf("SerialNumberFound"), 0);
  EXPECT_EQ(CountOf("DeviceAdded"), 0);
  EXPECT_EQ(theMainWindow->adapterHandle, nullptr);
  EXPECT_GE(ReadLengths().size(), 3u);  // searched again every 3 s
  EXPECT_EQ(sim::OpenDeviceHandleCount(), 0);
  EXPECT_EQ(sim::OpenDeviceListCount(), 0);
}

// Everything before the good adapter is skipped without a word, and every
// interface opened for it is closed again.
TEST_F(AdapterTest, DevicesThatAreNoAcceptableAdapterAreSkippedSilently) {
  sim::HidDevice otherVendor;
  otherVendor.vendorId = 0x046D;
  otherVendor.productId = 0xC200;
  otherVendor.serial = u"MJ00A1B2C3D4";
  otherVendor.featureLengths = {33};
  sim::PlugInHidDevice(otherVendor);
  sim::HidDevice mute;
  mute.vendorId = 0x06E6;
  mute.productId = 0xC200;
  mute.attributesFail = true;
  sim::PlugInHidDevice(mute);
  sim::HidDevice noSerial = mute;
  noSerial.attributesFail = false;
  noSerial.serialFails = true;
  noSerial.featureLengths = {33};
  sim::PlugInHidDevice(noSerial);
  PlugIn(0xC201, u"MJ00A1B2C3D4", {33});  // another TigerJet product
  PlugIn(0xC200, u"MJ00A1B2C3D4", {});    // answers no presence read
  PlugIn(0xC200, u"MJ00A1B2C", {33});     // nine characters
  PlugIn(0xC200, u"MJ00A1B2C3D\u0101", {33});
  PlugIn(0xC200, u"Good000000X1", {33});

  StartHooked();
  ASSERT_TRUE(WaitForEvent("DeviceAdded"));
  EXPECT_EQ(CountOf("SerialNumberFound"), 1);
  EXPECT_EQ(theMainWindow->adapterSerial, "good000000x1");
  EXPECT_EQ(sim::OpenDeviceHandleCount(), 1);
}

// The driver may fill the whole 128-byte buffer without a terminator.
TEST_F(AdapterTest, AnOverlongSerialIsReadNoFurtherThanItsBuffer) {
  PlugIn(0xC200, std::u16string(100, u'a'), {33});
  StartHooked();
  ASSERT_TRUE(WaitForEvent("DeviceAdded"));
  EXPECT_EQ(theMainWindow->adapterSerial, std::string(64, 'a'));
}

TEST_F(AdapterTest, WithoutADeviceListNothingIsFoundUntilOneComes) {
  sim::RefuseDeviceLists(true);
  PlugInSecondGeneration();
  StartHooked();
  desktop.RunFor(7000);
  EXPECT_EQ(CountOf("DeviceAdded"), 0);
  sim::RefuseDeviceLists(false);
  EXPECT_TRUE(WaitForEvent("DeviceAdded", 1, 3100));
}

TEST_F(AdapterTest, NoSearchRunsUntilTheSoftphoneIsHooked) {
  PlugInSecondGeneration();
  StartProgram();
  desktop.RunFor(10000);
  EXPECT_TRUE(sim::HidCalls().empty());
  EXPECT_EQ(CountOf("DeviceAdded"), 0);
  StartSoftphone();
  EXPECT_TRUE(WaitForEvent("DeviceAdded", 1, 4100));
}
