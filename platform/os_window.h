// Windows, messages, dialogs, timers and message boxes.
#pragma once

#include "platform/os_types.h"

namespace os {

// Window classes and windows.
BOOL RegisterWindowClass(const char* className, WNDPROC proc);
HWND CreateWindowExA(LONG exStyle, const char* className, const char* title, LONG style, int x,
                     int y, int width, int height, HWND parent, int controlId);
BOOL DestroyWindow(HWND window);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Finding and walking windows.
HWND FindWindowA(const char* className, const char* title);
// The first child of parent (the desktop when null) after childAfter (from
// the first when null) in z-order whose class and title match as FindWindowA's
// do; null when childAfter is not one of parent's children.
HWND FindWindowExA(HWND parent, HWND childAfter, const char* className, const char* title);
// Calls proc with each top-level window in z-order, from a list taken once,
// until it returns FALSE.
BOOL EnumWindows(WNDENUMPROC proc, LPARAM param);
// Calls proc with each top-level window of thread threadId in z-order, from
// a list taken once, until it returns FALSE.
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM param);
HWND GetDesktopWindow();
HWND GetWindow(HWND window, UINT relation);
HWND GetDlgItem(HWND dialog, int controlId);
int GetDlgCtrlID(HWND window);
BOOL IsWindow(HWND window);
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);

// Reading and changing a window.
int GetClassNameA(HWND window, char* buffer, int size);
int GetWindowTextA(HWND window, char* buffer, int size);
BOOL SetWindowTextA(HWND window, const char* text);
LONG GetWindowLongA(HWND window, int index);
LONG SetWindowLongA(HWND window, int index, LONG value);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
BOOL IsIconic(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL SetForegroundWindow(HWND window);
int GetSystemMetrics(int index);
// A dialog's pointer-sized slots (DWLP_USER); the slots of one's own
// windows are read without asking the window system.
LONG_PTR GetWindowLongPtrA(HWND window, int index);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);

// Messages.
UINT RegisterWindowMessageA(const char* name);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                            UINT timeoutMs, UINT_PTR* result);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL GetMessageA(MSG* msg, HWND window, UINT first, UINT last);
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT removal);
LRESULT DispatchMessageA(const MSG* msg);
void PostQuitMessage(int exitCode);

// Timers. Each fires as WM_TIMER on the window's queue until killed.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs);
BOOL KillTimer(HWND window, UINT_PTR id);

// Dialogs, built from the program's dialog templates by resource id.
INT_PTR DialogBoxParamA(int templateId, HWND parent, DLGPROC proc, LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

}  // namespace os
