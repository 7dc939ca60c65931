// Finding the adapter's audio devices by product name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/audio_devices.h"
#include "platform/sim/audio_controls.h"
#include "platform/sim/desktop.h"

namespace {

class AudioDevicesTest : public ::testing::Test {
 protected:
  static int FindOutput(const std::vector<std::string>& names) {
    sim::SetWaveOutDevices(names);
    return FindWaveOutDevice();
  }

  sim::Desktop desktop;
};

}  // namespace

TEST_F(AudioDevicesTest, TheBestRankedPatternWinsAndOfEqualsTheLowerNumber) {
  EXPECT_EQ(FindOutput({"Speakers (HD Audio)", "USB Audio Device", "2- USB Internet Phone"}), 2);
  EXPECT_EQ(FindOutput({"Headset (USB Sound)", "USB Audio Device"}), 1);
  EXPECT_EQ(FindOutput({"Headset (USB Sound)"}), 0);
  EXPECT_EQ(FindOutput({"USB Audio Device", "USB Internet Phone"}), 1);
  EXPECT_EQ(FindOutput({"Speakers", "USB Internet Phone", "3- USB Internet Phone"}), 1);
}

TEST_F(AudioDevicesTest, MatchingIsCaseSensitiveAndNoMatchGivesMinusOne) {
  EXPECT_EQ(FindOutput({"usb internet phone", "Usb Audio Device", "usb"}), -1);
  EXPECT_EQ(FindOutput({"Speakers"}), -1);
}

TEST_F(AudioDevicesTest, AnEmptyListGivesMinusOneWithoutAskingForAnyName) {
  sim::SetWaveInDevices({});
  sim::ClearAudioRecords();
  EXPECT_EQ(FindOutput({}), -1);
  EXPECT_EQ(FindWaveInDevice(), -1);
  for (const sim::AudioCall& call : sim::AudioCalls()) {
    EXPECT_NE(call.op, sim::AudioOp::OutGetDevCaps);
    EXPECT_NE(call.op, sim::AudioOp::InGetDevCaps);
  }
}

TEST_F(AudioDevicesTest, NamesAreProductNamesAndUnreadableDevicesHaveNone) {
  const std::string longName = "USB Audio Device (long product name)";
  sim::SetWaveOutDevices({"USB Internet Phone", longName});
  sim::FailWaveOutCaps(0);
  EXPECT_EQ(GetWaveOutDeviceName(0), "");
  EXPECT_EQ(GetWaveOutDeviceName(1), longName.substr(0, 31));  // the system's field
  EXPECT_EQ(GetWaveOutDeviceName(2), "");
  EXPECT_EQ(FindWaveOutDevice(), 1);
  EXPECT_NE(GetWaveOutDeviceName(-1), "");  // the wave mapper has a name of its own
}

TEST_F(AudioDevicesTest, InputDevicesAreFoundTheSameWayOverTheInputList) {
  sim::SetWaveOutDevices({"Speakers"});
  sim::SetWaveInDevices({"Microphone", "USB Audio Device", "Mic (USB Internet Phone)"});
  EXPECT_EQ(FindWaveInDevice(), 2);
  EXPECT_EQ(GetWaveInDeviceName(1), "USB Audio Device");
  EXPECT_EQ(GetWaveInDeviceName(3), "");
  EXPECT_EQ(FindWaveOutDevice(), -1);
}
