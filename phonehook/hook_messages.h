// The window messages and key codes that pass between the program and the
// softphone's thread. Both sides must agree on every number here.
#pragma once

#include "platform/os_types.h"

// Messages.
constexpr os::UINT HOOK_ATTACH_MSG = 7024;   // setMyHook -> softphone window; wParam program window
constexpr os::UINT HOOK_DETACH_MSG = 7025;   // clearMyHook -> softphone window; wParam program window
constexpr os::UINT KEY_INJECT_MSG = 5123;    // program -> softphone window; lParam program key code
constexpr os::UINT HANDSET_KEY_MSG = 1027;   // WM_USER + 3 to the handset window; wParam handset code
constexpr os::UINT KEY_REPORT_MSG = 5122;    // hook -> program window; wParam program key code

// A swallowed key is rewritten into a WM_TIMER with this id.
constexpr os::WPARAM SWALLOWED_TIMER_ID = 10000;

// Program key codes: the digits, '*' and '#' as characters, and these two.
constexpr os::WPARAM KEY_OFF_HOOK = 0x8E;  // 142
constexpr os::WPARAM KEY_ON_HOOK = 0x8F;   // 143

// The softphone's own handset codes where they differ from the program's.
constexpr unsigned HANDSET_STAR = 0x6A;          // 'j'
constexpr unsigned HANDSET_HASH = 0x88;
constexpr unsigned HANDSET_OFF_HOOK = 0x8E;
constexpr unsigned HANDSET_OFF_HOOK_ALT = 0xC9;  // also reported as off hook
constexpr unsigned HANDSET_ON_HOOK = 0x8F;

// The softphone's handset driver windows.
constexpr const char* HANDSET_WINDOW_CLASS = "Static";
constexpr const char* HANDSET_WINDOW_TITLE = "CSJHandsetDriverWnd";
constexpr const char* HANDSET_PROXY_TITLE = "HandsetProxy.Event.Dispatcher";
