// Start-up, the single-instance guard, the hidden window and the shutdown.
#include <algorithm>

#include "platform/os_shell.h"
#include "platform/os_window.h"
#include "shell/main_dialog.h"
#include "tests/unit/program_fixture.h"

namespace {

std::vector<os::HWND> VisibleWindowsOf(const sim::Desktop& desktop, os::DWORD process) {
  std::vector<os::HWND> visible;
  for (os::HWND window : desktop.TopLevelWindowsOf(process)) {
    if (os::IsWindowVisible(window)) visible.push_back(window);
  }
  return visible;
}

}  // namespace

TEST_F(ProgramTest, StartsHiddenWithTheNoAdapterTrayIconAndAProgramStartRecord) {
  StartProgram();

  ASSERT_NE(MainWindow(), nullptr);
  EXPECT_TRUE(VisibleWindowsOf(desktop, program).empty());
  EXPECT_EQ(LogRecords(), std::vector<std::string>{IdleRecord("ProgramStart")});
  EXPECT_EQ(RecordAsSiblingReadsIt(), IdleRecord("ProgramStart"));

  auto icons = desktop.TrayIcons();
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].window, MainWindow());
  EXPECT_EQ(icons[0].iconId, 1u);
  EXPECT_EQ(icons[0].iconResource, 136);
  EXPECT_EQ(icons[0].tip, "CorvaloPlugin (Please plug in and start MJ)");
  EXPECT_EQ(icons[0].callbackMessage, 0x401u);
  ASSERT_EQ(desktop.TrayEvents().size(), 1u);
  EXPECT_EQ(desktop.TrayEvents()[0].operation, os::NIM_ADD);
  EXPECT_EQ(desktop.TrayEvents()[0].recordSize, 488u);
}

TEST_F(ProgramTest, StartUpRaisesPrioritiesAndStartsTheAdapterThread) {
  StartProgram();
  EXPECT_EQ(desktop.PriorityClassOf(program), os::HIGH_PRIORITY_CLASS);
  // The GUI thread and the adapter thread, both time-critical.
  EXPECT_EQ(desktop.ThreadPrioritiesOf(program), (std::vector<int>{15, 15}));
}

TEST_F(ProgramTest, LogStartsAfreshWhateverItHeld) {
  desktop.WriteFile(LOG_PATH, "old line one\r\nold line two\r\n");
  StartProgram();
  EXPECT_EQ(LogEvents(), std::vector<std::string>{"ProgramStart"});
}

TEST_F(ProgramTest, SecondStartWarnsOnceAndLeavesTheFirstUntouched) {
  StartProgram();
  os::HWND first = MainWindow();
  std::string logBefore = desktop.ReadFile(LOG_PATH);
  std::size_t trayEventsBefore = desktop.TrayEvents().size();

  os::DWORD second = StartProgram();
  ASSERT_TRUE(desktop.RunUntil([&] { return !desktop.IsRunning(second); }, 1000));

  ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
  const sim::MessageBoxRecord& box = desktop.MessageBoxes()[0];
  EXPECT_EQ(box.processId, second);
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.text, "An instance of the application is already running.");
  EXPECT_EQ(box.caption, "Warning");
  EXPECT_EQ(box.type, os::MB_OK);

  EXPECT_TRUE(desktop.IsRunning(program));
  EXPECT_EQ(MainWindow(), first);
  EXPECT_EQ(desktop.ReadFile(LOG_PATH), logBefore);
  EXPECT_EQ(desktop.TrayEvents().size(), trayEventsBefore);
}

TEST_F(ProgramTest, ANewInstanceStartsOnceTheFirstHasEnded) {
  StartProgram();
  ASSERT_TRUE(ExitProgram());
  os::DWORD again = StartProgram();
  EXPECT_TRUE(desktop.IsRunning(again));
  EXPECT_TRUE(desktop.MessageBoxes().empty());
}

