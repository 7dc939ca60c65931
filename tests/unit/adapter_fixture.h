// The program and the stand-in softphone on a simulated desktop whose USB
// bus carries the adapters a test plugs in.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/hid_devices.h"
#include "tests/unit/call_fixture.h"

// The first generation's USB storage device, serial "Storage0042".
constexpr const char* STORAGE_PATH =
    "\\\\?\\usb#vid_1307&pid_1169#Storage0042#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

class AdapterTest : public CallTest {
 protected:
  // A TigerJet HID device with this product id, serial number string and
  // the feature report lengths it answers, held open by the softphone.
  static std::string PlugIn(os::WORD productId, const std::u16string& serial,
                            std::vector<os::ULONG> featureLengths);
  static std::string PlugInSecondGeneration() { return PlugIn(0xC200, u"MJ00A1B2C3D4", {33}); }
  // The softphone, then the program, which adopts and hooks it.
  void StartHooked();
  // Waits until the log holds count records of the event.
  bool WaitForEvent(const std::string& event, int count = 1, os::DWORD maxMs = 4000);
  // Runs SetRinging on a thread of the program.
  void SetRinging(bool on);
  // The bytes of every feature report set, and the lengths of every read.
  static std::vector<std::vector<os::BYTE>> ReportsSet();
  static std::vector<os::ULONG> ReadLengths();
  // Index of the first log record with the event, or -1.
  int IndexOf(const std::string& event) const;
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
};

// A ring report: the given leading bytes, then zeros up to length.
std::vector<os::BYTE> Report(std::vector<os::BYTE> leading, std::size_t length);
