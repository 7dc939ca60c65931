// The caller-identification message and signal, sample-exact where the
// values are known and otherwise against an independent synthesis: the
// framed message bits played with a plain phase accumulator.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "device/caller_id.h"
#include "device/wave.h"

namespace {

const double PI = std::acos(-1.0);
const os::SYSTEMTIME MARCH_15_0930 = {2026, 3, 0, 15, 9, 30, 5, 0};
const os::SYSTEMTIME DEC_31_2359 = {2025, 12, 3, 31, 23, 59, 59, 999};

std::vector<std::uint8_t> Message(const std::string& number, const std::string& name,
                                  const os::SYSTEMTIME& time = MARCH_15_0930) {
  std::vector<std::uint8_t> buffer(CALLER_ID_MESSAGE_CAPACITY, 0xEE);
  std::size_t length = BuildCallerIdMessage(buffer.data(), buffer.size(), number, name, time);
  buffer.resize(length);
  return buffer;
}

std::vector<std::int16_t> Signal(const std::string& number, const std::string& name,
                                 const os::SYSTEMTIME& time = MARCH_15_0930) {
  InitFskTables();
  std::vector<std::int16_t> samples(CALLER_ID_SAMPLE_CAPACITY);
  samples.resize(GenerateCallerIdSignal(samples.data(), samples.size(), number, name, time));
  return samples;
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// The signal as a plain FSK modulator would make it: bit i of the framed
// characters spans samples ceil(i * 20 / 3) up to ceil((i + 1) * 20 / 3),
// the phase runs on continuously, and the mark runs of 1200 and 400
// samples sit before and after the message.
std::vector<std::int16_t> ReferenceSignal(const std::vector<std::uint8_t>& framedMessage) {
  std::vector<int> bits;
  auto frame = [&bits](std::uint8_t value) {
    bits.push_back(0);
    for (int i = 0; i < 8; ++i) bits.push_back((value >> i) & 1);
    bits.push_back(1);
  };
  for (int i = 0; i < 30; ++i) frame(0x55);
  std::size_t seizureBits = bits.size();
  for (std::uint8_t value : framedMessage) frame(value);

  // The steps the generator's 32-bit tone table really holds.
  auto step = [](double exact) {
    return std::atan2(static_cast<float>(std::sin(exact)), static_cast<float>(std::cos(exact)));
  };
  const double tonesStep[2] = {step(2 * PI * 2200 / 8000), step(2 * PI * 1200 / 8000)};
  std::vector<std::int16_t> samples(4000, 0);
  double phase = 0;
  auto play = [&](int bit, long count) {
    for (long i = 0; i < count; ++i) {
      phase += tonesStep[bit];
      samples.push_back(static_cast<std::int16_t>(std::trunc(8192 * std::cos(phase))));
    }
  };
  auto bitStart = [](std::size_t i) { return static_cast<long>(std::ceil(i * 20.0 / 3.0)); };
  for (std::size_t i = 0; i < bits.size(); ++i) {
    if (i == seizureBits) play(1, 1200);
    play(bits[i], bitStart(i + 1) - bitStart(i));
  }
  play(1, 400);
  return samples;
}

// Type, length, body and a checksum that makes their sum 0 modulo 256.
std::vector<std::uint8_t> Framed(const std::vector<std::uint8_t>& body) {
  std::vector<std::uint8_t> framed = {0x80, static_cast<std::uint8_t>(body.size())};
  framed.insert(framed.end(), body.begin(), body.end());
  unsigned sum = 0;
  for (std::uint8_t value : framed) sum += value;
  framed.push_back(static_cast<std::uint8_t>(-sum));
  return framed;
}

void ExpectCloseTo(const std::vector<std::int16_t>& actual,
                   const std::vector<std::int16_t>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) {
    ASSERT_LE(std::abs(actual[i] - expected[i]), 2) << "sample " << i;
  }
}

}  // namespace

TEST(CallerIdMessage, TenDigitsAndTenLettersGiveTheThreeParametersInOrder) {
  std::vector<std::uint8_t> expected = {0x01, 0x08};
  for (std::uint8_t digit : Bytes("03150930")) expected.push_back(digit);
  expected.insert(expected.end(), {0x02, 0x0A});
  for (std::uint8_t digit : Bytes("5551234567")) expected.push_back(digit);
  expected.insert(expected.end(), {0x07, 0x0A});
  for (std::uint8_t letter : Bytes("JOHNSMITHS")) expected.push_back(letter);

  std::vector<std::uint8_t> message = Message("5551234567", "JOHNSMITHS");
  EXPECT_EQ(message.size(), 34u);
  EXPECT_EQ(message, expected);
}

TEST(CallerIdMessage, AnEmptyFieldKeepsItsParameterWithLengthZero) {
  std::vector<std::uint8_t> message = Message("", "ALICE");
  ASSERT_EQ(message.size(), 19u);
  EXPECT_EQ(message[10], 0x02);
  EXPECT_EQ(message[11], 0x00);
  EXPECT_EQ(message[12], 0x07);
  EXPECT_EQ(message[13], 5);

  message = Message("", "");
  EXPECT_EQ(message.size(), 14u);
}

TEST(CallerIdMessage, TheBuilderCutsEachFieldAt16AndBytesGoAsTheyAre) {
  std::string number = "12345678901234567890";
  std::string name = "Zoë O'Brien-Smythe";  // bytes beyond ASCII pass unchanged
  std::vector<std::uint8_t> message = Message(number, name);
  ASSERT_EQ(message.size(), 46u);
  EXPECT_EQ(message[11], 16);
  EXPECT_EQ(std::vector<std::uint8_t>(message.begin() + 12, message.begin() + 28),
            Bytes(number.substr(0, 16)));
  EXPECT_EQ(message[29], 16);
  EXPECT_EQ(std::vector<std::uint8_t>(message.begin() + 30, message.end()),
            Bytes(name.substr(0, 16)));
}

