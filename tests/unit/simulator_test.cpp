// The simulated desktop itself: virtual time, timers, message delivery
// between threads, process ends, the named mutex, text files and the
// resource script. The program's tests rely on each of these.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/os_internet.h"
#include "platform/os_kernel.h"
#include "platform/os_menu.h"
#include "platform/os_registry.h"
#include "platform/os_shell.h"
#include "platform/os_window.h"
#include "platform/sim/desktop.h"
#include "platform/sim/rc_script.h"
#include "resources/resource.h"

namespace {

int timerTicks = 0;
os::LRESULT OS_CALLBACK CountingProc(os::HWND window, os::UINT message, os::WPARAM wParam,
                                     os::LPARAM lParam) {
  if (message == os::WM_TIMER) ++timerTicks;
  if (message == os::WM_USER) return static_cast<os::LRESULT>(wParam * 2);
  return os::DefWindowProcA(window, message, wParam, lParam);
}

// A program with one window and a message loop.
int WindowProgram() {
  os::RegisterWindowClass("Counter", &CountingProc);
  os::HWND window = os::CreateWindowExA(0, "Counter", "counter", 0, 0, 0, 10, 10, nullptr, 0);
  os::SetTimer(window, 1, 100);
  os::MSG msg;
  while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
  return static_cast<int>(msg.wParam);
}

}  // namespace