TEST_F(ProgramTest, ExitLogsRemovesTheTrayIconKillsTheTimersAndEnds) {
  StartProgram();
  desktop.RunFor(2500);
  os::HWND window = MainWindow();
  std::size_t timerEventsBefore = desktop.TimerEvents().size();

  ASSERT_TRUE(ExitProgram());

  std::vector<std::string> events = LogEvents();
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[events.size() - 2], "ExitRequest");
  EXPECT_EQ(events.back(), "ProgramClose");
  EXPECT_TRUE(desktop.TrayIcons().empty());
  EXPECT_EQ(desktop.TrayEvents().back().operation, os::NIM_DELETE);
  EXPECT_TRUE(desktop.TrayEvents().back().succeeded);

  std::vector<os::UINT_PTR> killed;
  for (std::size_t i = timerEventsBefore; i < desktop.TimerEvents().size(); ++i) {
    const sim::TimerEvent& event = desktop.TimerEvents()[i];
    if (event.window == window && !event.started) killed.push_back(event.id);
  }
  // The poll's own tick stops timer 13 first; the shutdown then kills them all.
  std::vector<os::UINT_PTR> expected = {5, 3, 4, 7, 9, 13, 14};
  ASSERT_GE(killed.size(), expected.size());
  EXPECT_EQ(std::vector<os::UINT_PTR>(killed.end() - 7, killed.end()), expected);
  EXPECT_FALSE(desktop.IsRunning(program));
  EXPECT_EQ(MainWindow(), nullptr);
}

TEST_F(ProgramTest, CloseMessageRunsTheShutdownWithoutAnExitRequest) {
  StartProgram();
  os::PostMessageA(MainWindow(), os::WM_CLOSE, 0, 0);
  ASSERT_TRUE(desktop.RunUntil([this] { return !desktop.IsRunning(program); }, 5000));
  std::vector<std::string> events = LogEvents();
  EXPECT_EQ(events, (std::vector<std::string>{"ProgramStart", "ProgramClose"}));
  EXPECT_TRUE(desktop.TrayIcons().empty());
}

TEST_F(ProgramTest, PollKeepsItsOneSecondCadenceWhileSkypeIsNotAttached) {
  StartProgram();
  desktop.RunFor(3500);
  std::vector<os::UINT> periods;
  for (const sim::TimerEvent& event : desktop.TimerEvents()) {
    if (event.id == 13 && event.started) periods.push_back(event.period);
  }
  EXPECT_EQ(periods, (std::vector<os::UINT>{1, 1000, 1000, 1000, 1000}));
}

TEST_F(ProgramTest, WindowSitsTopmostAtTheLowerRightCorner) {
  desktop.SetScreenSize(1280, 1024);
  StartProgram();
  os::RECT rect = {};
  ASSERT_TRUE(os::GetWindowRect(MainWindow(), &rect));
  EXPECT_EQ(rect.right, 1280 - 10);
  EXPECT_EQ(rect.bottom, 1024 - 50);
  os::LONG exStyle = os::GetWindowLongA(MainWindow(), os::GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & os::WS_EX_TOPMOST);
  EXPECT_FALSE(exStyle & os::WS_EX_APPWINDOW);
}

TEST_F(ProgramTest, WindowShownWhileOnHookHidesAtItsNextPaint) {
  StartProgram();
  os::ShowWindow(MainWindow(), os::SW_SHOW);
  desktop.RunFor(10);
  EXPECT_FALSE(os::IsWindowVisible(MainWindow()));
}

TEST_F(ProgramTest, StatusLineIsEmptiedAndTheChildrenKeepTheTemplateOrder) {
  StartProgram();
  os::HWND icon = os::GetWindow(MainWindow(), os::GW_CHILD);
  os::HWND record = os::GetWindow(icon, os::GW_HWNDNEXT);
  os::HWND status = os::GetWindow(record, os::GW_HWNDNEXT);
  EXPECT_EQ(os::GetDlgCtrlID(record), 1007);
  EXPECT_EQ(os::GetDlgCtrlID(status), 1006);
  EXPECT_FALSE(os::IsWindowVisible(record));
  char text[64] = "unchanged";
  os::GetWindowTextA(status, text, sizeof text);
  EXPECT_STREQ(text, "");
  EXPECT_FALSE(os::GetWindowLongA(status, os::GWL_STYLE) & os::WS_DISABLED);
}

TEST_F(ProgramTest, WindowsVersionFallsBackToTheBasicRecordThenToZero) {
  sim::VersionConfig basicOnly;
  basicOnly.major = 5;
  basicOnly.minor = 1;
  basicOnly.extendedQueryWorks = false;
  desktop.SetWindowsVersion(basicOnly);
  StartProgram();
  EXPECT_EQ(LogRecords()[0], IdleRecord("ProgramStart", "5.1"));
  ASSERT_TRUE(ExitProgram());

  sim::VersionConfig neither = basicOnly;
  neither.basicQueryWorks = false;
  desktop.SetWindowsVersion(neither);
  program = 0;
  StartProgram();
  EXPECT_EQ(LogRecords()[0], IdleRecord("ProgramStart", "0.0"));
}
