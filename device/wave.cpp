// CWaveBuffer, CWave and the synthesis of a simple tone.
#include "device/wave.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

// Blocks larger than this are refused rather than attempted.
constexpr std::uint64_t MAX_BLOCK_BYTES = 0x7FFFFFFF;

constexpr double TONE_RATE = 44100.0;
// 2 x 3.1416 / 44100: the phase step per hertz at 44100 samples/s, with pi
// taken as 3.1416.
constexpr double PHASE_STEP_PER_HZ = 0.00014247619047619048;
constexpr os::BYTE TONE_CENTRE = 127;
constexpr double TONE_AMPLITUDE = 125.0;

std::unique_ptr<os::BYTE[]> NewBlock(std::uint64_t bytes) {
  if (bytes == 0 || bytes > MAX_BLOCK_BYTES) return nullptr;
  return std::unique_ptr<os::BYTE[]>(new (std::nothrow) os::BYTE[bytes]);
}

}  // namespace

bool CWaveBuffer::Allocate(os::DWORD newCount, os::DWORD newElementSize) {
  std::uint64_t bytes = static_cast<std::uint64_t>(newCount) * newElementSize;
  std::unique_ptr<os::BYTE[]> block = NewBlock(bytes);
  if (!block && bytes != 0) {
    Attach(nullptr, 0, newElementSize);
    return false;
  }
  Attach(std::move(block), newCount, newElementSize);
  return true;
}

void CWaveBuffer::Attach(std::unique_ptr<os::BYTE[]> block, os::DWORD newCount,
                         os::DWORD newElementSize) {
  data = std::move(block);
  count = newCount;
  elementSize = newElementSize;
}

void CWaveBuffer::CopyFrom(const void* source, os::DWORD sourceCount, os::DWORD sourceElementSize) {
  if (!data) Allocate(sourceCount, sourceElementSize);
  std::uint64_t copyBytes =
      static_cast<std::uint64_t>(std::min(count, sourceCount)) * sourceElementSize;
  if (copyBytes == 0 || !data || !source) return;
  std::memset(data.get(), 0, Bytes());
  // A wider source element than our own must not run past our block.
  std::memcpy(data.get(), source, std::min(copyBytes, Bytes()));
}

CWave::CWave() : format{os::WAVE_FORMAT_PCM, 0, 0, 0, 0, 0, 0} {}

CWave::CWave(const CWave& source) : format(source.format) { CopySamplesFrom(source); }

CWave& CWave::operator=(const CWave& source) {
  if (this == &source) return *this;
  format = source.format;
  CopySamplesFrom(source);
  return *this;
}

void CWave::CopySamplesFrom(const CWave& source) {
  os::DWORD align = source.format.nBlockAlign;
  buffer.Allocate(source.buffer.Count(), align);
  // Only what the source really holds is read.
  os::DWORD held = align ? static_cast<os::DWORD>(source.buffer.Bytes() / align) : 0;
  buffer.CopyFrom(source.buffer.Data(), std::min(source.buffer.Count(), held), align);
}

bool CWave::MakeTone(double frequency, double toneSeconds, double silenceSeconds) {
  if (!std::isfinite(frequency)) return false;
  double total = (toneSeconds + silenceSeconds) * TONE_RATE;
  if (!(total >= 1.0 && total <= static_cast<double>(MAX_BLOCK_BYTES))) return false;
  os::DWORD size = static_cast<os::DWORD>(total);
  std::unique_ptr<os::BYTE[]> block = NewBlock(size);
  if (!block) return false;

  os::DWORD k = 0;
  double toneSamples = toneSeconds * TONE_RATE;
  for (; k < size && k < toneSamples; ++k) {
    double value = std::cos(k * frequency * PHASE_STEP_PER_HZ) * TONE_AMPLITUDE + TONE_CENTRE;
    block[k] = static_cast<os::BYTE>(static_cast<int>(value));
  }
  std::memset(block.get() + k, TONE_CENTRE, size - k);

  format = os::WAVEFORMATEX{os::WAVE_FORMAT_PCM, 1, 44100, 44100, 1, 8, 0};
  buffer.Attach(std::move(block), size, 1);
  return true;
}

os::DWORD CWave::PlayableSize() const {
  std::uint64_t size = static_cast<std::uint64_t>(buffer.Count()) * format.nBlockAlign;
  return static_cast<os::DWORD>(std::min(size, buffer.Bytes()));
}
