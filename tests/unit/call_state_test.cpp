// The call state machine driven by real handset keys through the hook:
// dialling, placing, hanging up, softphone calls, the sibling programs and
// the timers.
#include "phonehook/hook_messages.h"
#include "platform/os_shell.h"
#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "tests/unit/call_fixture.h"
#include "tests/unit/text_lines.h"

namespace {

// A sibling program's Call Status window with its record as second child.
int SiblingMain(const std::string& title, const std::string& record) {
  os::HWND window = os::CreateWindowExA(0, "#32770", title.c_str(), 0, 0, 0, 100, 50, nullptr, 0);
  os::CreateWindowExA(0, "Static", "", os::WS_CHILD, 0, 0, 10, 10, window, -1);
  os::CreateWindowExA(0, "Static", record.c_str(), os::WS_CHILD, 0, 0, 10, 10, window, 1007);
  os::MSG msg;
  while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
  return 0;
}

int strangerClicks = 0;

// Another program's Qt window of the popup's size, counting the clicks it
// gets.
int QtStrangerMain() {
  os::RegisterWindowClass("QWidget", [](os::HWND w, os::UINT m, os::WPARAM wp, os::LPARAM lp) {
    if (m == os::WM_LBUTTONDOWN || m == os::WM_LBUTTONUP) ++strangerClicks;
    return os::DefWindowProcA(w, m, wp, lp);
  });
  os::CreateWindowExA(0, "QWidget", "", os::WS_POPUP | os::WS_VISIBLE, 0, 0, 280, 126, nullptr, 0);
  os::MSG msg;
  while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
  return 0;
}

}  // namespace

TEST_F(CallTest, OffHookStartsDiallingAndShowsOffHookInTheTray) {
  StartReady();
  Handset(HANDSET_OFF_HOOK);
  std::string record = LastRecordOf("CallOrigination");
  EXPECT_TRUE(Has(record, "ct=1; cs=1; of=1;")) << record;
  EXPECT_EQ(desktop.TrayIcons()[0].tip, "CorvaloPlugin (Offhook)");
  EXPECT_EQ(desktop.TrayIcons()[0].iconResource, 134);
  EXPECT_EQ(desktop.TrayEvents().back().operation, os::NIM_MODIFY);
  EXPECT_FALSE(os::IsWindowVisible(MainWindow()));

  Handset(HANDSET_OFF_HOOK);  // a second off-hook changes nothing
  EXPECT_EQ(CountOf("CallOrigination"), 1);
}

TEST_F(CallTest, StarNumberIsPlacedThreeSecondsAfterTheLastDigit) {
  StartReady();
  Handset(HANDSET_OFF_HOOK);
  Dial("*12");
  desktop.RunFor(2900);
  EXPECT_EQ(CountOf("AllDigitsPresent"), 0);
  desktop.RunFor(200);
  EXPECT_EQ(CountOf("AllDigitsPresent"), 1);
  EXPECT_TRUE(Has(LastRecordOf("AllDigitsPresent"), "ct=1; cs=2; of=1; dn=*12;"));
  // Handed on to the Skype line; with no Skype running the user is told.
  std::string failure = LastRecordOf("NoSkypeRunning");
  EXPECT_TRUE(Has(failure, "ct=2; cs=2;")) << failure;
  EXPECT_TRUE(os::IsWindowVisible(MainWindow()));
  char status[256] = {};
  os::GetWindowTextA(os::GetDlgItem(MainWindow(), 1006), status, sizeof status);
  EXPECT_STREQ(status, "You cannot place a Skype call unless the Skype dialer is also installed and running.");
  desktop.RunFor(10000);
  EXPECT_EQ(CountOf("AllDigitsPresent"), 1);
}

TEST_F(CallTest, HashEndsAStarNumberAtOnceAndIsNotPartOfIt) {
  StartReady();
  Handset(HANDSET_OFF_HOOK);
  Dial("*5#");
  desktop.RunFor(20);
  EXPECT_EQ(CountOf("AllDigitsPresent"), 1);
  EXPECT_TRUE(Has(LastRecordOf("AllDigitsPresent"), "dn=*5;"));
}