TEST(Simulator, LongSleepsCostNoWallClockTime) {
  sim::Desktop desktop;
  auto started = std::chrono::steady_clock::now();
  os::DWORD process = desktop.StartProcess("C:\\p.exe", [] {
    os::Sleep(120000);
    return 7;
  });
  EXPECT_TRUE(desktop.RunUntil([&] { return !desktop.IsRunning(process); }, 200000));
  EXPECT_EQ(desktop.Now(), 120000u);
  EXPECT_EQ(desktop.ExitCode(process), 7);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

TEST(Simulator, TimersTickOnVirtualTimeAndSendsCrossThreads) {
  sim::Desktop desktop;
  timerTicks = 0;
  desktop.StartProcess("C:\\p.exe", &WindowProgram);
  desktop.RunFor(1000);
  EXPECT_EQ(timerTicks, 10);

  os::HWND window = os::FindWindowA("Counter", nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(os::SendMessageA(window, os::WM_USER, 21, 0), 42);

  os::SendMessageA(window, os::WM_SETTEXT, 0, reinterpret_cast<os::LPARAM>("renamed"));
  char title[32] = {};
  os::GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "renamed");
}

// Windows raises a timer asked for less than 10 ms to 10 ms.
TEST(Simulator, ATimerShorterThanTheSystemMinimumRunsEveryTenMilliseconds) {
  sim::Desktop desktop;
  timerTicks = 0;
  desktop.StartProcess("C:\\p.exe", [] {
    os::RegisterWindowClass("Counter", &CountingProc);
    os::HWND window = os::CreateWindowExA(0, "Counter", "fast", 0, 0, 0, 10, 10, nullptr, 0);
    os::SetTimer(window, 1, 1);
    os::MSG msg;
    while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
    return 0;
  });
  desktop.RunFor(9);
  EXPECT_EQ(timerTicks, 0);
  desktop.RunFor(96);
  EXPECT_EQ(timerTicks, 10);
}

TEST(Simulator, ProcessEndTakesItsThreadsWindowsAndMutexName) {
  sim::Desktop desktop;
  os::DWORD process = desktop.StartProcess("C:\\p.exe", [] {
    os::CreateMutexA(os::TRUE, "unique-name");
    os::BeginThread([](void*) -> os::DWORD { for (;;) os::Sleep(3000); }, nullptr, 0);
    return WindowProgram();
  });
  desktop.RunFor(100);
  EXPECT_EQ(desktop.ThreadCountOf(process), 2);

  os::HANDLE mine = os::CreateMutexA(os::FALSE, "unique-name");
  EXPECT_EQ(os::GetLastError(), os::ERROR_ALREADY_EXISTS);
  os::CloseHandle(mine);

  os::HWND window = os::FindWindowA("Counter", nullptr);
  os::PostMessageA(window, os::WM_QUIT, 3, 0);
  ASSERT_TRUE(desktop.RunUntil([&] { return !desktop.IsRunning(process); }, 1000));
  EXPECT_EQ(desktop.ExitCode(process), 3);
  EXPECT_EQ(desktop.ThreadCountOf(process), 0);
  EXPECT_EQ(os::FindWindowA("Counter", nullptr), nullptr);
  EXPECT_FALSE(os::IsWindow(window));

  os::HANDLE fresh = os::CreateMutexA(os::FALSE, "unique-name");
  EXPECT_EQ(os::GetLastError(), os::ERROR_SUCCESS);
  os::CloseHandle(fresh);
}

// What a program creates through the system is counted for its process
// until released; the end of the process takes back whatever it still held.
TEST(Simulator, LiveObjectsAreCountedUntilReleasedOrTheProcessEnds) {
  sim::Desktop desktop;
  os::DWORD process = desktop.StartProcess("C:\\dir\\p.exe", &WindowProgram);
  desktop.RunFor(10);
  std::map<std::string, int> expected = desktop.LiveObjectsOf(process);
  EXPECT_EQ(expected["windows"], 1);
  EXPECT_EQ(expected["timers"], 1);
  EXPECT_EQ(expected["threads"], 1);
  EXPECT_EQ(expected["icons"], 0);

  os::HICON icon = nullptr;
  os::HMENU menu = nullptr;
  os::HKEY key = nullptr;
  os::HANDLE worker = nullptr;
  std::FILE* file = nullptr;
  os::HINTERNET session = nullptr;
  desktop.RunInProcess(process, [&] {
    icon = os::LoadIconResource(IDI_READY, 16, 16);
    os::LoadIconResource(IDI_READY, 16, 16);  // a second load is a second icon
    menu = os::LoadMenuResource(IDR_TRAY_MENU);
    os::RegCreateKeyA(os::HKEY_CURRENT_USER(), "Software\\Maker", &key);
    worker = os::BeginThread([](void*) -> os::DWORD { for (;;) os::Sleep(1000); }, nullptr, 0);
    file = os::OpenFileStream("C:\\dir\\out.bin", "wb");
    session = os::InternetOpenA("agent", os::INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  });
  std::map<std::string, int> held = desktop.LiveObjectsOf(process);
  for (const char* kind : {"menus", "registry keys", "thread handles", "file streams", "internet handles"})
    EXPECT_EQ(held[kind], 1) << kind;
  EXPECT_EQ(held["icons"], 2);
  EXPECT_EQ(held["threads"], 2);

  desktop.RunInProcess(process, [&] {
    os::DestroyIcon(icon);
    os::DestroyMenu(menu);
    os::RegCloseKey(key);
    os::CloseHandle(worker);
    std::fclose(file);
    os::InternetCloseHandle(session);
  });
  expected["icons"] = 1;  // the second is left for the end of the process
  expected["threads"] = 2;  // the worker runs on without its handle
  EXPECT_EQ(desktop.LiveObjectsOf(process), expected);

  os::PostMessageA(os::FindWindowA("Counter", nullptr), os::WM_QUIT, 0, 0);
  ASSERT_TRUE(desktop.RunUntil([&] { return !desktop.IsRunning(process); }, 1000));
  for (auto& [kind, count] : desktop.LiveObjectsOf(process)) EXPECT_EQ(count, 0) << kind;
}

TEST(Simulator, SendToAThreadThatNeverAnswersTimesOut) {
  sim::Desktop desktop;
  desktop.StartProcess("C:\\p.exe", [] {
    os::RegisterWindowClass("Sleeper", &CountingProc);
    os::CreateWindowExA(0, "Sleeper", "", 0, 0, 0, 1, 1, nullptr, 0);
    os::Sleep(60000);  // never looks at its queue meanwhile
    return 0;
  });
  desktop.RunFor(10);
  os::UINT_PTR answer = 99;
  std::uint64_t before = desktop.Now();
  EXPECT_EQ(os::SendMessageTimeoutA(os::FindWindowA("Sleeper", nullptr), os::WM_USER, 1, 0,
                                    os::SMTO_NORMAL, 250, &answer),
            0);
  EXPECT_EQ(desktop.Now() - before, 250u);
  EXPECT_EQ(answer, 99u);
}

TEST(Simulator, TextModeFilesWriteCarriageReturnLineFeed) {
  sim::Desktop desktop;
  desktop.StartProcess("C:\\dir\\p.exe", [] {
    std::FILE* file = os::OpenFileStream("C:\\dir\\out.txt", "w");
    std::fputs("one\ntwo\n", file);
    std::fclose(file);
    file = os::OpenFileStream("C:\\dir\\out.txt", "a");
    std::fputs("three\n", file);
    std::fclose(file);
    return 0;
  });
  desktop.RunFor(10);
  EXPECT_EQ(desktop.ReadFile("C:\\dir\\out.txt"), "one\r\ntwo\r\nthree\r\n");
}

TEST(Simulator, ResourceScriptGivesTheMainDialogInTemplateOrder) {
  sim::ResourceScript script(CORVALO_RESOURCE_SCRIPT);
  const sim::DialogTemplate* dialog = script.Dialog(102);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->caption, "CorvaloPlugin - Call Status");
  EXPECT_EQ(dialog->width, 238);
  EXPECT_EQ(dialog->height, 45);
  EXPECT_EQ(dialog->fontName, "Arial Narrow");
  EXPECT_TRUE(dialog->style & os::WS_DISABLED);
  EXPECT_TRUE(dialog->exStyle & os::WS_EX_APPWINDOW);
  ASSERT_EQ(dialog->items.size(), 3u);
  EXPECT_EQ(dialog->items[0].id, -1);
  EXPECT_EQ(dialog->items[1].id, 1007);
  EXPECT_FALSE(dialog->items[1].style & os::WS_VISIBLE);
  EXPECT_EQ(dialog->items[2].id, 1006);
  EXPECT_EQ(dialog->items[2].text, "call status");
  EXPECT_TRUE(dialog->items[2].style & os::WS_VISIBLE);
  for (int icon : {128, 134, 136, 137, 144}) EXPECT_TRUE(script.HasIcon(icon)) << icon;
}

namespace {

std::vector<os::HWND> listed;
os::BOOL OS_CALLBACK ListUpToThree(os::HWND window, os::LPARAM) {
  listed.push_back(window);
  return listed.size() < 3 ? os::TRUE : os::FALSE;
}
os::BOOL OS_CALLBACK ListAll(os::HWND window, os::LPARAM) {
  listed.push_back(window);
  return os::TRUE;
}

}  // namespace

// FindWindowExA goes on after a given child, ignores case as FindWindowA
// does, and refuses a starting window that is not the parent's child;
// EnumWindows lists the top-level windows in the order the z-order walk
// gives, EnumThreadWindows those of one thread, in the same order.
TEST(Simulator, FindWindowExAndEnumWindowsFollowTheZOrder) {
  sim::Desktop desktop;
  desktop.StartProcess("C:\\p.exe", [] {
    auto plain = [](os::HWND w, os::UINT m, os::WPARAM wp, os::LPARAM lp) {
      return os::DefWindowProcA(w, m, wp, lp);
    };
    os::RegisterWindowClass("Kind", plain);
    os::RegisterWindowClass("Other", plain);
    os::HWND parent = os::CreateWindowExA(0, "Kind", "low", 0, 0, 0, 10, 10, nullptr, 0);
    os::CreateWindowExA(0, "Kind", "child", os::WS_CHILD, 0, 0, 5, 5, parent, 1);
    os::CreateWindowExA(0, "Other", "middle", 0, 0, 0, 10, 10, nullptr, 0);
    os::CreateWindowExA(0, "Kind", "High", 0, 0, 0, 10, 10, nullptr, 0);
    os::MSG msg;
    while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
    return 0;
  });
  desktop.RunFor(10);
  os::HWND high = os::FindWindowExA(nullptr, nullptr, "kind", nullptr);
  os::HWND low = os::FindWindowExA(nullptr, high, "KIND", nullptr);
  os::HWND middle = os::FindWindowA("Other", nullptr);
  ASSERT_NE(high, nullptr);
  EXPECT_EQ(high, os::FindWindowA("Kind", "high"));
  EXPECT_EQ(low, os::FindWindowA("Kind", "low"));
  EXPECT_EQ(os::FindWindowExA(nullptr, low, "Kind", nullptr), nullptr);
  os::HWND child = os::FindWindowExA(low, nullptr, "Kind", nullptr);
  EXPECT_EQ(os::GetWindow(low, os::GW_CHILD), child);
  EXPECT_EQ(os::FindWindowExA(nullptr, child, nullptr, nullptr), nullptr);  // not a top-level window

  std::vector<os::HWND> walked;
  for (os::HWND w = os::GetWindow(os::GetDesktopWindow(), os::GW_CHILD); w; w = os::GetWindow(w, os::GW_HWNDNEXT))
    walked.push_back(w);
  listed.clear();
  EXPECT_EQ(os::EnumWindows(&ListUpToThree, 0), os::FALSE);
  ASSERT_GE(walked.size(), 3u);
  EXPECT_EQ(listed, std::vector<os::HWND>(walked.begin(), walked.begin() + 3));
  EXPECT_EQ(std::vector<os::HWND>(walked.begin(), walked.begin() + 3), (std::vector<os::HWND>{high, middle, low}));

  desktop.StartProcess("C:\\q.exe", [] {
    os::RegisterWindowClass("Kind", [](os::HWND w, os::UINT m, os::WPARAM wp, os::LPARAM lp) {
      return os::DefWindowProcA(w, m, wp, lp);
    });
    os::CreateWindowExA(0, "Kind", "other program", 0, 0, 0, 10, 10, nullptr, 0);
    os::MSG msg;
    while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
    return 0;
  });
  desktop.RunFor(10);
  os::HWND foreign = os::FindWindowA("Kind", "other program");
  ASSERT_EQ(os::GetWindow(os::GetDesktopWindow(), os::GW_CHILD), foreign);
  listed.clear();
  EXPECT_EQ(os::EnumThreadWindows(os::GetWindowThreadProcessId(high, nullptr), &ListAll, 0), os::TRUE);
  EXPECT_EQ(listed, (std::vector<os::HWND>{high, middle, low}));
  listed.clear();
  EXPECT_EQ(os::EnumThreadWindows(os::GetWindowThreadProcessId(foreign, nullptr), &ListUpToThree, 0), os::TRUE);
  EXPECT_EQ(listed, std::vector<os::HWND>{foreign});
  EXPECT_EQ(os::EnumThreadWindows(0, &ListAll, 0), os::FALSE);
}
