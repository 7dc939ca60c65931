// The hook seam over the real user32 API.
#include "platform/os_hook.h"

#include "platform/win32/win32_api.h"

namespace os {

HHOOK SetWindowsHookExA(int hookType, HOOKPROC proc, HINSTANCE module, DWORD threadId) {
  return reinterpret_cast<HHOOK>(::SetWindowsHookExA(hookType, reinterpret_cast<::HOOKPROC>(proc),
                                                     reinterpret_cast<::HINSTANCE>(module), threadId));
}
BOOL UnhookWindowsHookEx(HHOOK hook) { return ::UnhookWindowsHookEx(reinterpret_cast<::HHOOK>(hook)); }
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  return ::CallNextHookEx(reinterpret_cast<::HHOOK>(hook), code, wParam, lParam);
}

}  // namespace os
