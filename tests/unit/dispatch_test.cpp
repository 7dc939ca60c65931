// The main window's own default procedure: the hook's reports, the adapter's
// arrival and loss, Skype's attach reply, and the softphone's version.
#include <cstring>

#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "standins/skype/skype.h"
#include "tests/unit/call_fixture.h"
#include "tests/unit/text_lines.h"

namespace {

constexpr const char* VERSION_KEY = "Software\\talk4free\\USB Softphone";

}  // namespace

class DispatchTest : public CallTest {
 protected:
  // Sends a WM_COPYDATA record as the given window and returns the answer.
  os::LRESULT SendRecord(os::HWND sender, const std::string& text, os::DWORD size = 0) {
    os::COPYDATASTRUCT record = {0, size ? size : static_cast<os::DWORD>(text.size() + 1),
                                 const_cast<char*>(text.c_str())};
    return os::SendMessageA(MainWindow(), os::WM_COPYDATA, reinterpret_cast<os::WPARAM>(sender),
                            reinterpret_cast<os::LPARAM>(&record));
  }
};

TEST_F(DispatchTest, HookReportsAreLoggedWholeAndOnlyForTheirKeywords) {
  StartSoftphone();
  StartProgram();
  desktop.RunFor(1000);  // adopted and hooked: its reports are taken
  os::HWND softphoneWindow = os::FindWindowA("QWidget", "magicJack");

  EXPECT_EQ(SendRecord(softphoneWindow, "FILEPATH C:\\My Apps\\soft phone.exe"), 0);
  EXPECT_EQ(LogEvents().back(), "DialerAttached: C:\\My Apps\\soft phone.exe");
  SendRecord(softphoneWindow, "LOGDATA ring LOGDATA count 3");
  EXPECT_EQ(LogEvents().back(), "DialerData: ring  count 3");

  std::size_t records = LogRecords().size();
  SendRecord(softphoneWindow, "filepath C:\\x.exe");
  SendRecord(softphoneWindow, "HELLO FILEPATH");
  SendRecord(reinterpret_cast<os::HWND>(0x6160), "FILEPATH C:\\other.exe");
  SendRecord(nullptr, "FILEPATH C:\\nobody.exe");
  EXPECT_EQ(LogRecords().size(), records);
}

// Stricter than reading the text no further than its length: a record whose
// terminator lies outside its stated length is not taken at all.
TEST_F(DispatchTest, RecordsWithoutATerminatorWithinTheirLengthChangeNothing) {
  StartSoftphone();
  StartProgram();
  desktop.RunFor(1000);
  os::HWND softphoneWindow = os::FindWindowA("QWidget", "magicJack");
  std::size_t records = LogRecords().size();
  std::string text = "FILEPATH C:\\a.exe-and-what-lies-beyond";
  SendRecord(softphoneWindow, text, static_cast<os::DWORD>(std::strlen("FILEPATH C:\\a.exe")));
  os::COPYDATASTRUCT empty = {0, 0, nullptr};
  os::SendMessageA(MainWindow(), os::WM_COPYDATA, reinterpret_cast<os::WPARAM>(softphoneWindow),
                   reinterpret_cast<os::LPARAM>(&empty));
  EXPECT_EQ(LogRecords().size(), records);
  SendRecord(softphoneWindow, "FILEPATH C:\\a.exe");
  EXPECT_EQ(LogEvents().back(), "DialerAttached: C:\\a.exe");
}

TEST_F(DispatchTest, AdapterArrivalReadsTheVersionMarksItReadyAndPromptsForSkype) {
  StartProgram();
  PlugInAdapter();
  EXPECT_EQ(desktop.TrayIcons()[0].tip, "CorvaloPlugin (Initializing)");
  EXPECT_EQ(desktop.TrayIcons()[0].iconResource, 137);
  EXPECT_TRUE(Has(LastRecordOf("DeviceAdded"),
                  "pi=C200; sn=mj00a1b2c3d4; wv=6.1; pr=CorvaloPlugin; re=2.06; sv=; mv=2012.1"));
  EXPECT_EQ(theMainWindow->adapterReady, 1);

  desktop.RunFor(3000);
  EXPECT_EQ(desktop.TrayIcons()[0].tip, "CorvaloPlugin (Start Skype and authorize CorvaloPlugin access)");
  EXPECT_EQ(os::FindWindowA("#32770", "CorvaloPlugin - Courtesy Checklist"), nullptr);
  desktop.RunFor(10000);
  os::HWND checklist = os::FindWindowA("#32770", "CorvaloPlugin - Courtesy Checklist");
  ASSERT_NE(checklist, nullptr);
  EXPECT_TRUE(os::IsWindowVisible(checklist));

  // Removing the adapter closes the checklist and returns to the start. The
  // poll thread drops the adapter's record before it reports the loss.
  UnplugAdapter();
  EXPECT_EQ(os::FindWindowA("#32770", "CorvaloPlugin - Courtesy Checklist"), nullptr);
  EXPECT_EQ(desktop.TrayIcons()[0].tip, "CorvaloPlugin (Please plug in and start MJ)");
  EXPECT_TRUE(Has(LogRecords().back(), "st=DeviceRemoved; ct=0; cs=0; of=0;"));
  EXPECT_TRUE(Has(LogRecords().back(), "pi=0000"));
}

TEST_F(DispatchTest, SkypeAttachingSoonAfterArrivalShowsNoPrompt) {
  StartProgram();
  PlugInAdapter();
  desktop.RunFor(1000);
  desktop.StartProcess("C:\\Program Files\\Skype\\Skype.exe", &SkypeMain);
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeAttached") == 1; }, 3000));
  desktop.RunFor(15000);
  EXPECT_EQ(os::FindWindowA("#32770", "CorvaloPlugin - Courtesy Checklist"), nullptr);
  for (const sim::TrayEvent& event : desktop.TrayEvents())
    EXPECT_NE(event.tip, "CorvaloPlugin (Start Skype and authorize CorvaloPlugin access)");
}

TEST_F(DispatchTest, SoftphoneVersionKeepsTheLastReadingWhenTheValueGoes) {
  auto version = [this] {
    std::string record = LastRecordOf("DeviceAdded");
    return record.substr(record.rfind("; mv=") + 5);
  };
  StartProgram();
  PlugInAdapter();  // the softphone wrote its version
  EXPECT_EQ(version(), "2012.1");
  desktop.SetRegistryString(VERSION_KEY, "usd", "2013.1 \t\r\n");
  UnplugAdapter();
  PlugInAdapter();
  EXPECT_EQ(version(), "2013.1");
  desktop.DeleteRegistryKey(VERSION_KEY);
  desktop.SetRegistryString(VERSION_KEY, "other", "x");  // the key without the value
  UnplugAdapter();
  PlugInAdapter();
  EXPECT_EQ(version(), "2013.1");
  desktop.SetRegistryString(VERSION_KEY, "usd", std::string(400, '9'));
  UnplugAdapter();
  PlugInAdapter();
  EXPECT_EQ(theMainWindow->softphoneVersion, std::string(255, '9'));
}
