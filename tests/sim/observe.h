// What the invariants read of the desktop: the program's log and window,
// the models' transcripts, the adapter's reports.
#pragma once

#include <string>
#include <vector>

#include "platform/os_types.h"
#include "tests/sim/world.h"

namespace desktop_sim {

// The non-empty lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);
os::HWND MainWindow();
// The text of control 1007 of the program's Call Status window.
std::string ShownRecord();
// The status records of the log, oldest first.
std::vector<std::string> LogRecords(const World& world);
std::string LastLogRecord(const World& world);
// The value of key in a record, or "?" when the record has none.
std::string ValueOf(const std::string& record, const std::string& key);
// A feature report that turns the ringer on (either generation's layout).
bool IsRingOn(const std::vector<os::BYTE>& report);

}  // namespace desktop_sim
