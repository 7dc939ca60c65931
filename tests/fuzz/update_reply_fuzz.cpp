// The update server's reply: the body an Update Check gets back.
//
// Input: the first byte chooses between no answer at all (0) and a reply;
// the rest is the reply's body. The program must show "Update Information"
// with the first line less every "result=" exactly when that line starts
// with "result=", and the warning otherwise.
#include <cstdint>
#include <string>

#include "platform/os_window.h"
#include "platform/sim/internet_replies.h"
#include "tests/fuzz/fuzz_desktop.h"

namespace {

constexpr os::WPARAM UPDATE_CHECK_COMMAND = 32776;

std::string FirstLine(const std::string& body) {
  std::string line = body.substr(0, body.find('\n'));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::string WithoutPrefixes(std::string text) {
  for (std::size_t at = text.find("result="); at != std::string::npos; at = text.find("result=", at))
    text.erase(at, 7);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DesktopParts parts;
  parts.adapter = false;
  parts.softphone = false;
  parts.skype = false;
  FuzzDesktop& world = FuzzDesktop::Get(parts);
  FuzzInput input(data, size);
  bool answers = input.Byte() != 0;
  std::string body = input.Rest();
  sim::ClearHttpReplies();
  if (answers) sim::SetHttpReply("", body);
  std::size_t boxes = world.desktop.MessageBoxes().size();
  os::PostMessageA(world.MainWindow(), os::WM_COMMAND, UPDATE_CHECK_COMMAND, 0);
  world.desktop.RunFor(50);
  world.CheckAlive();
  world.CheckStatusRecord();
  if (world.desktop.MessageBoxes().size() != boxes + 1) FuzzDesktop::Fail("not one message box per check");
  const sim::MessageBoxRecord& shown = world.desktop.MessageBoxes().back();
  std::string line = FirstLine(body);
  // Lines beyond the reader's limit are cut; the decision is the same.
  bool valid = answers && line.compare(0, 7, "result=") == 0;
  if (valid != (shown.caption == "Update Information"))
    FuzzDesktop::Fail("reply " + line + " shown as " + shown.caption);
  if (!valid && shown.caption != "Warning") FuzzDesktop::Fail("failure shown as " + shown.caption);
  // The message box shows its text up to the first NUL.
  std::string expected = WithoutPrefixes(line);
  expected = expected.substr(0, expected.find('\0'));
  if (valid && line.size() <= 4096 && shown.text != expected)
    FuzzDesktop::Fail("reply " + line + " shown as text " + shown.text);
  return 0;
}