TEST_F(CallTest, NumberWithoutAStarStaysWithTheSoftphone) {
  StartReady();
  Handset(HANDSET_OFF_HOOK);
  Dial("55");
  desktop.RunFor(10000);
  EXPECT_EQ(CountOf("AllDigitsPresent"), 0);
  EXPECT_EQ(CountOf("Digit5"), 2);
  EXPECT_TRUE(Has(LogRecords().back(), "dn=5;"));
}

TEST_F(CallTest, SingleDigitThenSilenceCompletesOnTheSoftphoneLine) {
  StartReady();
  Handset(HANDSET_OFF_HOOK);
  Dial("5");
  desktop.RunFor(3100);
  EXPECT_TRUE(Has(LastRecordOf("AllDigitsPresent"), "ct=1; cs=2; of=1; dn=5;"));
  EXPECT_EQ(CountOf("NoSkypeRunning"), 0);
  EXPECT_EQ(CountOf("NoSkypeAPI"), 0);
}

TEST_F(CallTest, KeysWhileIdleAreOnlyLogged) {
  StartReady();
  Dial("7");
  EXPECT_TRUE(Has(LastRecordOf("Digit7"), "ct=1; cs=0; of=0; dn=;"));
  desktop.RunFor(5000);
  EXPECT_EQ(CountOf("AllDigitsPresent"), 0);
}

TEST_F(CallTest, OnHookReturnsToIdleAndToTheSkypePromptInTheTray) {
  StartReady();
  Handset(HANDSET_OFF_HOOK);
  Dial("*3");
  Handset(HANDSET_ON_HOOK, 2000);  // the dialers are put away first
  EXPECT_TRUE(Has(LogRecords().back(), "st=CallOnhook; ct=0; cs=0; of=0;"));
  EXPECT_EQ(desktop.TrayIcons()[0].tip, "CorvaloPlugin (Start Skype and authorize CorvaloPlugin access)");
  desktop.RunFor(5000);
  EXPECT_EQ(CountOf("AllDigitsPresent"), 0);  // timer 5 went with the hang-up
}

TEST_F(CallTest, KeysAreIgnoredUntilTheAdapterIsReadyAndAfterItIsRemoved) {
  StartSoftphone();
  StartProgram();
  desktop.RunFor(1000);
  Handset(HANDSET_OFF_HOOK);
  EXPECT_EQ(CountOf("CallOrigination"), 0);

  PlugInAdapter();
  Handset(HANDSET_OFF_HOOK);
  EXPECT_EQ(CountOf("CallOrigination"), 1);

  UnplugAdapter();
  EXPECT_TRUE(Has(LastRecordOf("DeviceRemoved"), "ct=0; cs=0; of=0;"));
  EXPECT_EQ(desktop.TrayIcons()[0].tip, "CorvaloPlugin (Please plug in and start MJ)");
  Dial("5");
  EXPECT_EQ(CountOf("Digit5"), 0);
}

TEST_F(CallTest, BusySiblingKeepsTheSkypeCallFromBeingPlaced) {
  StartReady();
  desktop.StartProcess("C:\\Sibling\\TesselbayPlugin.exe", [] {
    return SiblingMain("TesselbayPlugin - Call Status", "st=CallAnswered; ct=2; cs=3; of=1; dn=; cn=");
  });
  Handset(HANDSET_OFF_HOOK);
  Dial("*12#");
  desktop.RunFor(20);
  EXPECT_EQ(CountOf("AllDigitsPresent"), 1);
  EXPECT_EQ(CountOf("NoSkypeRunning"), 0);
  EXPECT_TRUE(Has(LogRecords().back(), "ct=1; cs=2;"));
}

TEST_F(CallTest, IdleSiblingLetsTheCallGoAhead) {
  StartReady();
  desktop.StartProcess("C:\\Sibling\\FerrowindPlugin.exe", [] {
    return SiblingMain("FerrowindPlugin - Call Status", "st=ProgramStart; ct=1; cs=0; of=0;");
  });
  Handset(HANDSET_OFF_HOOK);
  Dial("*12#");
  desktop.RunFor(20);
  EXPECT_EQ(CountOf("NoSkypeRunning"), 1);
}

