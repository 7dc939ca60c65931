// Rules of the phone device that no other test would miss if they changed:
// the alert tone's exact bytes (pi taken as 3.1416), the caller-ID
// oscillator's amplitude correction on every sample, the 2 s cap on waiting
// for caller identification, and how the adapter is opened beside the
// softphone that holds it.
#include <cmath>
#include <cstdint>
#include <vector>

#include "device/caller_id.h"
#include "phonehook/hook_messages.h"
#include "platform/os_hid.h"
#include "platform/sim/audio_controls.h"
#include "platform/sim/hid_devices.h"
#include "tests/unit/rules_fixture.h"

namespace {

const double PI = std::acos(-1.0);

// The documented oscillator, written out from its description: the pair
// (x, y) turned by the tone's 32-bit cosine and sine, each result rounded
// to 32 bits, then pulled back by k = 2 - (x'^2 + y'^2) on every sample.
class ReferenceOscillator {
 public:
  std::int16_t Next(int bit) {
    const double step = 2 * PI * (bit ? 1200 : 2200) / 8000;
    const float c = static_cast<float>(std::cos(step)), s = static_cast<float>(std::sin(step));
    const float turnedX = static_cast<float>(x * c - y * s);
    const float turnedY = static_cast<float>(y * c + x * s);
    const double k = 2.0 - (static_cast<double>(turnedX) * turnedX + static_cast<double>(turnedY) * turnedY);
    x = turnedX * k;
    y = turnedY * k;
    return static_cast<std::int16_t>(std::trunc(8192.0 * x));
  }

 private:
  double x = 1.0, y = 0.0;
};

// Silence, seizure, mark run, framed message, trailing mark, with the bit
// timer a 32-bit float that carries its remainder across bits.
std::vector<std::int16_t> ReferenceSignal(const std::vector<std::uint8_t>& message) {
  std::vector<std::int16_t> samples(4000, 0);
  ReferenceOscillator oscillator;
  float t = 0.0f;
  const float bitLength = 20.0f / 3.0f;
  auto bit = [&](int value) {
    while (t < bitLength) {
      samples.push_back(oscillator.Next(value));
      t += 1.0f;
    }
    t -= bitLength;
  };
  auto character = [&](std::uint8_t value) {
    bit(0);
    for (int i = 0; i < 8; ++i) bit((value >> i) & 1);
    bit(1);
  };
  auto markRun = [&](int count) {
    for (int i = 0; i < count; ++i) samples.push_back(oscillator.Next(1));
  };
  for (int i = 0; i < 30; ++i) character(0x55);
  markRun(1200);
  unsigned sum = 0x80 + static_cast<unsigned>(message.size());
  character(0x80);
  character(static_cast<std::uint8_t>(message.size()));
  for (std::uint8_t value : message) {
    character(value);
    sum += value;
  }
  character(static_cast<std::uint8_t>(0x100 - sum % 0x100));
  markRun(400);
  return samples;
}

}  // namespace

TEST(CallerIdOscillator, EverySampleIsThePulledBackOscillatorsToTheUnit) {
  const os::SYSTEMTIME time = {2026, 3, 0, 15, 9, 30, 5, 0};
  const std::string number = "5551234567", name = "(S)Bob Smith";
  std::vector<std::uint8_t> message(CALLER_ID_MESSAGE_CAPACITY);
  message.resize(BuildCallerIdMessage(message.data(), message.size(), number, name, time));
  InitFskTables();
  std::vector<std::int16_t> samples(CALLER_ID_SAMPLE_CAPACITY);
  samples.resize(GenerateCallerIdSignal(samples.data(), samples.size(), number, name, time));
  std::vector<std::int16_t> expected = ReferenceSignal(message);
  ASSERT_EQ(samples.size(), expected.size());
  for (std::size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(samples[i], expected[i]) << "sample " << i;
}

// The tone byte k is cos(k x 400 x 2 x 3.1416 / 44100) x 125 + 127, cut
// toward zero: a truer pi changes hundreds of them.
TEST_F(RulesTest, TheAlertToneIsBuiltWithPiAs3_1416ToTheByte) {
  StartWithAdapter(NO_SKYPE);
  Handset(HANDSET_OFF_HOOK);
  sim::ClearAudioRecords();
  Dial("*5#");
  desktop.RunFor(1000);
  ASSERT_EQ(CountOf("NoSkypeRunning"), 1);
  ASSERT_FALSE(sim::PlayedBuffers().empty());
  const std::vector<std::uint8_t>& tone = sim::PlayedBuffers().back().data;
  ASSERT_EQ(tone.size(), 22050u);
  const double stepPerHertz = 2 * 3.1416 / 44100;
  int differences = 0;
  for (int k = 0; k < 13230; ++k) {
    auto expected = static_cast<std::uint8_t>(static_cast<int>(std::cos(k * 400 * stepPerHertz) * 125 + 127));
    if (tone[k] != expected) ++differences;
  }
  EXPECT_EQ(differences, 0);
  for (std::size_t k = 13230; k < tone.size(); ++k) ASSERT_EQ(tone[k], 127) << k;
}

// With an audio driver that never plays the signal out, the ring timer's
// wait for it still ends after 2 s.
TEST_F(RulesTest, WaitingForCallerIdEndsAfterTwoSecondsWhateverTheAudio) {
  desktop.WriteFile(SETTINGS, "[SpeedDial]\r\nn7=Bob Smith\r\nt7=bob\r\n");
  StartWithAdapter();
  sim::StallWaveOut(true);
  Cue("ring bob", 20);
  desktop.RunFor(5000);
  ASSERT_EQ(CountOf("SendCalleridStop"), 1);
  EXPECT_EQ(LogTimeOf("SendCalleridStop") - LogTimeOf("SendCalleridStart"), 2000);
}

TEST_F(RulesTest, WaitingForCallerIdLastsAsLongAsTheSignalPlays) {
  desktop.WriteFile(SETTINGS, "[SpeedDial]\r\nn7=Bob Smith\r\nt7=bob\r\n");
  StartWithAdapter();
  Cue("ring bob", 20);
  desktop.RunFor(5000);
  ASSERT_EQ(CountOf("SendCalleridStop"), 1);
  long waited = LogTimeOf("SendCalleridStop") - LogTimeOf("SendCalleridStart");
  EXPECT_GT(waited, 1000);
  EXPECT_LT(waited, 2000);
}

// The adapter is opened beside the softphone that holds it: no data
// access, sharing reading and writing, overlapped.
TEST_F(RulesTest, TheAdapterIsOpenedWithoutDataAccessSharingBothOverlapped) {
  StartWithAdapter(NO_SKYPE);
  ASSERT_FALSE(sim::DeviceOpens().empty());
  for (const sim::DeviceOpen& open : sim::DeviceOpens()) {
    EXPECT_TRUE(open.succeeded) << open.path << " error " << open.error;
    EXPECT_EQ(open.access, 0u);
    EXPECT_EQ(open.shareMode, os::FILE_SHARE_READ | os::FILE_SHARE_WRITE);
    EXPECT_EQ(open.creation, os::OPEN_EXISTING);
    EXPECT_EQ(open.flags, os::FILE_FLAG_OVERLAPPED);
  }
}
