// What must hold on the desktop after every event, whatever happened before.
// Each check returns "" when it holds, else what it saw.
#pragma once

#include <string>

#include "tests/sim/world.h"

namespace desktop_sim {

// The program is still running: nothing ended it.
std::string ProgramIsRunning(const World& world);
// Control 1007 shows the record of the log's last line, and that record is
// the fourteen keys in their order.
std::string RecordMatchesLastLogLine(const World& world);
// The log is restarted before it passes 1101 lines.
std::string LogWithinRestartBound(const World& world);
// The tray tip is one of the program's five, and says "Offhook" only while
// the handset is off hook.
std::string TrayTipMatchesHandset(const World& world);
// No ring-on report reaches the adapter once the program has had time to
// see the handset lifted.
std::string NeverRingsOffHook(const World& world);
// Each Skype instance takes commands only after it attached the program.
std::string NoCommandWhileDetached(const World& world);

// All of the above; "" or the first that fails, with its name.
std::string CheckAll(const World& world);
// After everyone hung up with the handset down: the record shows no call
// and the handset on hook within a bounded virtual time.
std::string ReturnsToIdle(World& world);

}  // namespace desktop_sim
