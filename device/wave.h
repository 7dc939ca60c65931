// In-memory waves: the sample storage CWaveBuffer and the wave CWave, a
// buffer with its PCM format.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/os_audio.h"
#include "platform/os_types.h"

// Sample storage that owns its memory: count elements of elementSize bytes.
class CWaveBuffer {
 public:
  CWaveBuffer() = default;
  CWaveBuffer(const CWaveBuffer&) = delete;
  CWaveBuffer& operator=(const CWaveBuffer&) = delete;

  // Replaces the data by a new uninitialised block of count x elementSize
  // bytes. When no block can be had the buffer is left empty and the
  // result is false.
  bool Allocate(os::DWORD count, os::DWORD elementSize);
  // Takes ownership of a block of count x elementSize bytes.
  void Attach(std::unique_ptr<os::BYTE[]> block, os::DWORD count, os::DWORD elementSize);
  // Allocates first when there is no data; then clears the whole block and
  // copies min(own count, count) elements of elementSize bytes from source,
  // never more than the block holds.
  void CopyFrom(const void* source, os::DWORD count, os::DWORD elementSize);

  const os::BYTE* Data() const { return data.get(); }
  os::BYTE* Data() { return data.get(); }
  os::DWORD Count() const { return count; }
  os::DWORD ElementSize() const { return elementSize; }
  // Bytes the block holds.
  std::uint64_t Bytes() const { return static_cast<std::uint64_t>(count) * elementSize; }

 private:
  os::DWORD elementSize = 0;
  std::unique_ptr<os::BYTE[]> data;
  os::DWORD count = 0;
};

// A wave: the samples and their format. Copies never share memory.
class CWave {
 public:
  CWave();
  CWave(const CWave& source);
  CWave& operator=(const CWave& source);

  // A tone of frequency Hz for toneSeconds, then silence for
  // silenceSeconds, as unsigned 8-bit mono at 44100 samples/s. When no
  // memory can be had the wave is left unchanged and the result is false.
  bool MakeTone(double frequency, double toneSeconds, double silenceSeconds);
  // The caller-identification signal for this caller, 16-bit mono at 8000
  // samples/s, with the date and time digits of localTime or of now
  // (caller_id.h).
  void MakeCallerIdWave(const std::string& number, const std::string& name,
                        const os::SYSTEMTIME& localTime);
  void MakeCallerIdWave(const std::string& number, const std::string& name);

  // Bytes to play: the element count times the format's block alignment,
  // but never more than the buffer holds.
  os::DWORD PlayableSize() const;

  CWaveBuffer buffer;
  os::WAVEFORMATEX format;

 private:
  // Allocate (source count, source block alignment), then CopyFrom.
  void CopySamplesFrom(const CWave& source);
};