// Another program's Qt window of the popup's size, below the softphone's
// windows, is neither taken for a call while idle nor clicked while busy.
TEST_F(CallTest, SoftphoneCallDuringACallOfTheProgramsIsDeclined) {
  strangerClicks = 0;
  desktop.StartProcess("C:\\Other\\qt.exe", &QtStrangerMain);
  desktop.RunFor(10);
  StartReady();
  desktop.RunFor(1000);
  EXPECT_EQ(CountOf("IncomingCall"), 0);
  Handset(HANDSET_OFF_HOOK);
  Dial("*1");
  // The call goes to the Skype line, which takes the handset from the
  // softphone (with no Skype running it fails there).
  desktop.RunFor(3500);
  ASSERT_EQ(CountOf("NoSkypeRunning"), 1);
  EXPECT_EQ(strangerClicks, 0);
  RingSoftphone();
  desktop.RunFor(1000);
  std::vector<std::string> lines = Transcript();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "popup-click 226,103"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "popup-gone"), lines.end());
  EXPECT_EQ(CountOf("IncomingCall"), 0);
  EXPECT_EQ(strangerClicks, 0);
}

// A newer softphone is hooked on its handset driver's thread while its
// popup opens on the dialer's: the call is still seen, and its end. So is
// the call of an older softphone started in its place, on threads of its
// own.
TEST_F(CallTest, NewerSoftphonesCallIsSeenWithTheHookOnTheHandsetThread) {
  StartReady("--version 2013.4");
  os::HWND handset = os::FindWindowA("Static", "CSJHandsetDriverWnd");
  ASSERT_EQ(theMainWindow->softphoneWindow, handset);
  ASSERT_NE(os::GetWindowThreadProcessId(handset, nullptr),
            os::GetWindowThreadProcessId(os::FindWindowA("QWidget", "magicJack"), nullptr));
  RingSoftphone();
  desktop.RunFor(1000);
  EXPECT_TRUE(Has(LastRecordOf("IncomingCall"), "ct=1; cs=4; of=0;"));
  EndSoftphoneRing();
  desktop.RunFor(2000);
  EXPECT_TRUE(Has(LastRecordOf("CallDisconnected"), "ct=0; cs=0; of=0;"));

  os::PostMessageA(os::FindWindowA("QWidget", "magicJack"), os::WM_CLOSE, 0, 0);
  desktop.RunFor(1500);
  StartSoftphone();
  ASSERT_TRUE(desktop.RunUntil(
      [this] { return CountOf("Hok") == 2 && CountOf("DeviceAdded") == CountOf("DeviceRemoved") + 1; }, 5000));
  desktop.RunFor(1000);
  RingSoftphone();
  desktop.RunFor(1000);
  EXPECT_EQ(CountOf("IncomingCall"), 2);
}

TEST_F(CallTest, UnknownTimersAreOnlyStopped) {
  StartReady();
  std::size_t records = LogRecords().size();
  std::size_t events = desktop.TimerEvents().size();
  for (os::WPARAM id : {6, 8, 10, 11, 99}) os::PostMessageA(MainWindow(), os::WM_TIMER, id, 0);
  desktop.RunFor(5);
  EXPECT_EQ(LogRecords().size(), records);
  std::vector<os::UINT_PTR> stopped;
  for (std::size_t i = events; i < desktop.TimerEvents().size(); ++i) {
    const sim::TimerEvent& event = desktop.TimerEvents()[i];
    if (!event.started && event.id != 13) stopped.push_back(event.id);
    EXPECT_TRUE(!event.started || event.id == 13) << event.id;
  }
  EXPECT_EQ(stopped, (std::vector<os::UINT_PTR>{6, 8, 10, 11, 99}));
}


// While the handset is lifted the Call Status window shown stays up; only
// minimising puts it away.
TEST_F(CallTest, WindowStaysWhileOffHookUnlessMinimised) {
  StartReady();
  Handset(HANDSET_OFF_HOOK);
  os::ShowWindow(MainWindow(), os::SW_SHOW);
  desktop.RunFor(10);
  EXPECT_TRUE(os::IsWindowVisible(MainWindow()));

  os::ShowWindow(MainWindow(), os::SW_HIDE);
  os::ShowWindow(MainWindow(), os::SW_SHOWMINIMIZED);
  desktop.RunFor(10);
  EXPECT_FALSE(os::IsWindowVisible(MainWindow()));
}
