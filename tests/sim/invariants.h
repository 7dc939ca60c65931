// What must hold on the desktop after every event, whatever happened before.
// Each check returns "" when it holds, else what it saw.
#pragma once

#include <map>
#include <string>

#include "tests/sim/world.h"

namespace desktop_sim {

// The program is running, unless the user chose Exit: then it has ended
// with code 0 and taken its tray icon with it.
std::string ProgramIsRunning(const World& world);
// Control 1007 shows the record of the log's last line, and that record is
// the fourteen keys in their order.
std::string RecordMatchesLastLogLine(const World& world);
// The log is restarted before it passes 1101 lines.
std::string LogWithinRestartBound(const World& world);
// The tray tip is one of the program's five, and says "Offhook" only while
// the handset is off hook (or after a hang-up the program could not hear).
std::string TrayTipMatchesHandset(const World& world);
// No ring-on report reaches the adapter once the program has had time to
// see the handset lifted (a lift it could hear: see World::liftHeard).
std::string NeverRingsOffHook(const World& world);
// The adapter on the bus is the one the record names, once the program
// has had time to search: the second generation as C200, the Plus as C202,
// the first as C31C; none (0000) while it is away or unreadable.
std::string AdapterInUseMatchesBus(const World& world);
// Each Skype instance takes commands only after it attached the program;
// once Skype has withdrawn its API, the program learns it from a refused
// command, asks again with a discovery broadcast and sends nothing more
// until it is attached again.
std::string NoCommandWhileDetached(World& world);

// The phone rings only for a Skype call that is ringing in or being
// placed by hand in Skype; the softphone rings its own calls itself.
// Updates what the world remembers between checks.
std::string NeverRingsWithoutCall(World& world);
// While the program holds the handset for a Skype call it answered, the
// softphone does not believe it holds the handset too.
std::string OneHandsetHolder(const World& world);
// The program's window runs only timers of its table, the poll always,
// and only the timers its call state calls for: none of the ringing,
// digit and no-answer timers in idle.
std::string TimersMatchState(const World& world);

// No Skype call ringing in is taken while the "TesselbayPlugin" sibling's
// record shows it busy (anything but cs=0) from one check to the next.
std::string SiblingBusyRespected(World& world);

// All of the above; "" or the first that fails, with its name. A state
// that may pass in a moment (a handler still in its waits) is given that
// moment on the virtual clock before it counts.
std::string CheckAll(World& world);
// After everyone hung up with the handset down: the record shows no call
// and the handset on hook within a bounded virtual time.
std::string ReturnsToIdle(World& world);
// Once idle, the program holds no more objects of any kind (see
// sim::Desktop::LiveObjectsOf) than it held the first time it was idle in
// the same situation: the adapter in use or not, the same windows open, the
// softphone hooked or not, the sound device open or not. Counted afresh for
// each program started.
std::string NothingGrowsAtIdle(World& world);
// "kind count, kind count, ..."
std::string ObjectsText(const std::map<std::string, int>& objects);

}  // namespace desktop_sim
