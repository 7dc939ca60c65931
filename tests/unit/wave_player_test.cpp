// The wave player and the sound bank on the simulated audio system.
#include "device/wave_player.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "device/phone_sounds.h"
#include "device/wave.h"
#include "platform/sim/audio_controls.h"
#include "platform/sim/desktop.h"

namespace {

class SoundBankTest : public ::testing::Test {
 protected:
  // The alert tone as SetPhoneSignal plays it: a copy of slot 19.
  CWave AlertTone() const { return CWave(sounds->waves[CPhoneSounds::ALERT_TONE_SLOT]); }

  static CWave Tone(double seconds) {
    CWave wave;
    wave.MakeTone(400, seconds, 0);
    return wave;
  }

  static std::vector<sim::AudioOp> Ops() {
    std::vector<sim::AudioOp> ops;
    for (const sim::AudioCall& call : sim::AudioCalls()) ops.push_back(call.op);
    return ops;
  }

  sim::Desktop desktop;  // first: the bank's player closes its output on the desktop
  std::unique_ptr<CPhoneSounds> sounds = std::make_unique<CPhoneSounds>();
};

using sim::AudioOp;

}  // namespace

TEST_F(SoundBankTest, TheAlertToneFiveTimesIsOneBufferWithLoopCountFiveAndNoWait) {
  std::uint64_t start = desktop.Now();
  ASSERT_TRUE(sounds->PlayWave(AlertTone(), 5, false));
  EXPECT_EQ(desktop.Now(), start);
  ASSERT_EQ(sim::PlayedBuffers().size(), 1u);
  const sim::PlayedBuffer& played = sim::PlayedBuffers()[0];
  EXPECT_EQ(played.data.size(), 22050u);
  EXPECT_EQ(played.loops, 5u);
  EXPECT_EQ(played.flags & (os::WHDR_BEGINLOOP | os::WHDR_ENDLOOP),
            os::WHDR_BEGINLOOP | os::WHDR_ENDLOOP);
  EXPECT_EQ(played.format.nSamplesPerSec, 44100u);
  EXPECT_EQ(played.format.wBitsPerSample, 8);
  EXPECT_EQ(played.device, os::WAVE_MAPPER);  // no adapter device in the list
  EXPECT_TRUE(sounds->player.IsPlaying());

  desktop.RunFor(2500);
  EXPECT_FALSE(sounds->player.IsPlaying());
  EXPECT_EQ(sim::PlayedBuffers()[0].doneAt - start, 2500u);
  EXPECT_FALSE(sim::PlayedBuffers()[0].endedByReset);
  // The callback gave the header back: unprepared and cleared; the output
  // stays open until the next playback or Stop.
  EXPECT_EQ(sounds->player.header.dwFlags, 0u);
  EXPECT_EQ(sounds->player.header.lpData, nullptr);
  EXPECT_EQ(sim::PreparedHeaderCount(), 0);
  EXPECT_EQ(sounds->player.lastResult, os::MMSYSERR_NOERROR);
  EXPECT_EQ(sim::OpenWaveOutCount(), 1);
}

TEST_F(SoundBankTest, LoopCountsMinusOneAndZeroPlayUntilStop) {
  for (int loops : {-1, 0}) {
    SCOPED_TRACE(loops);
    sim::ClearAudioRecords();
    ASSERT_TRUE(sounds->PlayWave(AlertTone(), loops, false));
    ASSERT_EQ(sim::PlayedBuffers().size(), 1u);
    EXPECT_EQ(sim::PlayedBuffers()[0].loops, 0xFFFFFFFFu);
    desktop.RunFor(3600 * 1000);
    EXPECT_TRUE(sounds->player.IsPlaying());
    EXPECT_TRUE(sounds->Stop());
    EXPECT_FALSE(sounds->player.IsPlaying());
    EXPECT_TRUE(sim::PlayedBuffers()[0].endedByReset);
    EXPECT_EQ(sim::OpenWaveOutCount(), 0);
    EXPECT_EQ(sim::PreparedHeaderCount(), 0);
  }
}

TEST_F(SoundBankTest, StopWithNothingOpenSucceedsWithoutTouchingTheAudioSystem) {
  sim::ClearAudioRecords();
  EXPECT_TRUE(sounds->Stop());
  EXPECT_TRUE(sim::AudioCalls().empty());
}

TEST_F(SoundBankTest, ASecondWaveClosesTheFirstOutputBeforeOpeningItsOwn) {
  ASSERT_TRUE(sounds->PlayWave(AlertTone(), -1, false));
  os::HWAVEOUT first = sounds->player.output;
  sim::ClearAudioRecords();
  ASSERT_TRUE(sounds->PlayWave(Tone(0.1), 1, false));
  std::vector<AudioOp> ops = Ops();
  ASSERT_GE(ops.size(), 4u);
  EXPECT_EQ(ops[0], AudioOp::Reset);
  EXPECT_EQ(sim::AudioCalls()[0].output, first);
  EXPECT_EQ(ops[1], AudioOp::Unprepare);  // the callback, for the buffer the reset returned
  EXPECT_EQ(ops[2], AudioOp::Close);
  EXPECT_EQ(ops[3], AudioOp::Query);
  EXPECT_EQ(sim::OpenWaveOutCount(), 1);
  EXPECT_NE(sounds->player.output, first);
  EXPECT_EQ(sim::PlayedBuffers().back().data.size(), 4410u);
}

