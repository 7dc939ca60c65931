// The window seam over the real user32 API: one forward per operation.
#include "platform/os_window.h"

#include <cstddef>

#include "platform/win32/win32_api.h"

using os::win32::H;

// On 32-bit Windows the pointer-sized window slots are macros naming the
// 32-bit functions; they are taken here before the seam's names are freed.
namespace {
constexpr int SYSTEM_DWLP_MSGRESULT = DWLP_MSGRESULT;
constexpr int SYSTEM_DWLP_USER = DWLP_USER;
LONG_PTR SystemGetWindowLongPtr(::HWND window, int index) { return GetWindowLongPtrA(window, index); }
LONG_PTR SystemSetWindowLongPtr(::HWND window, int index, LONG_PTR value) {
  return SetWindowLongPtrA(window, index, value);
}
}  // namespace
#undef DWLP_MSGRESULT
#undef DWLP_USER
#undef GetWindowLongPtrA
#undef SetWindowLongPtrA

namespace os {

BOOL RegisterWindowClass(const char* className, WNDPROC proc) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = reinterpret_cast<::WNDPROC>(proc);
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = className;
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  return ::RegisterClassA(&wc) != 0;
}

HWND CreateWindowExA(LONG exStyle, const char* className, const char* title, LONG style, int x,
                     int y, int width, int height, HWND parent, int controlId) {
  return H(::CreateWindowExA(static_cast<::DWORD>(exStyle), className, title,
                             static_cast<::DWORD>(style), x, y, width, height, H(parent),
                             reinterpret_cast<::HMENU>(static_cast<::UINT_PTR>(controlId)),
                             ::GetModuleHandleA(nullptr), nullptr));
}

BOOL DestroyWindow(HWND window) { return ::DestroyWindow(H(window)); }

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(H(window), message, wParam, lParam);
}

HWND FindWindowA(const char* className, const char* title) {
  return H(::FindWindowA(className, title));
}
HWND FindWindowExA(HWND parent, HWND childAfter, const char* className, const char* title) {
  return H(::FindWindowExA(H(parent), H(childAfter), className, title));
}
BOOL EnumWindows(WNDENUMPROC proc, LPARAM param) {
  return ::EnumWindows(reinterpret_cast<::WNDENUMPROC>(proc), param);
}
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM param) {
  return ::EnumThreadWindows(threadId, reinterpret_cast<::WNDENUMPROC>(proc), param);
}
HWND GetDesktopWindow() { return H(::GetDesktopWindow()); }
HWND GetWindow(HWND window, UINT relation) { return H(::GetWindow(H(window), relation)); }
HWND GetDlgItem(HWND dialog, int controlId) { return H(::GetDlgItem(H(dialog), controlId)); }
int GetDlgCtrlID(HWND window) { return ::GetDlgCtrlID(H(window)); }
BOOL IsWindow(HWND window) { return ::IsWindow(H(window)); }

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  ::DWORD pid = 0;
  ::DWORD tid = ::GetWindowThreadProcessId(H(window), &pid);
  if (processId) *processId = pid;
  return tid;
}

int GetClassNameA(HWND window, char* buffer, int size) {
  return ::GetClassNameA(H(window), buffer, size);
}
int GetWindowTextA(HWND window, char* buffer, int size) {
  return ::GetWindowTextA(H(window), buffer, size);
}
BOOL SetWindowTextA(HWND window, const char* text) { return ::SetWindowTextA(H(window), text); }
LONG GetWindowLongA(HWND window, int index) { return ::GetWindowLongA(H(window), index); }
LONG SetWindowLongA(HWND window, int index, LONG value) {
  return ::SetWindowLongA(H(window), index, value);
}
BOOL GetWindowRect(HWND window, RECT* rect) {
  ::RECT r = {};
  BOOL ok = ::GetWindowRect(H(window), &r);
  *rect = RECT{r.left, r.top, r.right, r.bottom};
  return ok;
}
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  return ::SetWindowPos(H(window), H(insertAfter), x, y, width, height, flags);
}
BOOL ShowWindow(HWND window, int command) { return ::ShowWindow(H(window), command); }
BOOL IsWindowVisible(HWND window) { return ::IsWindowVisible(H(window)); }
BOOL IsIconic(HWND window) { return ::IsIconic(H(window)); }
BOOL EnableWindow(HWND window, BOOL enable) { return ::EnableWindow(H(window), enable); }
BOOL SetForegroundWindow(HWND window) { return ::SetForegroundWindow(H(window)); }
int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }
static_assert(DWLP_MSGRESULT == SYSTEM_DWLP_MSGRESULT && DWLP_USER == SYSTEM_DWLP_USER);

LONG_PTR GetWindowLongPtrA(HWND window, int index) { return SystemGetWindowLongPtr(H(window), index); }
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  return SystemSetWindowLongPtr(H(window), index, value);
}

UINT RegisterWindowMessageA(const char* name) { return ::RegisterWindowMessageA(name); }

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(H(window), message, wParam, lParam);
}

LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                            UINT timeoutMs, UINT_PTR* result) {
  ::DWORD_PTR value = 0;
  LRESULT sent =
      ::SendMessageTimeoutA(H(window), message, wParam, lParam, flags, timeoutMs, &value);
  if (result) *result = value;
  return sent;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageA(H(window), message, wParam, lParam);
}

BOOL GetMessageA(MSG* msg, HWND window, UINT first, UINT last) {
  ::MSG m = {};
  BOOL got = ::GetMessageA(&m, H(window), first, last);
  *msg = MSG{H(m.hwnd), m.message, m.wParam, m.lParam, m.time, POINT{m.pt.x, m.pt.y}};
  return got;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT removal) {
  ::MSG m = {};
  BOOL got = ::PeekMessageA(&m, H(window), first, last, removal);
  *msg = MSG{H(m.hwnd), m.message, m.wParam, m.lParam, m.time, POINT{m.pt.x, m.pt.y}};
  return got;
}

// Hooks and the message-record senders hand these records to the system as
// they are, so their layout must be the system's.
static_assert(sizeof(MSG) == sizeof(::MSG) && offsetof(MSG, pt) == offsetof(::MSG, pt));
static_assert(sizeof(COPYDATASTRUCT) == sizeof(::COPYDATASTRUCT) &&
              offsetof(COPYDATASTRUCT, lpData) == offsetof(::COPYDATASTRUCT, lpData));

LRESULT DispatchMessageA(const MSG* msg) {
  ::MSG m = {};
  m.hwnd = H(msg->hwnd);
  m.message = msg->message;
  m.wParam = msg->wParam;
  m.lParam = msg->lParam;
  m.time = msg->time;
  ::TranslateMessage(&m);
  return ::DispatchMessageA(&m);
}

void PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs) {
  return ::SetTimer(H(window), id, periodMs, nullptr);
}
BOOL KillTimer(HWND window, UINT_PTR id) { return ::KillTimer(H(window), id); }

INT_PTR DialogBoxParamA(int templateId, HWND parent, DLGPROC proc, LPARAM param) {
  return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), H(parent),
                           reinterpret_cast<::DLGPROC>(proc), param);
}
BOOL EndDialog(HWND dialog, INT_PTR result) { return ::EndDialog(H(dialog), result); }

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  return ::MessageBoxA(H(owner), text, caption, type);
}

}  // namespace os
