// The adapter's serial number: where it is read and the rule it must pass.
#pragma once

#include <string>

#include "platform/os_hid.h"

// The serial rule: at least 10 characters; in lower case, a letter a-z
// first and only letters a-z and digits 0-9 after it. Returns the text in
// lower case when it passes, "" when it does not.
std::string AcceptSerial(const std::string& text);

// The HID serial number string of an open device as 8-bit text (a
// character beyond 7-bit ASCII becomes '?'); "" when it cannot be read.
std::string ReadHidSerialNumber(os::HANDLE device);

// The serial number of the present USB device whose device-interface path
// contains "vid_%04x&pid_%04x" with the two ids; "" when there is none.
std::string GetStorageSerial(unsigned vendorId, unsigned productId);

// The instance part of a device-interface path
// ("<prefix>#<vendor and product>#<instance>#<interface class>"): what lies
// between the second '#' and the last; "" when the path has no such part.
std::string SerialFromDevicePath(const std::string& path);
