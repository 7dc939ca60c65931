// The notification-area icon and the program's icon resources.
#pragma once

#include "platform/os_types.h"

namespace os {

// The version-2 tray record. Its size is the system's for the target: 488 on
// 32-bit Windows (and the simulated desktop, which models it), 504 on 64-bit
// Windows, where the handles are wider and aligned.
struct NOTIFYICONDATAA {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  char szTip[128];
};
#if defined(_WIN64)
constexpr DWORD NOTIFYICONDATA_V2_SIZE = 504;
#else
constexpr DWORD NOTIFYICONDATA_V2_SIZE = 488;
#endif
constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;
constexpr UINT NIF_MESSAGE = 0x1;
constexpr UINT NIF_ICON = 0x2;
constexpr UINT NIF_TIP = 0x4;

BOOL Shell_NotifyIconA(DWORD operation, NOTIFYICONDATAA* data);

// Asks the shell to carry out a verb ("open") on a file; above 32 on success.
INT_PTR ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                      const char* directory, int show);

// An icon resource of the running program at the given size: a new icon
// each time, which the caller destroys when done with it.
HICON LoadIconResource(int resourceId, int width, int height);
BOOL DestroyIcon(HICON icon);

}  // namespace os
