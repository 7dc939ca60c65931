// On-hook caller identification: an MDMF message (date and time, number,
// name) sent as Bell 202 FSK (1200 Hz mark, 2200 Hz space, 1200 bit/s),
// synthesised as 16-bit PCM at 8000 samples/s.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/os_types.h"

constexpr std::size_t CALLER_ID_MESSAGE_CAPACITY = 256;
constexpr std::size_t CALLER_ID_SAMPLE_CAPACITY = 32000;
// The message builder keeps at most this many characters of each field...
constexpr std::size_t CALLER_ID_FIELD_LIMIT = 16;
// ...and the entry point sends at most this many.
constexpr std::size_t CALLER_ID_SENT_LIMIT = 15;

// Cosine and sine of a tone's phase step per sample.
struct FskTone {
  float cosine;
  float sine;
};
// [0] the space tone (bit 0, 2200 Hz), [1] the mark tone (bit 1, 1200 Hz).
extern FskTone fskTones[2];

// Fills fskTones.
void InitFskTables();

// Writes the message body (date and time, number and name, each cut to 16
// characters) and returns its length L; 0, writing nothing, when it does
// not fit in capacity. Without localTime the digits are those of now.
std::size_t BuildCallerIdMessage(std::uint8_t* buffer, std::size_t capacity,
                                 const std::string& number, const std::string& name,
                                 const os::SYSTEMTIME& localTime);
std::size_t BuildCallerIdMessage(std::uint8_t* buffer, std::size_t capacity,
                                 const std::string& number, const std::string& name);

// Writes the whole signal: 0.5 s of silence, the channel seizure, the mark
// run, the framed message and the trailing mark. Returns the number of
// samples written, never more than capacity.
std::size_t GenerateCallerIdSignal(std::int16_t* samples, std::size_t capacity,
                                   const std::string& number, const std::string& name,
                                   const os::SYSTEMTIME& localTime);
std::size_t GenerateCallerIdSignal(std::int16_t* samples, std::size_t capacity,
                                   const std::string& number, const std::string& name);

// The part of a number or name that the entry point sends.
std::string CutForCallerId(const std::string& text);
