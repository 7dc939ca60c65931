// The keypad hook library on the simulated desktop: the real hook procedure
// installed on the stand-in softphone's thread, with a host window of the
// test's own in place of the program.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "phonehook/hook_messages.h"
#include "phonehook/hook_state.h"
#include "phonehook/phonehook.h"
#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "platform/sim/desktop.h"
#include "standins/softphone/softphone.h"
#include "tests/unit/text_lines.h"

namespace {

constexpr const char* SOFTPHONE_EXE = "C:\\Program Files\\magicJack\\magicJack.exe";
constexpr const char* TRANSCRIPT = "C:\\Program Files\\magicJack\\softphone-transcript.txt";

// What the host window was told.
struct HostRecord {
  std::vector<os::WPARAM> keys;
  std::vector<std::string> copies;
  std::vector<os::DWORD> copySizes;
  std::vector<os::WPARAM> copySenders;
};
HostRecord host;

os::LRESULT OS_CALLBACK HostProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                 os::LPARAM lParam) {
  if (message == KEY_REPORT_MSG) host.keys.push_back(wParam);
  if (message == os::WM_COPYDATA) {
    auto* copy = reinterpret_cast<const os::COPYDATASTRUCT*>(lParam);
    host.copies.push_back(static_cast<const char*>(copy->lpData));
    host.copySizes.push_back(copy->cbData);
    host.copySenders.push_back(wParam);
    return 1;
  }
  return os::DefWindowProcA(window, message, wParam, lParam);
}

int HostMain() {
  os::RegisterWindowClass("HookHost", &HostProc);
  os::CreateWindowExA(0, "HookHost", "host", 0, 0, 0, 10, 10, nullptr, 0);
  os::MSG msg;
  while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
  return 0;
}

class HookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    phonehookShared = {};
    PhonehookProcessAttach(nullptr);
    host = HostRecord{};
    softphone = desktop.StartProcess(SOFTPHONE_EXE, &SoftphoneMain, "--version 2012.1");
    hostProcess = desktop.StartProcess("C:\\Tests\\host.exe", &HostMain);
    desktop.RunFor(10);
    hostWindow = os::FindWindowA("HookHost", nullptr);
    mainWindow = os::FindWindowA("QWidget", "magicJack");
    handsetWindow = os::FindWindowA("Static", "CSJHandsetDriverWnd");
  }

  int Hook(os::HWND target) {
    int result = -1;
    desktop.RunInProcess(hostProcess, [&] { result = setMyHook(hostWindow, target); });
    desktop.RunFor(10);
    return result;
  }
  void Unhook() {
    desktop.RunInProcess(hostProcess, [&] { clearMyHook(hostWindow); });
  }
  void Handset(unsigned code) {
    os::PostMessageA(handsetWindow, HANDSET_KEY_MSG, code, 0);
    desktop.RunFor(10);
  }
  void Inject(os::WPARAM sender, os::LPARAM key) {
    os::PostMessageA(mainWindow, KEY_INJECT_MSG, sender, key);
    desktop.RunFor(10);
  }
  std::vector<std::string> Transcript() const {
    std::vector<std::string> lines;
    for (const std::string& line : TextLines(desktop.ReadFile(TRANSCRIPT))) {
      if (line.rfind("start", 0) != 0) lines.push_back(line);
    }
    return lines;
  }
  os::WPARAM Host() const { return reinterpret_cast<os::WPARAM>(hostWindow); }

  sim::Desktop desktop;
  os::DWORD softphone = 0, hostProcess = 0;
  os::HWND hostWindow = nullptr, mainWindow = nullptr, handsetWindow = nullptr;
};

using Keys = std::vector<os::WPARAM>;
using Lines = std::vector<std::string>;

}  // namespace