TEST_F(SoundBankTest, WaitingReturnsAfterTheWaveOrAfterFiveSeconds) {
  std::uint64_t start = desktop.Now();
  ASSERT_TRUE(sounds->PlayWave(Tone(0.5), 1, true));
  EXPECT_GE(desktop.Now() - start, 500u);
  EXPECT_LE(desktop.Now() - start, 510u);
  EXPECT_FALSE(sounds->player.IsPlaying());

  start = desktop.Now();
  ASSERT_TRUE(sounds->PlayWave(Tone(6.0), 1, true));
  EXPECT_EQ(desktop.Now() - start, 5000u);
  EXPECT_TRUE(sounds->player.IsPlaying());

  // Endless playback is never waited for.
  start = desktop.Now();
  ASSERT_TRUE(sounds->PlayWave(Tone(0.5), -1, true));
  EXPECT_EQ(desktop.Now(), start);
}

TEST_F(SoundBankTest, AFormatTheDefaultOutputRefusesEndsBeforeTheAdapterDeviceIsTouched) {
  sim::SetWaveOutDevices({"Speakers", "USB Internet Phone"});
  sim::SetWaveOutFormatFilter(
      [](os::UINT device, const os::WAVEFORMATEX&) { return device != os::WAVE_MAPPER; });
  sim::ClearAudioRecords();
  EXPECT_FALSE(sounds->PlayWave(AlertTone(), 5, false));
  EXPECT_EQ(Ops(), std::vector<AudioOp>({AudioOp::Query}));
  EXPECT_TRUE(sim::PlayedBuffers().empty());
}

TEST_F(SoundBankTest, DestroyingTheBankWhilePlayingClosesItsOutput) {
  ASSERT_TRUE(sounds->PlayWave(AlertTone(), -1, false));
  sounds.reset();
  EXPECT_EQ(sim::OpenWaveOutCount(), 0);
  EXPECT_TRUE(sim::PlayedBuffers().at(0).endedByReset);
}

TEST_F(SoundBankTest, ThePlayerPlaysItsOwnCopyOfAWaveThatIsGone) {
  CWavePlayer player;
  std::vector<std::uint8_t> expected;
  {
    CWave temporary = Tone(0.1);
    const os::BYTE* data = temporary.buffer.Data();
    expected.assign(data, data + temporary.PlayableSize());
    ASSERT_TRUE(player.SetWave(temporary));
  }
  ASSERT_TRUE(player.Open());
  ASSERT_TRUE(player.Play(1));
  ASSERT_EQ(sim::PlayedBuffers().size(), 1u);
  EXPECT_EQ(sim::PlayedBuffers()[0].data, expected);
  EXPECT_EQ(player.position, player.end);
  EXPECT_EQ(player.end, 4410u);
}

TEST_F(SoundBankTest, PlayerFailuresAreReportedAndRecorded) {
  CWavePlayer player;
  EXPECT_FALSE(player.Play(1));  // nothing open
  EXPECT_EQ(player.lastResult, os::MMSYSERR_INVALHANDLE);
  EXPECT_TRUE(player.Close());

  ASSERT_TRUE(player.SetWave(CWave()));  // format fields 0: no device takes it
  EXPECT_FALSE(player.Open());
  EXPECT_EQ(player.lastResult, os::WAVERR_BADFORMAT);
  EXPECT_FALSE(player.IsOpen());
}

TEST_F(SoundBankTest, SettingAWaveWhilePlayingClosesTheOutputFirst) {
  CWavePlayer player;
  player.SetWave(Tone(1.0));
  ASSERT_TRUE(player.Open());
  ASSERT_TRUE(player.Play(-1));
  ASSERT_TRUE(player.SetWave(Tone(0.1)));
  EXPECT_FALSE(player.IsOpen());
  EXPECT_FALSE(player.IsPlaying());
  EXPECT_TRUE(sim::PlayedBuffers().at(0).endedByReset);
}

TEST_F(SoundBankTest, TheCallbackIgnoresWhatIsNotItsOwnFinishedBuffer) {
  CWavePlayer player;
  player.SetWave(Tone(0.1));
  ASSERT_TRUE(player.Open());
  ASSERT_TRUE(player.Play(1));
  os::WAVEHDR stranger = {};  // done, but no player in its user value
  stranger.dwFlags = os::WHDR_DONE | os::WHDR_PREPARED;
  auto param = [](os::WAVEHDR* header) { return reinterpret_cast<os::DWORD_PTR>(header); };
  CWavePlayer::WaveOutProc(player.output, os::WOM_DONE, 0, param(&stranger), 0);
  CWavePlayer::WaveOutProc(player.output, os::WOM_CLOSE, 0, param(&player.header), 0);
  CWavePlayer::WaveOutProc(player.output, os::WOM_DONE, 0, 0, 0);
  EXPECT_EQ(stranger.dwFlags, os::WHDR_DONE | os::WHDR_PREPARED);
  EXPECT_TRUE(player.IsPlaying());
}
