// Texts that come from outside the program (the hook's reports, the
// softphone's registry value) and end up in the status record and the log.
#include <string>

#include "platform/os_window.h"
#include "shell/main_dialog.h"
#include "tests/unit/call_fixture.h"
#include "tests/unit/text_lines.h"

class OutsideTextTest : public CallTest {
 protected:
  // A WM_COPYDATA record sent by a thread of process `from`, as `sender`.
  void SendFrom(os::DWORD from, os::HWND sender, const std::string& text) {
    os::HWND main = MainWindow();
    desktop.RunInProcess(from, [&] {
      os::COPYDATASTRUCT record = {0, static_cast<os::DWORD>(text.size() + 1), const_cast<char*>(text.c_str())};
      os::SendMessageA(main, os::WM_COPYDATA, reinterpret_cast<os::WPARAM>(sender),
                       reinterpret_cast<os::LPARAM>(&record));
    });
  }
  // Every line of the log is one whole record: its time stamp, a tab, "st=".
  void ExpectEveryLineIsARecord() {
    for (const std::string& line : TextLines(desktop.ReadFile(LOG_PATH))) {
      EXPECT_NE(line.find("; \tst="), std::string::npos) << line;
    }
  }
};

TEST_F(OutsideTextTest, LineBreaksInTheHooksReportsStayWithinOneLogLine) {
  StartReady();
  ASSERT_NE(theMainWindow->softphoneWindow.load(), nullptr);
  SendFrom(softphone, theMainWindow->softphoneWindow, "LOGDATA first\nsecond\r\nthird");
  SendFrom(softphone, theMainWindow->softphoneWindow, "FILEPATH C:\\a\r\nb.exe");
  EXPECT_EQ(LogEvents()[LogEvents().size() - 2], "DialerData: first second  third");
  EXPECT_EQ(LogEvents().back(), "DialerAttached: C:\\a  b.exe");
  ExpectEveryLineIsARecord();
  EXPECT_EQ(RecordAsSiblingReadsIt().find('\n'), std::string::npos);
}

TEST_F(OutsideTextTest, LineBreaksInTheSoftphonesVersionStayWithinOneLogLine) {
  StartSoftphone();
  desktop.SetRegistryString("Software\\talk4free\\USB Softphone", "usd", "2013.1\nbeta \r\n");
  StartProgram();
  desktop.RunFor(1000);
  PlugInAdapter();
  EXPECT_EQ(theMainWindow->softphoneVersion, "2013.1\nbeta");
  std::string record = LastRecordOf("DeviceAdded");
  EXPECT_EQ(record.substr(record.find("mv=")), "mv=2013.1 beta");
  ExpectEveryLineIsARecord();
}
