// The settings file's values: the options and the speed-dial table, whose
// entries become call targets and the names shown for callers.
//
// Input: a slot byte (1 to 50), an action byte, then the file's text. The
// actions, in order: dial "*slot#" on the handset, open the speed-dial
// dialog and close it with OK (which writes the table back) or Cancel, and
// take an incoming Skype call from the partner the slot names.
#include <cstdint>
#include <cstring>
#include <string>

#include "phonehook/hook_messages.h"
#include "platform/os_window.h"
#include "shell/main_dialog.h"
#include "skype/speed_dial.h"
#include "tests/fuzz/fuzz_desktop.h"

namespace {

constexpr os::WPARAM SPEED_DIAL_COMMAND = 155;
constexpr const char* DIALOG_TITLE = "CorvaloPlugin - Skype Speed Dial";

void DialSlot(FuzzDesktop& world, int slot) {
  world.Handset(HANDSET_OFF_HOOK);
  world.Dial("*" + std::to_string(slot) + "#");
  world.desktop.RunFor(500);
  world.CheckStatusRecord();
  world.CheckSkypeCommands();
}

void OpenAndCloseDialog(FuzzDesktop& world, bool ok) {
  os::PostMessageA(world.MainWindow(), os::WM_COMMAND, SPEED_DIAL_COMMAND, 0);
  world.desktop.RunFor(20);
  os::HWND dialog = os::FindWindowA("#32770", DIALOG_TITLE);
  if (!dialog) FuzzDesktop::Fail("the speed-dial dialog did not open");
  os::PostMessageA(os::GetDlgItem(dialog, ok ? os::IDOK : os::IDCANCEL), os::BM_CLICK, 0, 0);
  world.desktop.RunFor(20);
  if (os::FindWindowA("#32770", DIALOG_TITLE)) FuzzDesktop::Fail("the speed-dial dialog did not close");
}

void CallFromSlot(FuzzDesktop& world, int slot) {
  std::string target;
  world.desktop.RunInProcess(world.program, [&] { target = ReadSpeedDialTarget(slot); });
  std::string partner;
  for (char c : target) {
    if (c != '\r' && c != '\n' && !std::strchr(" *#()-", c) && c) partner += c;
  }
  if (partner.empty()) return;
  world.Cue("ring " + partner, 300);
  world.Handset(HANDSET_OFF_HOOK, 300);
  world.CheckStatusRecord();
  world.CheckSkypeCommands();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzDesktop& world = FuzzDesktop::Get(DesktopParts{}, 200);
  FuzzInput input(data, size);
  int slot = 1 + input.Byte() % 50;
  std::uint8_t actions = input.Byte();
  world.desktop.WriteFile(FuzzDesktop::ADAPTER_SETTINGS, input.Rest());

  if (actions & 0x01) {
    DialSlot(world, slot);
    if (!world.ReturnToIdle()) return FuzzDesktop::Discard(), 0;
  }
  if (actions & 0x02) OpenAndCloseDialog(world, actions & 0x04);
  if (actions & 0x08) {
    CallFromSlot(world, slot);
    if (!world.ReturnToIdle()) return FuzzDesktop::Discard(), 0;
  }
  world.CheckAlive();
  world.CheckStatusRecord();
  world.CheckLogLines();
  world.CheckSkypeCommands();
  if (!world.SkypeApiWindow()) FuzzDesktop::Discard();
  return 0;
}
