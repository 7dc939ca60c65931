// The adapter's identity on the USB bus and its feature reports: report 0,
// the report id followed by 32 payload bytes, or 64 for the Plus generation.
#pragma once

#include <cstdint>

#include "platform/os_hid.h"

constexpr os::WORD TIGERJET_VENDOR_ID = 0x06E6;
constexpr os::WORD FIRST_GENERATION_PRODUCT_ID = 0xC31C;
constexpr os::WORD SECOND_GENERATION_PRODUCT_ID = 0xC200;
// The Plus generation shows the second generation's product id; the record
// tells it apart with this one.
constexpr std::uint32_t PLUS_RECORDED_PRODUCT_ID = 0xC202;

// The first generation's serial number is that of its USB storage device.
constexpr os::WORD STORAGE_VENDOR_ID = 0x1307;
constexpr os::WORD STORAGE_PRODUCT_ID = 0x1169;

constexpr os::ULONG FEATURE_REPORT_LENGTH = 33;
constexpr os::ULONG PLUS_FEATURE_REPORT_LENGTH = 65;

// The presence test: reads feature report 0 of this length into a
// zero-filled buffer; true when the adapter answers.
bool ReadPresenceReport(os::HANDLE device, os::ULONG length);
