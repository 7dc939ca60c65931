// Finding, adopting and hooking the softphone, and the line operations on
// its windows.
#include <algorithm>
#include <cstdio>

#include "phonehook/hook_messages.h"
#include "platform/os_window.h"
#include "shell/main_dialog.h"
#include "tests/unit/call_fixture.h"
#include "tests/unit/text_lines.h"

namespace {

std::string Hex(os::HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "%lX", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(window)));
  return text;
}

// Windows of the test's own that look more or less like the softphone's.
struct Lookalike {
  const char* className;
  const char* title;
  os::LONG style;
  int width, height;
};
int LookalikesMain(std::vector<Lookalike> windows) {
  auto plain = [](os::HWND w, os::UINT m, os::WPARAM wp, os::LPARAM lp) {
    return os::DefWindowProcA(w, m, wp, lp);
  };
  os::RegisterWindowClass("QWidgetLookalike", plain);
  os::RegisterWindowClass("QWidget", plain);
  for (const Lookalike& w : windows) {
    os::CreateWindowExA(0, w.className, w.title, w.style, 0, 0, w.width, w.height, nullptr, 0);
  }
  os::MSG msg;
  while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
  return 0;
}

constexpr os::LONG DIALER = os::WS_POPUP | os::WS_SYSMENU | os::WS_MINIMIZEBOX | os::WS_VISIBLE;

}  // namespace

TEST_F(CallTest, AdoptsTheDialerAndLogsItsPathWithBlanks) {
  StartSoftphone();
  StartProgram();
  desktop.RunFor(1000);
  os::HWND dialer = os::FindWindowA("QWidget", "magicJack");
  EXPECT_EQ(theMainWindow->softphoneWindow, dialer);
  std::vector<std::string> events = LogEvents();
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(events[1], "Dialer" + Hex(dialer));
  EXPECT_EQ(events[2], "Hok");  // the path report follows once the softphone takes the request
  EXPECT_EQ(events[3], "DialerAttached: C:\\Program Files\\magic Jack\\magicJack.exe");
}

TEST_F(CallTest, NewerSoftphoneIsHookedOnItsHandsetWindow) {
  StartReady("--version 2013.4");  // the adapter's arrival reads the version
  EXPECT_TRUE(Has(LastRecordOf("DeviceAdded"), "mv=2013.4"));
  EXPECT_EQ(theMainWindow->softphoneWindow, os::FindWindowA("Static", "CSJHandsetDriverWnd"));
  EXPECT_EQ(CountOf("Hok"), 1);
}

TEST_F(CallTest, ClosedSoftphoneIsLostAndItsSuccessorHookedAfresh) {
  StartSoftphone();
  StartProgram();
  desktop.RunFor(1000);
  os::PostMessageA(os::FindWindowA("QWidget", "magicJack"), os::WM_CLOSE, 0, 0);
  desktop.RunFor(1500);
  EXPECT_EQ(theMainWindow->softphoneWindow, nullptr);
  EXPECT_EQ(CountOf("Dialer0"), 1);

  StartSoftphone();
  desktop.RunFor(2500);  // re-hooking first takes down the old handshake, with its pause
  EXPECT_EQ(theMainWindow->softphoneWindow, os::FindWindowA("QWidget", "magicJack"));
  EXPECT_EQ(CountOf("Hok"), 2);
  EXPECT_EQ(CountOf("DialerAttached: C:\\Program Files\\magic Jack\\magicJack.exe"), 2);
}

TEST_F(CallTest, TenFailedHookAttemptsGiveUpUntilTheNextPoll) {
  desktop.RefuseHooks(true);
  StartSoftphone();
  StartProgram();
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("Hretry") == 1; }, 20000));
  // Ten attempts, a second apart: nine pauses between the first and "Hretry".
  EXPECT_EQ(desktop.RefusedHookCount(), 10);
  char dialer[32];
  std::snprintf(dialer, sizeof dialer, "Dialer%lX",
                static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(os::FindWindowA("QWidget", "magicJack"))));
  ASSERT_GE(LogTimeOf(dialer), 0);
  EXPECT_EQ(LogTimeOf("Hretry") - LogTimeOf(dialer), 9000);
  EXPECT_EQ(theMainWindow->softphoneWindow, nullptr);

  desktop.RefuseHooks(false);
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("Hok") == 1; }, 3000));
  EXPECT_EQ(CountOf("Hretry"), 1);
}

// A lone handset window of another program is not taken for the
// softphone: the hooked dialer stays, and is not hooked again.
TEST_F(CallTest, HandsetDriverWithoutADialerKeepsTheCurrentWindow) {
  StartReady();
  os::HWND dialer = os::FindWindowA("QWidget", "magicJack");
  ASSERT_EQ(CountOf("Hok"), 1);
  desktop.StartProcess("C:\\Other\\driver.exe", [] {
    return LookalikesMain({{"Static", "CSJHandsetDriverWnd", 0, 10, 10}});
  });
  desktop.RunFor(3000);
  EXPECT_EQ(theMainWindow->softphoneWindow, dialer);
  EXPECT_EQ(CountOf("Hok"), 1);
  EXPECT_EQ(CountOf("Dialer0"), 0);
}

TEST_F(CallTest, FindersTakeOnlyTheRightStyleAndSize) {
  StartProgram();
  desktop.StartProcess("C:\\Other\\lookalikes.exe", [] {
    // Created in this order, so the last is first in z-order.
    return LookalikesMain({{"QWidgetLookalike", "magicJack", DIALER, 300, 400},
                           {"QWidget", "magicJack", DIALER & ~os::WS_POPUP, 300, 400},
                           {"QWidget", "", os::WS_POPUP | os::WS_VISIBLE, 280, 127}});
  });
  desktop.RunFor(10);
  desktop.RunInProcess(program, [] {
    os::HWND dialer = theMainWindow->FindSoftphoneMain(1);
    char name[64] = {};
    os::GetClassNameA(dialer, name, sizeof name);
    EXPECT_STREQ(name, "QWidgetLookalike");  // contains "QWidget" and has all three bits
    EXPECT_EQ(theMainWindow->FindIncomingPopup(1), nullptr);  // 280 x 127 is no popup
    EXPECT_EQ(theMainWindow->FindSoftphoneMain(3), nullptr);  // no such line
  });
}

TEST_F(CallTest, DialerIsClosedOnlyWhileTheOptionIsOnAndItIsShowing) {
  StartReady();
  auto close = [this] { desktop.RunInProcess(program, [] { theMainWindow->CloseDialerWindows(1); }); };
  desktop.WriteFile(SETTINGS, "[Options]\r\nAutoMinimizeDialer=0\r\n");
  close();
  EXPECT_EQ(Count(Transcript(), "sysclose"), 0);
  EXPECT_EQ(LogEvents().back(), "AutoMinimizeDialerOff");

  desktop.WriteFile(SETTINGS, "[Options]\r\nAutoMinimizeDialer=1\r\n");
  close();
  EXPECT_EQ(Count(Transcript(), "sysclose"), 1);
  EXPECT_EQ(LogEvents().back(), "AutoMinimizeDialerOn");
  close();  // now hidden: nothing is sent
  EXPECT_EQ(Count(Transcript(), "sysclose"), 1);
}

TEST_F(CallTest, DialerThatMovesOffScreenIsClosedOnce) {
  StartReady("--version 2012.1 --dialer-close offscreen");
  desktop.RunInProcess(program, [] { theMainWindow->CloseDialerWindows(1); });
  EXPECT_EQ(Count(Transcript(), "sysclose"), 1);
}

