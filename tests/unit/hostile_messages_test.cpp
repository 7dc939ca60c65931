// Messages any program on the desktop can send the main window: forged log
// requests and malformed records change nothing and crash nothing.
#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "tests/unit/call_fixture.h"

class HostileMessagesTest : public CallTest {
 protected:
  // Runs work as the thread of another process on the desktop.
  void AsStranger(const std::function<void()>& work) {
    os::DWORD stranger = desktop.StartProcess("C:\\stranger.exe", [] {
      os::Sleep(os::INFINITE);
      return 0;
    });
    desktop.RunInProcess(stranger, work);
  }
};

TEST_F(HostileMessagesTest, ForgedLogRequestsNameNoEventAndWriteNothing) {
  StartProgram();
  std::size_t records = LogRecords().size();
  os::HWND main = MainWindow();
  AsStranger([main] {
    for (os::WPARAM cookie : {os::WPARAM{0}, os::WPARAM{1}, os::WPARAM{2}, ~os::WPARAM{0}}) {
      // A pointer-sized lParam would be read as an event by a careless handler.
      os::SendMessageA(main, LOG_REQUEST_MSG, cookie, 0x1234);
    }
  });
  EXPECT_EQ(LogRecords().size(), records);
  EXPECT_TRUE(desktop.IsRunning(program));
  // The program's own worker threads still log through the same message.
  WriteRecords(1, "Later");
  EXPECT_EQ(LogEvents().back(), "Later");
}

TEST_F(HostileMessagesTest, CopyDataWithoutARecordIsIgnored) {
  StartProgram();
  std::size_t records = LogRecords().size();
  os::HWND main = MainWindow();
  AsStranger([main] {
    os::SendMessageA(main, os::WM_COPYDATA, reinterpret_cast<os::WPARAM>(main), 0);
  });
  EXPECT_EQ(LogRecords().size(), records);
  EXPECT_TRUE(desktop.IsRunning(program));
}
