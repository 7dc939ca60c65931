// The kernel seam over the real kernel32 API.
#include "platform/os_kernel.h"

#include <cstddef>

#include "platform/win32/win32_api.h"

namespace os {

void Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }
DWORD GetTickCount() { return ::GetTickCount(); }

void GetLocalTime(SYSTEMTIME* time) {
  ::SYSTEMTIME t = {};
  ::GetLocalTime(&t);
  *time = SYSTEMTIME{t.wYear, t.wMonth, t.wDayOfWeek, t.wDay,
                     t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

DWORD GetLastError() { return ::GetLastError(); }
void SetLastError(DWORD error) { ::SetLastError(error); }
BOOL CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

HANDLE CreateMutexA(BOOL initialOwner, const char* name) {
  return ::CreateMutexA(nullptr, initialOwner, name);
}
BOOL ReleaseMutex(HANDLE mutex) { return ::ReleaseMutex(mutex); }

DWORD GetModuleFileNameA(char* buffer, DWORD size) {
  return ::GetModuleFileNameA(nullptr, buffer, size);
}
const char* GetCommandLineA() { return ::GetCommandLineA(); }
HANDLE GetCurrentProcess() { return ::GetCurrentProcess(); }
HANDLE GetCurrentThread() { return ::GetCurrentThread(); }
DWORD GetCurrentThreadId() { return ::GetCurrentThreadId(); }
BOOL SetPriorityClass(HANDLE process, DWORD priorityClass) {
  return ::SetPriorityClass(process, priorityClass);
}
BOOL SetThreadPriority(HANDLE thread, int priority) {
  return ::SetThreadPriority(thread, priority);
}

// The seam's record has the system's layout, so it is passed through as is.
static_assert(sizeof(OSVERSIONINFOEXA) == sizeof(::OSVERSIONINFOEXA));
static_assert(offsetof(OSVERSIONINFOEXA, wServicePackMajor) ==
              offsetof(::OSVERSIONINFOEXA, wServicePackMajor));
BOOL GetVersionExA(OSVERSIONINFOEXA* info) {
  return ::GetVersionExA(reinterpret_cast<::OSVERSIONINFOA*>(info));
}

UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* path) {
  return ::GetPrivateProfileIntA(section, key, defaultValue, path);
}
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* path) {
  return ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, path);
}
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* path) {
  return ::WritePrivateProfileStringA(section, key, value, path);
}

std::FILE* OpenFileStream(const char* path, const char* mode) { return std::fopen(path, mode); }

}  // namespace os
