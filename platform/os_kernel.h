// Time, threads, locks, the named mutex, process facts and files.
#pragma once

#include <cstdio>

#include "platform/os_types.h"

namespace os {

// Time. On the simulator every sleep and wait runs on the virtual clock.
void Sleep(DWORD milliseconds);
DWORD GetTickCount();
void GetLocalTime(SYSTEMTIME* time);

// Errors and handles.
DWORD GetLastError();
void SetLastError(DWORD error);
BOOL CloseHandle(HANDLE handle);

// The named mutex of the single-instance guard.
HANDLE CreateMutexA(BOOL initialOwner, const char* name);
BOOL ReleaseMutex(HANDLE mutex);

// The running process.
DWORD GetModuleFileNameA(char* buffer, DWORD size);
const char* GetCommandLineA();
HANDLE GetCurrentProcess();
HANDLE GetCurrentThread();
DWORD GetCurrentThreadId();
BOOL SetPriorityClass(HANDLE process, DWORD priorityClass);
BOOL SetThreadPriority(HANDLE thread, int priority);

// The extended version record (156 bytes on Windows); the caller sets
// dwOSVersionInfoSize to 156 or to 148 for the basic record.
struct OSVERSIONINFOEXA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  char szCSDVersion[128];
  WORD wServicePackMajor;
  WORD wServicePackMinor;
  WORD wSuiteMask;
  BYTE wProductType;
  BYTE wReserved;
};
constexpr DWORD OSVERSIONINFOEX_SIZE = 156;
constexpr DWORD OSVERSIONINFO_SIZE = 148;
BOOL GetVersionExA(OSVERSIONINFOEXA* info);

// Threads: created running, at the given priority; never joined.
HANDLE BeginThread(THREADPROC proc, void* param, int priority);

// A lock between threads of one process.
struct CriticalSection {
  void* impl = nullptr;
};
void InitializeCriticalSection(CriticalSection* lock);
void EnterCriticalSection(CriticalSection* lock);
void LeaveCriticalSection(CriticalSection* lock);
void DeleteCriticalSection(CriticalSection* lock);

// A C stream on a Windows path; mode as for fopen ("w", "a", "r"; text mode
// turns "\n" into CR LF on write). Null when the file cannot be opened.
std::FILE* OpenFileStream(const char* path, const char* mode);

// Initialisation files ("[section]" lines and "key=value" lines), with the
// system's rules: a missing file or key gives the default; writing creates
// the file, the section and the key as needed.
UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* path);
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* path);
BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* path);

}  // namespace os
