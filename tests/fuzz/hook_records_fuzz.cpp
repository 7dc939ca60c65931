// The hook's records: WM_COPYDATA from the hooked softphone window, the
// "FILEPATH" report the hook library sends and the "LOGDATA" record the
// program also takes from it.
//
// Input: records, each a shape byte and a text up to a line feed. The shape
// gives the record's cbData: the text with its terminator, the text without
// one, a size of its own (two more bytes; beyond the text the record is
// zeros), or no data at all; with bit 2 of the shape byte set, 0x01 bytes
// of the text become line feeds.
#include <cstdint>
#include <string>

#include "tests/fuzz/fuzz_desktop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DesktopParts parts;
  parts.adapter = false;
  parts.skype = false;
  FuzzDesktop& world = FuzzDesktop::Get(parts);
  FuzzInput input(data, size);
  for (int records = 0; records < 8 && input.Left() > 0; ++records) {
    std::uint8_t shapeByte = input.Byte();
    int shape = shapeByte % 4;
    std::string text = input.Until('\n');
    if (shapeByte & 0x04) LineBreaksFromMarks(text);
    os::DWORD cbData = shape == 0   ? static_cast<os::DWORD>(text.size() + 1)
                       : shape == 1 ? static_cast<os::DWORD>(text.size())
                       : shape == 2 ? input.Byte() | static_cast<os::DWORD>(input.Byte() & 0x03) << 8
                                    : 0;
    os::HWND softphoneWindow = world.SoftphoneWindow();
    if (!softphoneWindow) FuzzDesktop::Fail("the softphone is no longer hooked");
    world.SendRecord(world.softphone, softphoneWindow, text, cbData);
  }
  world.CheckAlive();
  world.CheckStatusRecord();
  world.CheckLogLines();
  return 0;
}
