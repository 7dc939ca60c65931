// A RIFF/WAVE file: the "fmt " chunk with the wave's PCM format, then the
// "data" chunk with its bytes. Every field is little-endian.
#include "tools/callerid-wave/wav_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t FORMAT_CHUNK_SIZE = 16;
constexpr std::uint32_t HEADER_SIZE = 44;

void Put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, static_cast<std::uint16_t>(value));
  Put16(out, static_cast<std::uint16_t>(value >> 16));
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

std::vector<std::uint8_t> Header(const os::WAVEFORMATEX& format, std::uint32_t dataSize) {
  std::vector<std::uint8_t> header;
  PutTag(header, "RIFF");
  Put32(header, HEADER_SIZE - 8 + dataSize);
  PutTag(header, "WAVE");
  PutTag(header, "fmt ");
  Put32(header, FORMAT_CHUNK_SIZE);
  Put16(header, format.wFormatTag);
  Put16(header, format.nChannels);
  Put32(header, format.nSamplesPerSec);
  Put32(header, format.nAvgBytesPerSec);
  Put16(header, format.nBlockAlign);
  Put16(header, format.wBitsPerSample);
  PutTag(header, "data");
  Put32(header, dataSize);
  return header;
}

}  // namespace

bool WriteWavFile(const std::string& path, const CWave& wave, std::string* error) {
  std::uint32_t dataSize = wave.PlayableSize();
  if (dataSize > UINT32_MAX - HEADER_SIZE) {
    *error = "the wave is too large for a WAV file";
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    *error = std::strerror(errno);
    return false;
  }
  std::vector<std::uint8_t> header = Header(wave.format, dataSize);
  bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
                 (dataSize == 0 || std::fwrite(wave.buffer.Data(), 1, dataSize, file) == dataSize);
  if (!written) *error = std::strerror(errno);
  if (std::fclose(file) != 0 && written) {
    *error = std::strerror(errno);
    written = false;
  }
  return written;
}
