// Rules of the shell and of finding the outside programs that no other test
// would miss if they changed: the tray's records and states, the poll's
// period, the single-instance mutex, the close sequence,
// the update check's access type, the softphone version compared as text,
// Skype's main window and the Ferrowind sibling.
#include <algorithm>

#include "phonehook/hook_messages.h"
#include "phonehook/hook_state.h"
#include "platform/os_internet.h"
#include "platform/os_kernel.h"
#include "platform/os_shell.h"
#include "platform/os_window.h"
#include "platform/sim/internet_replies.h"
#include "resources/resource.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "tests/unit/rules_fixture.h"

namespace {

using Lines = std::vector<std::string>;

constexpr const char* NOT_ATTACHED_TIP = "CorvaloPlugin (Start Skype and authorize CorvaloPlugin access)";

struct TrayStep {
  os::DWORD operation;
  int icon;
  std::string tip;
  bool operator==(const TrayStep& other) const {
    return operation == other.operation && icon == other.icon && tip == other.tip;
  }
};

std::ostream& operator<<(std::ostream& out, const TrayStep& step) {
  return out << step.operation << " " << step.icon << " " << step.tip;
}

std::vector<TrayStep> TraySteps(const std::vector<sim::TrayEvent>& events, std::size_t from) {
  std::vector<TrayStep> steps;
  for (std::size_t i = from; i < events.size(); ++i) {
    steps.push_back({events[i].operation, events[i].operation == os::NIM_DELETE ? 0 : events[i].iconResource,
                     events[i].operation == os::NIM_DELETE ? "" : events[i].tip});
  }
  return steps;
}

// A window in Skype's place that never answers the API.
int SkypeLookalikeMain(const std::string& className, const std::string& title) {
  os::RegisterWindowClass(className.c_str(), &os::DefWindowProcA);
  os::CreateWindowExA(0, className.c_str(), title.c_str(), os::WS_VISIBLE, 0, 0, 400, 300, nullptr, 0);
  os::MSG msg;
  while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
  return 0;
}

}  // namespace

TEST_F(RulesTest, TheTrayIsReplacedNotModifiedAndShowsIcon137WhileSkypeRefusesTheProgram) {
  StartWithAdapter("--attach 2");  // Skype refuses the program
  std::size_t from = 1;             // after the start's own add
  desktop.RunFor(3000);
  EXPECT_EQ(TraySteps(desktop.TrayEvents(), from),
            (std::vector<TrayStep>{{os::NIM_DELETE, 0, ""},
                                   {os::NIM_ADD, 137, "CorvaloPlugin (Initializing)"},
                                   {os::NIM_DELETE, 0, ""},
                                   {os::NIM_ADD, 137, NOT_ATTACHED_TIP}}));
  for (const sim::TrayEvent& event : desktop.TrayEvents()) {
    EXPECT_TRUE(event.succeeded);
    EXPECT_EQ(event.recordSize, 488u);
    EXPECT_EQ(event.flags, os::NIF_MESSAGE | os::NIF_ICON | os::NIF_TIP);
    EXPECT_EQ(event.iconWidth, 16);
    EXPECT_EQ(event.iconHeight, 16);
  }
  ASSERT_EQ(desktop.TrayIcons().size(), 1u);
  EXPECT_EQ(desktop.TrayIcons()[0].callbackMessage, TRAY_NOTIFY_MSG);
}

TEST_F(RulesTest, ThePollRunsEveryTenthOfASecondOnlyWhileSkypeIsAttached) {
  StartWithAdapter(NO_SKYPE);
  std::vector<os::UINT> detached;
  for (const sim::TimerEvent& event : desktop.TimerEvents())
    if (event.id == POLL_TIMER_ID && event.started) detached.push_back(event.period);
  ASSERT_GE(detached.size(), 3u);
  EXPECT_EQ(detached.back(), 1000u);

  std::size_t from = desktop.TimerEvents().size();
  StartSkype();
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeAttached") == 1; }, 3000));
  desktop.RunFor(3000);  // the poll armed while detached fires first
  std::vector<os::UINT> attached;
  for (std::size_t i = from; i < desktop.TimerEvents().size(); ++i) {
    const sim::TimerEvent& event = desktop.TimerEvents()[i];
    if (event.id == POLL_TIMER_ID && event.started) attached.push_back(event.period);
  }
  ASSERT_GE(attached.size(), 5u);
  EXPECT_EQ(attached.back(), 100u);
  EXPECT_EQ(std::count(attached.begin(), attached.end(), 100u), static_cast<long>(attached.size()) - 1);
}

TEST_F(ProgramTest, TheSingleInstanceMutexStaysButIsNotOwned) {
  StartProgram();
  const std::string name = "CorvaloPlugin-088FA840-B10D-11D3-BC36-006067709674";
  EXPECT_EQ(desktop.MutexOwner(name), 0u);
  os::DWORD other = desktop.StartProcess("C:\\Tools\\probe.exe", [] {
    os::Sleep(60000);
    return 0;
  });
  os::DWORD error = 0;
  desktop.RunInProcess(other, [&] {
    os::HANDLE probe = os::CreateMutexA(os::FALSE, name.c_str());
    error = os::GetLastError();
    os::CloseHandle(probe);
  });
  EXPECT_EQ(error, os::ERROR_ALREADY_EXISTS);
}

TEST_F(CallTest, ClosingRemovesTheKeypadHookFromTheSoftphone) {
  StartSoftphone();
  StartProgram();
  desktop.RunFor(1000);
  ASSERT_EQ(CountOf("Hok"), 1);
  ASSERT_EQ(phonehookShared.programWindow, MainWindow());
  ASSERT_TRUE(ExitProgram());
  EXPECT_EQ(phonehookShared.programWindow, nullptr);
  EXPECT_EQ(phonehookShared.softphoneWindow, nullptr);
  EXPECT_EQ(phonehookShared.attached, 0);
  EXPECT_EQ(desktop.HookCountOn(softphone), 0);
}

