// Wave storage, copies and the alert tone, byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "device/wave.h"

namespace {

using Bytes = std::vector<os::BYTE>;

Bytes Held(const CWaveBuffer& buffer) {
  return buffer.Data() ? Bytes(buffer.Data(), buffer.Data() + buffer.Bytes()) : Bytes();
}

std::unique_ptr<os::BYTE[]> Block(const Bytes& bytes) {
  auto block = std::make_unique<os::BYTE[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), block.get());
  return block;
}

}  // namespace

TEST(WaveBuffer, CopyFromKeepsItsOwnSizeClearsThenCopiesWhatFits) {
  const os::BYTE source[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  CWaveBuffer fresh;  // allocated to the source's shape
  fresh.CopyFrom(source, 3, 2);
  EXPECT_EQ(Held(fresh), Bytes({1, 2, 3, 4, 5, 6}));

  CWaveBuffer larger;
  larger.Attach(Block({9, 9, 9, 9, 9, 9, 9, 9}), 4, 2);
  larger.CopyFrom(source, 2, 2);
  EXPECT_EQ(Held(larger), Bytes({1, 2, 3, 4, 0, 0, 0, 0}));

  CWaveBuffer smaller;
  smaller.Attach(Block({9, 9}), 1, 2);
  smaller.CopyFrom(source, 3, 2);
  EXPECT_EQ(Held(smaller), Bytes({1, 2}));

  // Wider source elements than its own: min(3, 4) x 2 bytes asked for, 3 held.
  CWaveBuffer narrow;
  narrow.Attach(Block({0, 0, 0}), 3, 1);
  narrow.CopyFrom(source, 4, 2);
  EXPECT_EQ(Held(narrow), Bytes({1, 2, 3}));

  // Nothing to copy leaves the data as it was.
  narrow.CopyFrom(source, 0, 1);
  EXPECT_EQ(Held(narrow), Bytes({1, 2, 3}));
}

TEST(WaveBuffer, AnImpossibleSizeLeavesTheBufferEmpty) {
  CWaveBuffer buffer;
  ASSERT_TRUE(buffer.Allocate(10, 2));
  EXPECT_FALSE(buffer.Allocate(0xFFFFFFFF, 0xFFFF));
  EXPECT_EQ(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.Bytes(), 0u);
}

TEST(Wave, CopiesHaveTheirOwnMemoryAndOutliveTheirSource) {
  auto source = std::make_unique<CWave>();
  ASSERT_TRUE(source->MakeTone(400, 0.3, 0.2));
  CWave copy(*source);
  CWave assigned;
  assigned.MakeTone(1000, 1.0, 0.0);  // longer: its samples must all go
  assigned = *source;
  EXPECT_NE(copy.buffer.Data(), source->buffer.Data());
  EXPECT_NE(assigned.buffer.Data(), source->buffer.Data());
  Bytes original = Held(source->buffer);

  source->buffer.Data()[0] = 0;
  source.reset();
  EXPECT_EQ(Held(copy.buffer), original);
  EXPECT_EQ(Held(assigned.buffer), original);
  EXPECT_EQ(assigned.format.nSamplesPerSec, 44100u);

  const CWave& itself = assigned;
  assigned = itself;
  EXPECT_EQ(Held(assigned.buffer), original);
}

TEST(Wave, ThePlayableSizeNeverExceedsWhatTheBufferHolds) {
  CWave wave;
  wave.format = os::WAVEFORMATEX{os::WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
  wave.buffer.Attach(Block({1, 2, 3, 4}), 4, 1);  // 4 bytes, though 4 elements of 2 are claimed
  EXPECT_EQ(wave.PlayableSize(), 4u);
  CWave copy(wave);  // reads only the 4 bytes there are
  EXPECT_EQ(Held(copy.buffer), Bytes({1, 2, 3, 4, 0, 0, 0, 0}));
}

TEST(Tone, TheAlertToneIsHalfASecondOfToneThenSilenceToTheByte) {
  CWave tone;
  ASSERT_TRUE(tone.MakeTone(400, 0.3, 0.2));
  ASSERT_EQ(tone.buffer.Count(), 22050u);
  EXPECT_EQ(tone.PlayableSize(), 22050u);
  const os::BYTE* bytes = tone.buffer.Data();
  EXPECT_EQ(Bytes(bytes, bytes + 6), Bytes({252, 251, 251, 250, 248, 246}));
  EXPECT_NE(bytes[13229], 127);  // the last tone byte
  EXPECT_EQ(*std::min_element(bytes, bytes + 13230), 2);
  EXPECT_EQ(Bytes(bytes + 13230, bytes + 22050), Bytes(8820, 127));

  const os::WAVEFORMATEX expected = {os::WAVE_FORMAT_PCM, 1, 44100, 44100, 1, 8, 0};
  EXPECT_EQ(std::memcmp(&tone.format, &expected, sizeof expected), 0);
}

TEST(Tone, ImpossibleLengthsOrFrequenciesLeaveTheWaveUnchanged) {
  CWave wave;
  ASSERT_TRUE(wave.MakeTone(400, 0.3, 0.2));
  Bytes before = Held(wave.buffer);
  EXPECT_FALSE(wave.MakeTone(400, 0.0, 0.0));
  EXPECT_FALSE(wave.MakeTone(400, -1.0, 0.5));
  EXPECT_FALSE(wave.MakeTone(400, 1e9, 0.0));
  EXPECT_FALSE(wave.MakeTone(std::numeric_limits<double>::infinity(), 0.1, 0.0));
  EXPECT_EQ(Held(wave.buffer), before);

  // A negative silence shortens the block; the tone stops at its end.
  ASSERT_TRUE(wave.MakeTone(400, 0.2, -0.1));
  EXPECT_EQ(wave.buffer.Count(), 4410u);
}
