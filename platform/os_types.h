// Types and constants of the OS seam. They mirror the Win32 names and values
// so the program reads like the Windows program it is, but live in namespace
// os so the program never needs <windows.h>.
//
// Implementation files that also include <windows.h> must include this header
// first: the Win32 macros of the same names then cannot reach these constants.
#pragma once

#include <cstdint>

// Window, dialog and hook procedures use the system's calling convention.
#if defined(_WIN32) && !defined(_WIN64)
#define OS_CALLBACK __stdcall
#else
#define OS_CALLBACK
#endif

namespace os {

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;

struct HWND__;
using HWND = HWND__*;
struct HICON__;
using HICON = HICON__*;
struct HMENU__;
using HMENU = HMENU__*;
using HANDLE = void*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr DWORD INFINITE = 0xFFFFFFFF;

struct RECT {
  LONG left, top, right, bottom;
};

struct POINT {
  LONG x, y;
};

struct SYSTEMTIME {
  WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

// The WM_COPYDATA record. On the 32-bit target its layout is the system's.
struct COPYDATASTRUCT {
  UINT_PTR dwData;
  DWORD cbData;
  void* lpData;
};

using WNDPROC = LRESULT(OS_CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR(OS_CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using WNDENUMPROC = BOOL(OS_CALLBACK*)(HWND, LPARAM);
using THREADPROC = DWORD (*)(void*);

// Window messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_QUERYDRAGICON = 0x0037;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_HOTKEY = 0x0312;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;
constexpr UINT BM_CLICK = 0x00F5;

// Window styles.
constexpr LONG WS_OVERLAPPED = 0x00000000;
constexpr LONG WS_POPUP = static_cast<LONG>(0x80000000u);
constexpr LONG WS_CHILD = 0x40000000;
constexpr LONG WS_MINIMIZE = 0x20000000;
constexpr LONG WS_VISIBLE = 0x10000000;
constexpr LONG WS_DISABLED = 0x08000000;
constexpr LONG WS_CAPTION = 0x00C00000;
constexpr LONG WS_BORDER = 0x00800000;
constexpr LONG WS_DLGFRAME = 0x00400000;
constexpr LONG WS_SYSMENU = 0x00080000;
constexpr LONG WS_THICKFRAME = 0x00040000;
constexpr LONG WS_GROUP = 0x00020000;
constexpr LONG WS_TABSTOP = 0x00010000;
constexpr LONG WS_MINIMIZEBOX = 0x00020000;
constexpr LONG WS_MAXIMIZEBOX = 0x00010000;
constexpr LONG WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr LONG WS_EX_DLGMODALFRAME = 0x00000001;
constexpr LONG WS_EX_TOPMOST = 0x00000008;
constexpr LONG WS_EX_APPWINDOW = 0x00040000;

// Window queries and placement.
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
// A dialog's extra bytes: its result (pointer-sized), its procedure, then
// the user's slot.
constexpr int DWLP_MSGRESULT = 0;
constexpr int DWLP_USER = static_cast<int>(sizeof(LRESULT) + sizeof(void*));
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);
inline HWND HWND_TOPMOST() { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)); }
inline HWND HWND_BROADCAST() { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(0xFFFF)); }

// System commands, mouse keys, message-send flags.
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr UINT SMTO_NORMAL = 0x0000;

// Message boxes.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDCLOSE = 8;

// Errors, priorities.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD HIGH_PRIORITY_CLASS = 0x00000080;
constexpr DWORD NORMAL_PRIORITY_CLASS = 0x00000020;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;

}  // namespace os
