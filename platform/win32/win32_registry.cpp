// The registry seam over the real advapi32 API.
#include "platform/os_registry.h"

#include "platform/win32/win32_api.h"

namespace os {

LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD options, DWORD access, HKEY* result) {
  return ::RegOpenKeyExA(reinterpret_cast<::HKEY>(root), subKey, options, access,
                         reinterpret_cast<::HKEY*>(result));
}
LONG RegCreateKeyA(HKEY root, const char* subKey, HKEY* result) {
  return ::RegCreateKeyA(reinterpret_cast<::HKEY>(root), subKey, reinterpret_cast<::HKEY*>(result));
}
LONG RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
  ::DWORD valueType = 0, valueSize = size ? *size : 0;
  LONG result = ::RegQueryValueExA(reinterpret_cast<::HKEY>(key), name, nullptr, &valueType, data,
                                   size ? &valueSize : nullptr);
  if (type) *type = valueType;
  if (size) *size = valueSize;
  return result;
}
LONG RegSetValueExA(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
  return ::RegSetValueExA(reinterpret_cast<::HKEY>(key), name, 0, type, data, size);
}
LONG RegCloseKey(HKEY key) { return ::RegCloseKey(reinterpret_cast<::HKEY>(key)); }

}  // namespace os
