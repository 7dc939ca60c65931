#include "tests/unit/skype_fixture.h"
#include "tests/unit/text_lines.h"

#include <algorithm>
#include <cstdint>
#include <sstream>

#include "platform/os_window.h"
#include "platform/sim/audio_controls.h"
#include "shell/main_dialog.h"
#include "standins/skype/skype.h"

os::DWORD SkypeTest::StartSkype(const std::string& arguments) {
  skype = desktop.StartProcess(SKYPE_EXE, &SkypeMain, arguments);
  desktop.RunFor(10);
  return skype;
}

void SkypeTest::StartAttached(const std::string& skypeArguments, const std::string& softphoneArguments) {
  StartSkype(skypeArguments);
  StartOnBus(softphoneArguments);
  if (skypeArguments.find("--attach") == std::string::npos) {
    ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeAttached") == 1; }, 3000));
  }
  desktop.RunFor(1000);  // the next poll shows the link in the tray
}

void SkypeTest::Cue(const std::string& line, os::DWORD settleMs) {
  desktop.WriteFile(SKYPE_CUES, desktop.ReadFile(SKYPE_CUES) + line + "\n");
  os::PostMessageA(os::FindWindowA(SKYPE_MAIN_CLASS, nullptr), SKYPE_CUE_MSG, 0, 0);
  desktop.RunFor(settleMs);
}

std::vector<std::string> SkypeTest::SkypeTranscript() const {
  return TextLines(desktop.ReadFile(SKYPE_TRANSCRIPT));
}

std::vector<std::string> SkypeTest::SkypeLines(const std::string& kind) const {
  std::vector<std::string> texts;
  for (const std::string& line : SkypeTranscript()) {
    if (line == kind) texts.push_back("");
    if (line.rfind(kind + " ", 0) == 0) texts.push_back(line.substr(kind.size() + 1));
  }
  return texts;
}

std::vector<std::string> SkypeTest::CommandsSince(std::size_t count) const {
  std::vector<std::string> commands = SkypeLines("command");
  return std::vector<std::string>(commands.begin() + std::min(count, commands.size()), commands.end());
}

std::vector<std::string> SkypeTest::AttachCommands(const std::string& in, const std::string& out) {
  std::vector<std::string> commands = {"PROTOCOL 5"};
  for (const char* form : {" ", " (2) ", " (3) "}) {
    commands.push_back("SET AUDIO_IN " + in + form);
    commands.push_back("SET AUDIO_OUT " + out + form);
  }
  commands.push_back("GET SKYPEVERSION");
  return commands;
}

bool SkypeTest::Attached() const { return theMainWindow->skypeApiWindow != nullptr; }

std::string SkypeTest::StatusLine() const {
  char text[512] = {};
  os::GetWindowTextA(os::GetDlgItem(MainWindow(), 1006), text, sizeof text);
  return text;
}

bool SkypeTest::TimerStarted(os::UINT_PTR id, os::UINT period) const {
  for (const sim::TimerEvent& event : desktop.TimerEvents()) {
    if (event.id == id && event.started && event.period == period) return true;
  }
  return false;
}

bool SkypeTest::SoundPlaying() const {
  for (const sim::PlayedBuffer& buffer : sim::PlayedBuffers()) {
    if (buffer.doneAt == UINT64_MAX) return true;
  }
  return false;
}

int SkypeTest::NotifiedCount(const std::string& text) const {
  std::vector<std::string> notified = SkypeLines("notify");
  return static_cast<int>(std::count(notified.begin(), notified.end(), text));
}