TEST_F(RulesTest, ClosingEndsAnOpenSpeedDialTable) {
  StartWithAdapter();
  os::PostMessageA(MainWindow(), TRAY_NOTIFY_MSG, 1, os::WM_LBUTTONDBLCLK);
  desktop.RunFor(100);
  ASSERT_NE(os::FindWindowA("#32770", "CorvaloPlugin - Skype Speed Dial"), nullptr);
  os::PostMessageA(MainWindow(), os::WM_CLOSE, 0, 0);
  ASSERT_TRUE(desktop.RunUntil([this] { return !desktop.IsRunning(program); }, 5000));
  const std::vector<sim::DialogEnd>& ends = desktop.EndedDialogs();
  EXPECT_EQ(ends.front().title, "CorvaloPlugin - Skype Speed Dial");
  EXPECT_EQ(ends.front().result, 0);
}

TEST_F(RulesTest, ClosingEndsTheCourtesyChecklist) {
  StartWithAdapter(NO_SKYPE);
  desktop.RunFor(13000);
  ASSERT_NE(os::FindWindowA("#32770", "CorvaloPlugin - Courtesy Checklist"), nullptr);
  os::PostMessageA(MainWindow(), os::WM_CLOSE, 0, 0);
  ASSERT_TRUE(desktop.RunUntil([this] { return !desktop.IsRunning(program); }, 5000));
  bool ended = false;
  for (const sim::DialogEnd& end : desktop.EndedDialogs())
    if (end.title == "CorvaloPlugin - Courtesy Checklist" && end.result == 0) ended = true;
  EXPECT_TRUE(ended);
}

TEST_F(ProgramTest, TheUpdateCheckGoesThroughTheUsersProxySettings) {
  sim::RequireProxy(true);
  sim::SetHttpReply("http://", "result=Up to date.\r\n");
  StartProgram();
  os::PostMessageA(MainWindow(), os::WM_COMMAND, ID_UPDATE_CHECK, 0);
  desktop.RunFor(10);
  ASSERT_EQ(sim::HttpRequests().size(), 1u);
  EXPECT_EQ(sim::HttpRequests()[0].accessType, os::INTERNET_OPEN_TYPE_PRECONFIG);
  ASSERT_FALSE(desktop.MessageBoxes().empty());
  EXPECT_EQ(desktop.MessageBoxes().back().caption, "Update Information");
}

struct VersionCase {
  const char* version;
  bool handsetWindow;
};

class SoftphoneVersionTest : public RulesTest, public ::testing::WithParamInterface<VersionCase> {};

// "9" sorts after "2013" and "1.5" before it, as text.
TEST_P(SoftphoneVersionTest, TheVersionComparedAsTextPicksTheWindowToHook) {
  StartWithAdapter(NO_SKYPE, std::string("--version ") + GetParam().version);
  desktop.RunFor(2000);
  os::HWND expected = GetParam().handsetWindow ? os::FindWindowA("Static", "CSJHandsetDriverWnd")
                                               : os::FindWindowA("QWidget", "magicJack");
  EXPECT_EQ(theMainWindow->softphoneWindow, expected);
  EXPECT_EQ(CountOf("Hretry"), 0);
}

INSTANTIATE_TEST_SUITE_P(Versions, SoftphoneVersionTest,
                         ::testing::Values(VersionCase{"9", true}, VersionCase{"2013.1", true},
                                           VersionCase{"1.5", false}, VersionCase{"2012.12", false}));

struct SkypeWindowCase {
  const char* className;
  const char* title;
  bool isSkype;
};

class SkypeWindowTest : public RulesTest, public ::testing::WithParamInterface<SkypeWindowCase> {};

// Skype's main window is known by either class and a title that begins
// with "Skype": a call placed while it does not attach is refused for want
// of the API, not for want of Skype.
TEST_P(SkypeWindowTest, SkypesMainWindowIsKnownByEitherClassAndItsTitle) {
  std::string className = GetParam().className, title = GetParam().title;
  desktop.StartProcess("C:\\Program Files\\Skype\\Skype.exe",
                       [className, title] { return SkypeLookalikeMain(className, title); });
  desktop.RunFor(10);
  StartWithAdapter(NO_SKYPE);
  Handset(HANDSET_OFF_HOOK);
  Dial("*5#");
  desktop.RunFor(1000);
  EXPECT_EQ(CountOf("NoSkypeAPI"), GetParam().isSkype ? 1 : 0);
  EXPECT_EQ(CountOf("NoSkypeRunning"), GetParam().isSkype ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, SkypeWindowTest,
    ::testing::Values(SkypeWindowCase{"tSkMainForm.UnicodeClass", "Skype", true},
                      SkypeWindowCase{"tSkMainForm", "Skype\x99 - alice", true},
                      SkypeWindowCase{"tSkMainForm", "skype", false},
                      SkypeWindowCase{"tSkMainForm.Unicode", "Skype", false},
                      SkypeWindowCase{"tSkMainFormX", "Skype", false}));

TEST_F(RulesTest, ABusyFerrowindSiblingKeepsTheSkypeCallFromBeingPlaced) {
  StartWithAdapter();
  StartSibling("FerrowindPlugin - Call Status", "st=CallAnswered; ct=2; cs=3; of=1;");
  std::size_t before = SkypeLines("command").size();
  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(2000);
  EXPECT_EQ(CountOf("AllDigitsPresent"), 1);
  EXPECT_EQ(CommandsSince(before), Lines{});
}
