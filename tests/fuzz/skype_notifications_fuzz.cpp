// Skype's notifications, as WM_COPYDATA records from the attached Skype's
// API window, in every call state.
//
// Input: one byte picks the state the program is brought to first through
// its own inputs (idle, dialling, placing, answered, ringing); then records,
// each a shape byte and a text up to a line feed. The shape gives the
// record's cbData: the text with its terminator, the text without one, a
// size of its own (two more bytes; beyond the text the record is zeros), or
// no data at all; with bit 2 of the shape byte set, 0x01 bytes of the
// text become line feeds.
#include <cstdint>
#include <string>

#include "phonehook/hook_messages.h"
#include "shell/main_dialog.h"
#include "tests/fuzz/fuzz_desktop.h"

namespace {

void ReachState(FuzzDesktop& world, int state) {
  switch (state) {
    case 1:  // dialling a Skype number
      world.Handset(HANDSET_OFF_HOOK);
      world.Dial("*12");
      break;
    case 2:  // placing: the call goes to Skype, which routes it; nobody answers yet
      world.Cue("calls route", 10);
      world.Handset(HANDSET_OFF_HOOK);
      world.Dial("*5550100#");
      world.desktop.RunFor(300);
      world.Cue("calls answer", 10);
      break;
    case 3:  // answered: a Skype call rings in and the handset is lifted
      world.Cue("ring echo123", 300);
      world.Handset(HANDSET_OFF_HOOK, 300);
      break;
    case 4:  // ringing
      world.Cue("ring echo123", 300);
      break;
    default:
      break;
  }
}

os::DWORD RecordSize(FuzzInput& input, int shape, const std::string& text) {
  switch (shape) {
    case 0: return static_cast<os::DWORD>(text.size() + 1);
    case 1: return static_cast<os::DWORD>(text.size());
    case 2: {
      os::DWORD size = input.Byte();
      return size | static_cast<os::DWORD>(input.Byte() & 0x03) << 8;
    }
    default: return 0;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzDesktop& world = FuzzDesktop::Get(DesktopParts{});
  FuzzInput input(data, size);
  int state = input.Byte() % 5;
  ReachState(world, state);
  // The call states' numbers are the states themselves.
  if (theMainWindow->callState != state)
    FuzzDesktop::Fail("state " + std::to_string(state) + " not reached: " + std::to_string(theMainWindow->callState));
  for (int records = 0; records < 8 && input.Left() > 0; ++records) {
    std::uint8_t shapeByte = input.Byte();
    int shape = shapeByte % 4;
    std::string text = input.Until('\n');
    if (shapeByte & 0x04) LineBreaksFromMarks(text);
    os::DWORD cbData = RecordSize(input, shape, text);
    os::HWND skypeWindow = world.SkypeApiWindow();
    if (!skypeWindow) break;  // the link dropped: nothing of Skype's is heard now
    world.SendRecord(world.skype, skypeWindow, text, cbData);
    world.desktop.RunFor(20);
  }
  world.desktop.RunFor(200);
  world.CheckAlive();
  world.CheckStatusRecord();
  world.CheckSkypeCommands();
  world.CheckLogLines();
  if (!world.ReturnToIdle() || !world.SkypeApiWindow()) FuzzDesktop::Discard();
  return 0;
}
