// The invariants about the phone itself: who rings it, who holds the
// handset, and which of the program's timers run.
#include <set>
#include <vector>

#include "platform/sim/hid_devices.h"
#include "standins/skype/skype_model.h"
#include "standins/softphone/softphone_state.h"
#include "tests/sim/invariants.h"
#include "tests/sim/observe.h"

namespace desktop_sim {

namespace {

// After Skype ends a call (or goes itself), the program may still be in
// one of its prescribed waits (closing the dialer takes up to 5 s, handing
// the handset over up to 8 s) before it hears, and a ring-on due meanwhile
// goes out.
constexpr std::uint64_t RING_GRACE_MS = 10000;

// The timers of the program's table: keep-alive 1 and 2, ring on and off
// 3 and 4, end of dialling 5, unmute 7, no answer 9, the poll 13.
const std::set<os::UINT_PTR> KNOWN_TIMERS = {1, 2, 3, 4, 5, 7, 9, 13};

// A Skype call the program could be ringing the phone for: one ringing in,
// or one placed by hand in Skype, which rings the phone until the handset
// is lifted even once the far end has answered.
bool SkypeCallRingable(const World& world) {
  if (!world.desktop.IsRunning(world.skype)) return false;
  for (const standin_skype::Call& call : standin_skype::skype.calls) {
    if (!standin_skype::IsEnded(call) && (call.status != "INPROGRESS" || !call.incoming)) return true;
  }
  return false;
}

// The program took the handset for a Skype call it answered: the call
// that is on now went from ringing to answered with the handset.
bool ProgramHoldsHandsetForSkype(const World& world) {
  std::vector<std::string> records = LogRecords(world);
  if (records.empty()) return false;
  const std::string& last = records.back();
  if (ValueOf(last, "ct") != "2" || ValueOf(last, "cs") != "3" || ValueOf(last, "of") != "1") return false;
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    if (ValueOf(*record, "cs") == "0") return false;
    if (ValueOf(*record, "st") == "CallAnswered" && ValueOf(*record, "ct") == "2") return true;
  }
  return false;
}

}  // namespace

std::string NeverRingsWithoutCall(World& world) {
  bool ringableNow = SkypeCallRingable(world);
  // Skype takes its cues when its thread is free, which may be after the
  // event (it waits while the program handles what it sent): a call that
  // came and went between two checks was ringable meanwhile.
  std::size_t calls = world.desktop.IsRunning(world.skype) ? standin_skype::skype.calls.size() : 0;
  bool newCalls = world.skype != world.observed.skype ? calls > 0 : calls > world.observed.skypeCalls;
  const std::vector<sim::HidCall>& reports = sim::HidCalls();
  std::string failure;
  for (std::size_t i = world.observed.hidCallsSeen; i < reports.size() && failure.empty(); ++i) {
    const sim::HidCall& call = reports[i];
    if (call.op != sim::HidOp::SetFeature || !call.succeeded || !IsRingOn(call.report)) continue;
    if (call.at <= world.observed.checkedAt + RING_GRACE_MS) continue;
    if (!world.observed.skypeCallRingable && !ringableNow && !newCalls) {
      failure = "ring-on report at " + std::to_string(call.at) +
                " ms with no Skype call ringing in or being placed since " +
                std::to_string(world.observed.checkedAt) + " ms; last record \"" + LastLogRecord(world) + "\"";
    }
  }
  world.observed.checkedAt = world.desktop.Now();
  world.observed.skypeCallRingable = ringableNow;
  world.observed.hidCallsSeen = reports.size();
  world.observed.skype = world.skype;
  world.observed.skypeCalls = calls;
  return failure;
}

std::string OneHandsetHolder(const World& world) {
  if (!world.desktop.IsRunning(world.softphone) || !world.desktop.IsRunning(world.program)) return "";
  if (!world.hangUpHeard) return "";  // the program still believes the handset it could not hear
  if (!softphone::phone.offHook || !ProgramHoldsHandsetForSkype(world)) return "";
  return "the program answered a Skype call with the handset, and the softphone still holds it; last record \"" +
         LastLogRecord(world) + "\"";
}

std::string TimersMatchState(const World& world) {
  os::HWND main = MainWindow();
  if (!main || !world.desktop.IsRunning(world.program)) return "";
  std::set<os::UINT_PTR> running = world.desktop.RunningTimersOf(main);
  for (os::UINT_PTR id : running) {
    if (!KNOWN_TIMERS.count(id)) return "timer " + std::to_string(id) + " runs, which is none of the program's";
  }
  if (!running.count(13)) return "the poll (timer 13) has stopped";
  if (running.count(2) && !running.count(1)) return "the PONG deadline (timer 2) runs without the keep-alive (1)";
  std::string record = LastLogRecord(world);
  std::string state = ValueOf(record, "cs");
  bool skypeRinging = state == "4" && ValueOf(record, "ct") == "2";
  std::vector<os::UINT_PTR> forbidden;
  if (!skypeRinging) forbidden = {3, 4, 9};
  if (state != "1") forbidden.push_back(5);
  if (state == "0") forbidden.push_back(7);
  for (os::UINT_PTR id : forbidden) {
    if (running.count(id)) return "timer " + std::to_string(id) + " runs in state \"" + record + "\"";
  }
  return "";
}

}  // namespace desktop_sim
