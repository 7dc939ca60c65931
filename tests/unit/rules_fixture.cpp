#include "tests/unit/rules_fixture.h"

#include "platform/os_window.h"
#include "platform/sim/audio_controls.h"

void RulesTest::StartWithAdapter(const std::string& skypeArguments, const std::string& softphoneArguments) {
  if (skypeArguments == NO_SKYPE) {
    StartReady(softphoneArguments);
  } else {
    StartAttached(skypeArguments, softphoneArguments);
  }
}

void RulesTest::StartSibling(const std::string& title, const std::string& record) {
  desktop.StartProcess("C:\\Sibling\\" + title.substr(0, title.find(' ')) + ".exe", [title, record] {
    os::HWND window = os::CreateWindowExA(0, "#32770", title.c_str(), 0, 0, 0, 100, 50, nullptr, 0);
    os::CreateWindowExA(0, "Static", "", os::WS_CHILD, 0, 0, 10, 10, window, -1);
    os::CreateWindowExA(0, "Static", record.c_str(), os::WS_CHILD, 0, 0, 10, 10, window, 1007);
    os::MSG msg;
    while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
    return 0;
  });
  desktop.RunFor(10);
}

std::vector<os::UINT_PTR> RulesTest::KillsSince(std::size_t count) const {
  std::vector<os::UINT_PTR> kills;
  const std::vector<sim::TimerEvent>& events = desktop.TimerEvents();
  for (std::size_t i = count; i < events.size(); ++i) {
    if (!events[i].started) kills.push_back(events[i].id);
  }
  return kills;
}

bool RulesTest::AlertTonePlayed() {
  for (const sim::PlayedBuffer& buffer : sim::PlayedBuffers()) {
    if (buffer.data.size() == 22050 && buffer.loops == 5) return true;
  }
  return false;
}

int RulesTest::TranscriptIndex(const std::string& line, int from) const {
  std::vector<std::string> lines = Transcript();
  for (int i = from; i < static_cast<int>(lines.size()); ++i) {
    if (lines[i] == line) return i;
  }
  return -1;
}