TEST_F(HookTest, AttachReportsTheSoftphonePathOnceAndRaisesItsPriorities) {
  ASSERT_EQ(Hook(mainWindow), 1);
  std::string expected = std::string("FILEPATH ") + SOFTPHONE_EXE;
  ASSERT_EQ(host.copies, std::vector<std::string>{expected});
  EXPECT_EQ(host.copySizes[0], expected.size() + 1);
  EXPECT_EQ(host.copySenders[0], reinterpret_cast<os::WPARAM>(mainWindow));
  EXPECT_EQ(phonehookShared.attached, 1);
  EXPECT_EQ(desktop.PriorityClassOf(softphone), os::HIGH_PRIORITY_CLASS);
  EXPECT_EQ(desktop.ThreadPrioritiesOf(softphone), std::vector<int>{15});

  // A second request, or one from another window, changes nothing.
  os::PostMessageA(mainWindow, HOOK_ATTACH_MSG, Host(), 0);
  os::PostMessageA(mainWindow, HOOK_DETACH_MSG, Host() + 4, 0);
  desktop.RunFor(10);
  EXPECT_EQ(host.copies.size(), 1u);
  EXPECT_EQ(phonehookShared.attached, 1);
}

TEST_F(HookTest, AttachRequestFromAForeignWindowIsIgnored) {
  ASSERT_EQ(Hook(mainWindow), 1);
  Unhook();
  desktop.RunInProcess(hostProcess, [&] {
    ASSERT_EQ(setMyHook(hostWindow, mainWindow), 1);
    phonehookShared.programWindow = reinterpret_cast<os::HWND>(0x1234);  // the posted request no longer matches
  });
  desktop.RunFor(10);
  EXPECT_EQ(phonehookShared.attached, 0);
  EXPECT_EQ(host.copies.size(), 1u);
}

TEST_F(HookTest, EveryHandsetCodeReachesTheHostAsItsProgramCode) {
  ASSERT_EQ(Hook(mainWindow), 1);
  for (unsigned code : {0x30u, 0x35u, 0x39u, 0x6Au, 0x88u, 0x8Eu, 0x8Fu, 0xC9u, 0x20u, 0x2Fu, 0x99u}) Handset(code);
  EXPECT_EQ(host.keys, (Keys{'0', '5', '9', '*', '#', KEY_OFF_HOOK, KEY_ON_HOOK, KEY_OFF_HOOK}));
  // Nothing is swallowed while no Skype call holds the handset.
  EXPECT_EQ(Transcript(), (Lines{"handset 0x30", "handset 0x35", "handset 0x39", "handset 0x6A",
                                 "handset 0x88", "handset 0x8E", "handset 0x8F", "handset 0xC9",
                                 "handset 0x20", "handset 0x2F", "handset 0x99"}));
}

TEST_F(HookTest, InjectedOnHookIsNotEchoedAndKeepsDigitsFromTheSoftphoneUntilARealOffHook) {
  ASSERT_EQ(Hook(mainWindow), 1);
  Inject(Host(), KEY_ON_HOOK);
  EXPECT_TRUE(host.keys.empty());
  Handset('5');
  Handset(HANDSET_STAR);
  Handset(HANDSET_ON_HOOK);   // the user hangs up: reported
  Handset(HANDSET_OFF_HOOK);  // and lifts again: swallowing ends
  Handset('6');
  EXPECT_EQ(host.keys, (Keys{'5', '*', KEY_ON_HOOK, KEY_OFF_HOOK, '6'}));
  EXPECT_EQ(Transcript(), (Lines{"inject 0x8F", "handset 0x8F", "swallowed", "swallowed",
                                 "handset 0x8F", "handset 0x8E", "handset 0x36", "box 6"}));
}

TEST_F(HookTest, InjectedKeysAreTranslatedAndOnlyTheProgramsArePosted) {
  ASSERT_EQ(Hook(mainWindow), 1);
  Inject(Host(), '#');
  Inject(Host(), '*');
  Inject(Host(), '7');
  Inject(Host(), 'A');
  EXPECT_EQ(Transcript(), (Lines{"inject 0x23", "handset 0x88", "inject 0x2A", "handset 0x6A",
                                 "inject 0x37", "handset 0x37", "inject 0x41"}));

  // From another window nothing is posted, yet the on-hook flags are set.
  Inject(Host() + 4, KEY_ON_HOOK);
  EXPECT_EQ(Transcript().back(), "inject 0x8F");
  EXPECT_EQ(phonehookShared.expectOnHookEcho, 1);
  EXPECT_EQ(phonehookShared.swallowKeys, 1);
}

