// The registry: the few calls that read and write one string value.
#pragma once

#include "platform/os_types.h"

namespace os {

struct HKEY__;
using HKEY = HKEY__*;
inline HKEY HKEY_CURRENT_USER() {
  return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));
}

constexpr DWORD KEY_QUERY_VALUE = 0x0001;
constexpr DWORD KEY_SET_VALUE = 0x0002;
constexpr DWORD KEY_READ = 0x20019;
constexpr DWORD REG_SZ = 1;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_MORE_DATA = 234;

LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, DWORD access, HKEY* result);
// Opens the key, creating it and its parents where missing.
LONG RegCreateKeyA(HKEY root, const char* subKey, HKEY* result);
// With data null, only the size in bytes (terminator included) is returned.
LONG RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size);
LONG RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size);
LONG RegCloseKey(HKEY key);

}  // namespace os
