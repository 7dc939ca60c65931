// The main window's phone signals: the alert tone of SetPhoneSignal and the
// caller identification of SendCallerId, as the running program plays them.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "device/wave.h"
#include "platform/sim/audio_controls.h"
#include "shell/main_dialog.h"
#include "tests/unit/program_fixture.h"

namespace {

// The simulated desktop's local time when the program runs (see world.h).
const os::SYSTEMTIME SIM_START_TIME = {2026, 3, 0, 15, 9, 30, 5, 0};

class PhoneAudioTest : public ProgramTest {
 protected:
  PhoneAudioTest() {
    StartProgram();
    sim::ClearAudioRecords();
  }

  // Runs on a thread of the program, as its timers would.
  void InProgram(const std::function<void(CCorvaloPluginDlg&)>& work) {
    desktop.RunInProcess(program, [&] { work(*theMainWindow); });
  }

  void SendCallerId(const std::string& number, const std::string& name, int suppress = 0,
                    bool adapter = true) {
    InProgram([&](CCorvaloPluginDlg& main) {
      main.adapterHandle = adapter ? reinterpret_cast<os::HANDLE>(0x5000) : nullptr;
      main.SendCallerId(number, name, suppress);
      main.adapterHandle = nullptr;
    });
  }

  int Count(const std::string& event) const {
    std::vector<std::string> events = LogEvents();
    return static_cast<int>(std::count(events.begin(), events.end(), event));
  }

  static std::vector<std::uint8_t> WaveBytes(const CWave& wave) {
    return std::vector<std::uint8_t>(wave.buffer.Data(), wave.buffer.Data() + wave.PlayableSize());
  }
};

}  // namespace

TEST_F(PhoneAudioTest, AlertToneOnPlaysFiveCyclesWithoutWaitingAndOffStopsIt) {
  bool started = false;
  std::uint64_t before = desktop.Now();
  InProgram([&](CCorvaloPluginDlg& main) { started = main.SetPhoneSignal(1, true); });
  EXPECT_TRUE(started);
  EXPECT_LT(desktop.Now() - before, 10u);
  ASSERT_EQ(sim::PlayedBuffers().size(), 1u);
  EXPECT_EQ(sim::PlayedBuffers()[0].data.size(), 22050u);
  EXPECT_EQ(sim::PlayedBuffers()[0].loops, 5u);

  bool stopped = false;
  InProgram([&](CCorvaloPluginDlg& main) { stopped = main.SetPhoneSignal(1, false); });
  EXPECT_TRUE(stopped);
  EXPECT_TRUE(sim::PlayedBuffers()[0].endedByReset);
  EXPECT_EQ(sim::OpenWaveOutCount(), 0);

  bool other = true;
  InProgram([&](CCorvaloPluginDlg& main) { other = main.SetPhoneSignal(2, true); });
  EXPECT_FALSE(other);
  EXPECT_EQ(sim::PlayedBuffers().size(), 1u);
}

TEST_F(PhoneAudioTest, ExitStopsAnAlertToneThatStillPlays) {
  InProgram([](CCorvaloPluginDlg& main) { main.SetPhoneSignal(1, true); });
  ASSERT_EQ(sim::OpenWaveOutCount(), 1);
  ASSERT_TRUE(ExitProgram());
  EXPECT_EQ(sim::OpenWaveOutCount(), 0);
  EXPECT_TRUE(sim::PlayedBuffers().at(0).endedByReset);
}

TEST_F(PhoneAudioTest, CallerIdPlaysOnceBetweenItsTwoLogRecordsAndBlocksUntilPlayed) {
  sim::SetWaveOutDevices({"Speakers", "USB Internet Phone"});
  std::uint64_t before = desktop.Now();
  SendCallerId("5551234567", "JOHNSMITHS");
  std::uint64_t after = desktop.Now();

  ASSERT_EQ(sim::PlayedBuffers().size(), 1u);
  const sim::PlayedBuffer& played = sim::PlayedBuffers()[0];
  CWave expected;
  expected.MakeCallerIdWave("5551234567", "JOHNSMITHS", SIM_START_TIME);
  EXPECT_EQ(played.data, WaveBytes(expected));
  EXPECT_EQ(played.data.size(), 2 * 10067u);
  EXPECT_EQ(played.loops, 1u);
  EXPECT_EQ(played.device, 1u);
  EXPECT_EQ(played.format.nSamplesPerSec, 8000u);
  // 10067 samples last 1259 ms; the wait polls every 20 ms.
  EXPECT_LE(played.doneAt, after);
  EXPECT_GE(after - before, 1259u);
  EXPECT_LE(after - before, 1300u);
  // Played: the output is not held open until the next sound.
  EXPECT_EQ(sim::OpenWaveOutCount(), 0);
  EXPECT_EQ(sim::PreparedHeaderCount(), 0);

  std::vector<std::string> events = LogEvents();
  auto start = std::find(events.begin(), events.end(), "SendCalleridStart");
  ASSERT_NE(start, events.end());
  ASSERT_NE(start + 1, events.end());
  EXPECT_EQ(*(start + 1), "SendCalleridStop");
}

TEST_F(PhoneAudioTest, TheEntryPointSendsFifteenCharactersOfEachField) {
  SendCallerId("12345678901234567890", "ABCDEFGHIJKLMNOPQRST");
  SendCallerId("5", "");
  ASSERT_EQ(sim::PlayedBuffers().size(), 2u);
  EXPECT_EQ(sim::PlayedBuffers()[0].data.size(), 2 * 10734u);
  CWave expected;
  expected.MakeCallerIdWave("123456789012345", "ABCDEFGHIJKLMNO", SIM_START_TIME);
  EXPECT_EQ(sim::PlayedBuffers()[0].data, WaveBytes(expected));
  EXPECT_EQ(sim::PlayedBuffers()[1].data.size(), 2 * 8800u);
  EXPECT_EQ(Count("SendCalleridStart"), 2);
}

TEST_F(PhoneAudioTest, NothingIsSentOrLoggedWithoutAnAdapterWhenSuppressedEmptyOrOffHook) {
  SendCallerId("5551234567", "JOHNSMITHS", 0, false);
  SendCallerId("5551234567", "JOHNSMITHS", 1);
  SendCallerId("", "");
  InProgram([](CCorvaloPluginDlg& main) { main.offHook = 1; });
  SendCallerId("5551234567", "JOHNSMITHS");
  EXPECT_TRUE(sim::PlayedBuffers().empty());
  EXPECT_TRUE(sim::AudioCalls().empty());
  EXPECT_EQ(Count("SendCalleridStart"), 0);
  EXPECT_EQ(Count("SendCalleridStop"), 0);
}

TEST_F(PhoneAudioTest, ARefusedFormatSendsNothingButBothRecordsAreLogged) {
  sim::SetWaveOutFormatFilter(
      [](os::UINT, const os::WAVEFORMATEX& format) { return format.nSamplesPerSec != 8000; });
  SendCallerId("5551234567", "JOHNSMITHS");
  EXPECT_TRUE(sim::PlayedBuffers().empty());
  EXPECT_EQ(Count("SendCalleridStart"), 1);
  EXPECT_EQ(Count("SendCalleridStop"), 1);
}