TEST_F(HookTest, InjectedOffHookEchoEndsSwallowingWithoutAReport) {
  ASSERT_EQ(Hook(mainWindow), 1);
  Inject(Host(), KEY_ON_HOOK);
  Inject(Host(), KEY_OFF_HOOK);
  Handset('3');
  EXPECT_EQ(host.keys, Keys{'3'});
  Lines lines = Transcript();
  ASSERT_GE(lines.size(), 2u);
  // The echoed off-hook gave the handset back to the softphone, which dials.
  EXPECT_EQ(Lines(lines.end() - 2, lines.end()), (Lines{"handset 0x33", "box 3"}));
}

TEST_F(HookTest, AlternativeOffHookCodeNeitherEndsSwallowingNorTakesTheEcho) {
  ASSERT_EQ(Hook(mainWindow), 1);
  Inject(Host(), KEY_ON_HOOK);
  phonehookShared.expectOffHookEcho = 1;
  Handset(HANDSET_OFF_HOOK_ALT);
  EXPECT_EQ(host.keys, Keys{KEY_OFF_HOOK});
  EXPECT_EQ(Transcript().back(), "swallowed");
  EXPECT_EQ(phonehookShared.swallowKeys, 1);
  EXPECT_EQ(phonehookShared.expectOffHookEcho, 1);
}

TEST_F(HookTest, PeekedKeysAreNotReportedAndSwallowedTicksNameNoCallback) {
  ASSERT_EQ(Hook(mainWindow), 1);
  desktop.RunInProcess(softphone, [&] {
    os::MSG peeked = {handsetWindow, HANDSET_KEY_MSG, '4', 0, 0, {0, 0}};
    HandleRetrievedMessage(peeked, false);
    EXPECT_EQ(peeked.message, HANDSET_KEY_MSG);

    phonehookShared.swallowKeys = 1;
    os::MSG taken = {handsetWindow, HANDSET_KEY_MSG, '4', 0x1234, 0, {0, 0}};
    HandleRetrievedMessage(taken, true);
    EXPECT_EQ(taken.message, os::WM_TIMER);
    EXPECT_EQ(taken.wParam, SWALLOWED_TIMER_ID);
    EXPECT_EQ(taken.lParam, 0);
    EXPECT_EQ(taken.hwnd, handsetWindow);
  });
  desktop.RunFor(10);
  EXPECT_EQ(host.keys, Keys{'4'});
}

TEST_F(HookTest, ClearPausesOnlyAfterAnAttachAndKeepsTheKeyFlags) {
  std::uint64_t before = desktop.Now();
  Unhook();
  EXPECT_EQ(desktop.Now(), before);

  ASSERT_EQ(Hook(mainWindow), 1);
  Inject(Host() + 4, KEY_ON_HOOK);  // sets both flags, posts no echo
  before = desktop.Now();
  Unhook();
  EXPECT_EQ(desktop.Now() - before, 1000u);
  EXPECT_EQ(desktop.HookCountOn(softphone), 0);
  EXPECT_EQ(phonehookShared.attached, 0);
  EXPECT_EQ(phonehookShared.programWindow, nullptr);
  EXPECT_EQ(phonehookShared.softphoneWindow, nullptr);
  EXPECT_EQ(phonehookShared.swallowKeys, 1);
  EXPECT_EQ(phonehookShared.expectOnHookEcho, 1);

  // Keys no longer reach the host.
  Handset('1');
  EXPECT_TRUE(host.keys.empty());
}

TEST_F(HookTest, HookingFailsCleanlyWithoutBothWindows) {
  EXPECT_EQ(Hook(nullptr), 0);
  desktop.RunInProcess(hostProcess, [&] { EXPECT_EQ(setMyHook(nullptr, mainWindow), 0); });
  EXPECT_EQ(desktop.HookCountOn(softphone), 0);
  EXPECT_EQ(phonehookShared.programWindow, nullptr);
}

TEST_F(HookTest, HookingTheHandsetWindowOfANewerSoftphoneWorksTheSame) {
  ASSERT_EQ(Hook(handsetWindow), 1);
  Handset('8');
  EXPECT_EQ(host.keys, Keys{'8'});
  EXPECT_EQ(host.copySenders[0], reinterpret_cast<os::WPARAM>(handsetWindow));
}
