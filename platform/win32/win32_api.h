// Included by the Win32 implementation files after the seam headers, so the
// system's macros of the same names never reach the seam's own constants.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace os::win32 {

inline ::HWND H(os::HWND window) { return reinterpret_cast<::HWND>(window); }
inline os::HWND H(::HWND window) { return reinterpret_cast<os::HWND>(window); }

}  // namespace os::win32
