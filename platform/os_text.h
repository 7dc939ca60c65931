// Text conversion between the ANSI code page, UTF-16 and UTF-8.
#pragma once

#include "platform/os_types.h"

namespace os {

// A UTF-16 code unit, as the system's wide strings hold them.
using WCHAR = char16_t;

constexpr UINT CP_ACP = 0;  // the system's ANSI code page
constexpr UINT CP_UTF8 = 65001;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;

// With length -1 the text is NUL-terminated and the terminator is converted
// too. With a size of 0 only the size needed is returned. The result is the
// number of units written (or needed); 0 on failure, with the reason in
// GetLastError.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int length, WCHAR* wide, int wideSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int length, char* text, int size,
                        const char* defaultChar, BOOL* usedDefault);

}  // namespace os
