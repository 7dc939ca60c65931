// A host for the real keypad hook library under Wine: it loads phonehook.dll,
// hooks the stand-in softphone with a window of its own in the program's
// place, plays a fixed series of handset keys, injected keys and handshake
// messages, and prints every report it receives, one per line:
//   hook <result>            setMyHook's result
//   copydata <sender> <text> a WM_COPYDATA record (sender 'softphone' or hex)
//   key <code>               a key report (decimal program code)
//   step <name>              marks where the series is
//   clear <result>           clearMyHook's result
// Usage: hookhost.exe [--target main|handset]
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr UINT HOOK_ATTACH = 7024;
constexpr UINT KEY_INJECT = 5123;
constexpr UINT HANDSET_KEY = WM_USER + 3;
constexpr UINT KEY_REPORT = 5122;

HWND softphoneWindow = nullptr;
int keyReports = 0;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == KEY_REPORT) {
    ++keyReports;
    std::printf("key %u\n", static_cast<unsigned>(wParam));
    std::fflush(stdout);
    return 0;
  }
  if (message == WM_COPYDATA) {
    auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    char text[300] = {};
    std::memcpy(text, record->lpData, record->cbData < sizeof text - 1 ? record->cbData : sizeof text - 1);
    bool fromSoftphone = reinterpret_cast<HWND>(wParam) == softphoneWindow;
    std::printf("copydata %s %s\n", fromSoftphone ? "softphone" : "other", text);
    std::fflush(stdout);
    return 1;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Handles messages for a while, so reports can arrive.
void Pump(DWORD milliseconds) {
  DWORD end = GetTickCount() + milliseconds;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
}

// Handles messages until `count` key reports have come in all told, or
// five seconds have passed: a loaded machine may take its time, and a step
// that ends early would count its reports to the next one.
void PumpUntilReports(int count) {
  for (int waited = 0; keyReports < count && waited < 5000; waited += 10) Pump(10);
}

void Step(const char* name) {
  std::printf("step %s\n", name);
  std::fflush(stdout);
}

HWND WaitForWindow(const char* className, const char* title) {
  for (int i = 0; i < 100; ++i) {
    if (HWND window = FindWindowA(className, title)) return window;
    Sleep(100);
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  bool onHandset = argc > 2 && std::strcmp(argv[1], "--target") == 0 && std::strcmp(argv[2], "handset") == 0;
  HMODULE library = LoadLibraryA("phonehook.dll");
  // Through a plain function pointer type, as the exports' types are not FARPROC's.
  using Plain = void (*)();
  auto setMyHook = reinterpret_cast<int (*)(HWND, HWND)>(
      reinterpret_cast<Plain>(GetProcAddress(library, "setMyHook")));
  auto clearMyHook = reinterpret_cast<int (*)(HWND)>(
      reinterpret_cast<Plain>(GetProcAddress(library, "clearMyHook")));
  if (!setMyHook || !clearMyHook) {
    std::fprintf(stderr, "hookhost: phonehook.dll or its exports are missing\n");
    return 2;
  }
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "HookHost";
  RegisterClassA(&wc);
  HWND host = CreateWindowExA(0, "HookHost", "hook host", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);

  HWND dialer = WaitForWindow("QWidget", "magicJack");
  HWND handset = WaitForWindow("Static", "CSJHandsetDriverWnd");
  if (!dialer || !handset) {
    std::fprintf(stderr, "hookhost: the softphone's windows did not appear\n");
    return 3;
  }
  softphoneWindow = onHandset ? handset : dialer;
  std::printf("hook %d\n", setMyHook(host, softphoneWindow));
  std::fflush(stdout);
  Pump(500);

  Step("codes");
  const unsigned codes[] = {'0', '5', '9', 0x6A, 0x88, 0x8E, 0x8F, 0xC9, 0x20, 0x99};
  for (unsigned code : codes) {
    PostMessageA(handset, HANDSET_KEY, code, 0);
    Pump(100);
  }
  PumpUntilReports(8);  // "0", "5", "9", "*", "#", off, on, off hook

  Step("handshake");
  PostMessageA(softphoneWindow, HOOK_ATTACH, reinterpret_cast<WPARAM>(host), 0);
  PostMessageA(softphoneWindow, HOOK_ATTACH, reinterpret_cast<WPARAM>(host) + 4, 0);
  Pump(300);

  Step("inject");
  PostMessageA(softphoneWindow, KEY_INJECT, reinterpret_cast<WPARAM>(host), 0x8F);
  Pump(300);
  Step("swallowed");
  PostMessageA(handset, HANDSET_KEY, '1', 0);
  Pump(100);
  PostMessageA(handset, HANDSET_KEY, '2', 0);
  Pump(100);
  PumpUntilReports(10);
  Step("hangup");
  PostMessageA(handset, HANDSET_KEY, 0x8F, 0);
  Pump(100);
  PostMessageA(handset, HANDSET_KEY, 0x8E, 0);
  Pump(100);
  PumpUntilReports(12);
  Step("free");
  PostMessageA(handset, HANDSET_KEY, '3', 0);
  Pump(300);
  PumpUntilReports(13);

  std::printf("clear %d\n", clearMyHook(host));
  std::fflush(stdout);
  DestroyWindow(host);
  return 0;
}
