// The tray and icon seam over the real shell32 and user32 API.
#include "platform/os_shell.h"

#include <cstring>

// Read before <windows.h>, whose macro of the same name would replace it.
static constexpr os::DWORD programTraySize = os::NOTIFYICONDATA_V2_SIZE;

#include "platform/win32/win32_api.h"

#include <shellapi.h>

using os::win32::H;

static_assert(programTraySize == NOTIFYICONDATAA_V2_SIZE,
              "the program's tray record size is the system's version-2 size");

namespace os {

BOOL Shell_NotifyIconA(DWORD operation, NOTIFYICONDATAA* data) {
  ::NOTIFYICONDATAA record = {};
  record.cbSize = data->cbSize;
  record.hWnd = H(data->hWnd);
  record.uID = data->uID;
  record.uFlags = data->uFlags;
  record.uCallbackMessage = data->uCallbackMessage;
  record.hIcon = reinterpret_cast<::HICON>(data->hIcon);
  static_assert(sizeof(record.szTip) == sizeof(data->szTip));
  std::memcpy(record.szTip, data->szTip, sizeof(record.szTip));
  record.szTip[sizeof(record.szTip) - 1] = '\0';
  return ::Shell_NotifyIconA(operation, &record);
}

INT_PTR ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                      const char* directory, int show) {
  return reinterpret_cast<INT_PTR>(::ShellExecuteA(H(owner), verb, file, parameters, directory, show));
}

HICON LoadIconResource(int resourceId, int width, int height) {
  return reinterpret_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                              MAKEINTRESOURCEA(resourceId), IMAGE_ICON, width,
                                              height, LR_DEFAULTCOLOR));
}

BOOL DestroyIcon(HICON icon) { return ::DestroyIcon(reinterpret_cast<::HICON>(icon)); }

}  // namespace os
