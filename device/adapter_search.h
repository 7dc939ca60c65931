// One search of the USB bus for the adapter.
#pragma once

#include <cstdint>
#include <string>

#include "platform/os_hid.h"

struct AdapterFound {
  os::HANDLE device = nullptr;          // its HID interface, left open
  std::uint32_t recordedProductId = 0;  // as the record shows it
  std::string serial;                   // lower case
  bool plus = false;                    // 65-byte feature reports
};

// Walks the present HID interfaces and stops at the first TigerJet adapter
// that answers its presence read and whose serial passes the serial rule.
// Every other interface opened on the way is closed again, and the device
// list is released.
bool SearchAdapter(AdapterFound* found);