TEST(CallerIdMessage, ABufferTooSmallGetsNothing) {
  std::vector<std::uint8_t> buffer(33, 0xEE);
  EXPECT_EQ(
      BuildCallerIdMessage(buffer.data(), buffer.size(), "5551234567", "JOHNSMITHS", MARCH_15_0930),
      0u);
  EXPECT_EQ(buffer, std::vector<std::uint8_t>(33, 0xEE));
  EXPECT_EQ(BuildCallerIdMessage(nullptr, 256, "1", "2", MARCH_15_0930), 0u);
}

TEST(CallerIdSignal, HalfASecondOfSilenceThenTheSeizureStartsWithASpaceBit) {
  std::vector<std::int16_t> samples = Signal("5551234567", "JOHNSMITHS");
  ASSERT_EQ(samples.size(), 10067u);
  for (int i = 0; i < 4000; ++i) ASSERT_EQ(samples[i], 0) << i;
  std::vector<std::int16_t> firstBit(samples.begin() + 4000, samples.begin() + 4007);
  EXPECT_EQ(firstBit, std::vector<std::int16_t>({-1281, -7791, 3719, 6627, -5792, -4815, 7299}));
}

TEST(CallerIdSignal, LengthsFollowTheMessageLength) {
  EXPECT_EQ(Signal("5", "").size(), 8800u);  // L = 15
  EXPECT_EQ(Signal("", "A").size(), 8800u);
  EXPECT_EQ(Signal("123456789012345", "ABCDEFGHIJKLMNO").size(), 10734u);            // L = 44
  EXPECT_EQ(Signal("12345678901234567890", "ABCDEFGHIJKLMNOPQRST").size(), 10867u);  // L = 46
}

TEST(CallerIdSignal, EveryBitOfTheFramedMessageAndItsChecksumIsOnTheLine) {
  struct Caller {
    std::string number, name;
  };
  for (const Caller& caller : {Caller{"5551234567", "JOHNSMITHS"}, Caller{"", "ALICE"},
                               Caller{"+4930123456789012", "Zoë O'Brien-Smythe"}}) {
    SCOPED_TRACE(caller.number + " / " + caller.name);
    std::vector<std::uint8_t> framed = Framed(Message(caller.number, caller.name));
    ExpectCloseTo(Signal(caller.number, caller.name), ReferenceSignal(framed));
  }
}

TEST(CallerIdSignal, TwoBuildsDifferOnlyInTheDateAndTimeDigits) {
  std::vector<std::int16_t> first = Signal("5551234567", "JOHNSMITHS");
  EXPECT_EQ(Signal("5551234567", "JOHNSMITHS"), first);

  std::vector<std::int16_t> later = Signal("5551234567", "JOHNSMITHS", DEC_31_2359);
  ASSERT_EQ(later.size(), first.size());
  // The date digits start with message bit 40: sample 7200 + ceil(340 * 20 / 3) - 2000.
  const std::size_t firstDigitSample = 7467;
  EXPECT_TRUE(std::equal(first.begin(), first.begin() + firstDigitSample, later.begin()));
  EXPECT_NE(first, later);
  ExpectCloseTo(later, ReferenceSignal(Framed(Message("5551234567", "JOHNSMITHS", DEC_31_2359))));
}

TEST(CallerIdSignal, ASmallBufferIsFilledToItsEndAndNoFurther) {
  InitFskTables();
  std::vector<std::int16_t> samples(5001, 0x7777);
  EXPECT_EQ(GenerateCallerIdSignal(samples.data(), 5000, "5551234567", "JOHNSMITHS", MARCH_15_0930),
            5000u);
  EXPECT_EQ(samples[4000], -1281);
  EXPECT_EQ(samples[5000], 0x7777);
}

TEST(CallerIdWave, TheWaveHoldsTheSignalAs16BitMonoAt8000AndRefillsTheToneTable) {
  std::vector<std::int16_t> expected = Signal("5551234567", "JOHNSMITHS");
  fskTones[0] = fskTones[1] = FskTone{0, 0};
  CWave wave;
  wave.MakeCallerIdWave("5551234567", "JOHNSMITHS", MARCH_15_0930);
  EXPECT_EQ(wave.format.wFormatTag, 1);
  EXPECT_EQ(wave.format.nChannels, 1);
  EXPECT_EQ(wave.format.nSamplesPerSec, 8000u);
  EXPECT_EQ(wave.format.nAvgBytesPerSec, 16000u);
  EXPECT_EQ(wave.format.nBlockAlign, 2);
  EXPECT_EQ(wave.format.wBitsPerSample, 16);
  EXPECT_EQ(wave.format.cbSize, 0);
  ASSERT_EQ(wave.buffer.Count(), expected.size());
  EXPECT_EQ(wave.buffer.ElementSize(), 2u);
  EXPECT_EQ(wave.PlayableSize(), 2 * expected.size());
  const auto* samples = reinterpret_cast<const std::int16_t*>(wave.buffer.Data());
  EXPECT_EQ(std::vector<std::int16_t>(samples, samples + expected.size()), expected);

  // A second, shorter caller replaces the samples.
  wave.MakeCallerIdWave("5", "", MARCH_15_0930);
  EXPECT_EQ(wave.buffer.Count(), 8800u);
}
