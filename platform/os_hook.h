// Message hooks: a procedure the system calls on another thread for every
// message that thread retrieves from its queue.
#pragma once

#include "platform/os_types.h"

namespace os {

struct HHOOK__;
using HHOOK = HHOOK__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HOOKPROC = LRESULT(OS_CALLBACK*)(int code, WPARAM wParam, LPARAM lParam);

constexpr int WH_GETMESSAGE = 3;
constexpr int HC_ACTION = 0;

HHOOK SetWindowsHookExA(int hookType, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

}  // namespace os
