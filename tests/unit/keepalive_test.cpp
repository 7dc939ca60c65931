// The Skype keep-alive with a Skype that answers "PING" at once, from inside
// the send: the answer must still stop the deadline.
#include <cstring>

#include "platform/os_window.h"
#include "shell/main_dialog.h"
#include "tests/unit/program_fixture.h"

namespace {

os::HWND programWindow = nullptr;
int pings = 0;

os::LRESULT OS_CALLBACK EagerSkypeProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                       os::LPARAM lParam) {
  if (message == os::WM_COPYDATA) {
    auto* record = reinterpret_cast<const os::COPYDATASTRUCT*>(lParam);
    if (std::strcmp(static_cast<const char*>(record->lpData), "PING") == 0) {
      ++pings;
      char pong[] = "PONG";
      os::COPYDATASTRUCT answer = {0, sizeof pong, pong};
      os::SendMessageA(programWindow, os::WM_COPYDATA, reinterpret_cast<os::WPARAM>(window),
                       reinterpret_cast<os::LPARAM>(&answer));
    }
    return 1;
  }
  return os::DefWindowProcA(window, message, wParam, lParam);
}

int EagerSkypeMain() {
  os::RegisterWindowClass("EagerSkype", &EagerSkypeProc);
  os::CreateWindowExA(0, "EagerSkype", "", 0, 0, 0, 1, 1, nullptr, 0);
  os::MSG msg;
  while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
  return 0;
}

}  // namespace

TEST_F(ProgramTest, PongAnsweredDuringThePingKeepsTheLink) {
  StartProgram();
  programWindow = MainWindow();
  pings = 0;
  desktop.StartProcess("C:\\Program Files\\Skype\\Skype.exe", &EagerSkypeMain);
  desktop.RunFor(10);
  os::HWND skype = os::FindWindowA("EagerSkype", nullptr);
  theMainWindow->adapterProductId = 0xC200;  // Skype's records are taken only with an adapter
  theMainWindow->attachMessage = os::RegisterWindowMessageA("SkypeControlAPIAttach");
  os::SendMessageA(programWindow, theMainWindow->attachMessage, reinterpret_cast<os::WPARAM>(skype), 0);
  ASSERT_EQ(theMainWindow->skypeApiWindow, skype);

  desktop.RunFor(100000);  // three pings, each answered at once
  EXPECT_EQ(pings, 3);
  EXPECT_EQ(theMainWindow->skypeApiWindow, skype);
}
