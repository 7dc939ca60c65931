// The caller-identification message and its FSK signal. Pure computation:
// the date and time come in as an argument.
#include <algorithm>
#include <array>
#include <cmath>

#include "device/caller_id.h"
#include "device/wave.h"

namespace {

// Phase steps per sample at 8000 samples/s: 2 pi 2200 / 8000 and 2 pi 1200 / 8000.
constexpr double SPACE_PHASE_STEP = 1.7278759594743862;
constexpr double MARK_PHASE_STEP = 0.9424777960769379;

FskTone ToneFor(double phaseStep) {
  return FskTone{static_cast<float>(std::cos(phaseStep)), static_cast<float>(std::sin(phaseStep))};
}

constexpr std::uint8_t DATE_TIME_PARAMETER = 0x01;
constexpr std::uint8_t NUMBER_PARAMETER = 0x02;
constexpr std::uint8_t NAME_PARAMETER = 0x07;
constexpr std::uint8_t DATE_TIME_LENGTH = 8;
constexpr std::uint8_t MULTIPLE_DATA_MESSAGE = 0x80;

constexpr int SPACE = 0;
constexpr int MARK = 1;
constexpr std::size_t LEADING_SILENCE_SAMPLES = 4000;
constexpr int SEIZURE_CHARACTERS = 30;
constexpr std::uint8_t SEIZURE_CHARACTER = 0x55;
constexpr std::size_t MARK_RUN_SAMPLES = 1200;
constexpr std::size_t TRAILING_MARK_SAMPLES = 400;
// 20/3 samples per bit, as a 32-bit float (6.6666665).
constexpr float BIT_LENGTH = 20.0f / 3.0f;
constexpr double PEAK_AMPLITUDE = 8192.0;

void PutTwoDigits(std::uint8_t*& out, unsigned value) {
  *out++ = static_cast<std::uint8_t>('0' + value / 10 % 10);
  *out++ = static_cast<std::uint8_t>('0' + value % 10);
}

void PutParameter(std::uint8_t*& out, std::uint8_t type, const std::string& text,
                  std::size_t length) {
  *out++ = type;
  *out++ = static_cast<std::uint8_t>(length);
  out = std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), out);
}

// Synthesises the signal sample by sample into a bounded buffer. The
// oscillator (x, y) turns by the current tone's phase step each sample and
// is pulled back onto the unit circle; the bit timer t carries its
// remainder from bit to bit.
class SignalWriter {
 public:
  SignalWriter(std::int16_t* samples, std::size_t capacity)
      : samples(samples), capacity(capacity) {}

  void Silence(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) Put(0);
  }

  void Tone(int bit, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) Put(NextSample(bit));
  }

  // A start bit, eight data bits from the least significant, a stop bit.
  void Character(std::uint8_t value) {
    Bit(SPACE);
    for (int i = 0; i < 8; ++i) Bit((value >> i) & 1);
    Bit(MARK);
  }

  std::size_t Written() const { return written; }

 private:
  void Bit(int bit) {
    while (t < BIT_LENGTH) {
      Put(NextSample(bit));
      t += 1.0f;
    }
    t -= BIT_LENGTH;
  }

  std::int16_t NextSample(int bit) {
    const FskTone& tone = fskTones[bit];
    float turnedX = static_cast<float>(x * tone.cosine - y * tone.sine);
    float turnedY = static_cast<float>(y * tone.cosine + x * tone.sine);
    double correction =
        2.0 - (static_cast<double>(turnedX) * turnedX + static_cast<double>(turnedY) * turnedY);
    x = turnedX * correction;
    y = turnedY * correction;
    return static_cast<std::int16_t>(static_cast<int>(PEAK_AMPLITUDE * x));
  }

  void Put(std::int16_t sample) {
    if (written < capacity) samples[written++] = sample;
  }

  std::int16_t* samples;
  std::size_t capacity;
  std::size_t written = 0;
  double x = 1.0;
  double y = 0.0;
  float t = 0.0f;
};

}  // namespace

FskTone fskTones[2] = {ToneFor(SPACE_PHASE_STEP), ToneFor(MARK_PHASE_STEP)};

void InitFskTables() {
  fskTones[SPACE] = ToneFor(SPACE_PHASE_STEP);
  fskTones[MARK] = ToneFor(MARK_PHASE_STEP);
}

std::size_t BuildCallerIdMessage(std::uint8_t* buffer, std::size_t capacity,
                                 const std::string& number, const std::string& name,
                                 const os::SYSTEMTIME& localTime) {
  std::size_t numberLength = std::min(number.size(), CALLER_ID_FIELD_LIMIT);
  std::size_t nameLength = std::min(name.size(), CALLER_ID_FIELD_LIMIT);
  std::size_t length = 2 + DATE_TIME_LENGTH + 2 + numberLength + 2 + nameLength;
  if (!buffer || capacity < length) return 0;

  std::uint8_t* out = buffer;
  *out++ = DATE_TIME_PARAMETER;
  *out++ = DATE_TIME_LENGTH;
  PutTwoDigits(out, localTime.wMonth);
  PutTwoDigits(out, localTime.wDay);
  PutTwoDigits(out, localTime.wHour);
  PutTwoDigits(out, localTime.wMinute);
  PutParameter(out, NUMBER_PARAMETER, number, numberLength);
  PutParameter(out, NAME_PARAMETER, name, nameLength);
  return length;
}

std::size_t GenerateCallerIdSignal(std::int16_t* samples, std::size_t capacity,
                                   const std::string& number, const std::string& name,
                                   const os::SYSTEMTIME& localTime) {
  std::array<std::uint8_t, CALLER_ID_MESSAGE_CAPACITY> message{};
  std::size_t length =
      BuildCallerIdMessage(message.data(), message.size(), number, name, localTime);
  if (!samples) return 0;

  SignalWriter signal(samples, capacity);
  signal.Silence(LEADING_SILENCE_SAMPLES);
  for (int i = 0; i < SEIZURE_CHARACTERS; ++i) signal.Character(SEIZURE_CHARACTER);
  signal.Tone(MARK, MARK_RUN_SAMPLES);

  // The checksum makes type, length, body and checksum sum to 0 modulo 256.
  unsigned sum = MULTIPLE_DATA_MESSAGE + static_cast<unsigned>(length);
  signal.Character(MULTIPLE_DATA_MESSAGE);
  signal.Character(static_cast<std::uint8_t>(length));
  for (std::size_t i = 0; i < length; ++i) {
    signal.Character(message[i]);
    sum += message[i];
  }
  signal.Character(static_cast<std::uint8_t>(0x100 - sum % 0x100));
  signal.Tone(MARK, TRAILING_MARK_SAMPLES);
  return signal.Written();
}

std::string CutForCallerId(const std::string& text) { return text.substr(0, CALLER_ID_SENT_LIMIT); }

void CWave::MakeCallerIdWave(const std::string& number, const std::string& name,
                             const os::SYSTEMTIME& localTime) {
  InitFskTables();
  // Cleared before each generation; a fixed size, so only the wave's own
  // copy is allocated.
  std::array<std::int16_t, CALLER_ID_SAMPLE_CAPACITY> samples{};
  std::size_t count =
      GenerateCallerIdSignal(samples.data(), samples.size(), number, name, localTime);
  format = os::WAVEFORMATEX{os::WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
  buffer.Allocate(static_cast<os::DWORD>(count), sizeof(std::int16_t));
  buffer.CopyFrom(samples.data(), static_cast<os::DWORD>(count), sizeof(std::int16_t));
}
