// The text-conversion seam over the real kernel32 API.
#include "platform/os_text.h"
#include "platform/win32/win32_api.h"

static_assert(sizeof(wchar_t) == sizeof(os::WCHAR), "a wide character is one UTF-16 unit");

namespace os {

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int length, WCHAR* wide, int wideSize) {
  return ::MultiByteToWideChar(codePage, flags, text, length, reinterpret_cast<wchar_t*>(wide), wideSize);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int length, char* text, int size,
                        const char* defaultChar, BOOL* usedDefault) {
  return ::WideCharToMultiByte(codePage, flags, reinterpret_cast<const wchar_t*>(wide), length, text, size,
                               defaultChar, usedDefault);
}

}  // namespace os
