// Threads and critical sections over the real kernel32 API. Kept apart from
// the plain kernel forwards because they allocate: the hook library links
// only the forwards it calls, and so none of the C++ runtime's allocation and
// exception support ends up in the softphone's process.
#include "platform/os_kernel.h"

#include "platform/win32/win32_api.h"

namespace os {

namespace {
struct ThreadStart {
  THREADPROC proc;
  void* param;
};
::DWORD WINAPI ThreadEntry(void* raw) {
  ThreadStart start = *static_cast<ThreadStart*>(raw);
  delete static_cast<ThreadStart*>(raw);
  return start.proc(start.param);
}
}  // namespace

HANDLE BeginThread(THREADPROC proc, void* param, int priority) {
  auto* start = new ThreadStart{proc, param};
  HANDLE thread = ::CreateThread(nullptr, 0, ThreadEntry, start, CREATE_SUSPENDED, nullptr);
  if (!thread) {
    delete start;
    return nullptr;
  }
  ::SetThreadPriority(thread, priority);
  ::ResumeThread(thread);
  return thread;
}

void InitializeCriticalSection(CriticalSection* lock) {
  auto* section = new ::CRITICAL_SECTION;
  ::InitializeCriticalSection(section);
  lock->impl = section;
}
void EnterCriticalSection(CriticalSection* lock) {
  ::EnterCriticalSection(static_cast<::CRITICAL_SECTION*>(lock->impl));
}
void LeaveCriticalSection(CriticalSection* lock) {
  ::LeaveCriticalSection(static_cast<::CRITICAL_SECTION*>(lock->impl));
}
void DeleteCriticalSection(CriticalSection* lock) {
  auto* section = static_cast<::CRITICAL_SECTION*>(lock->impl);
  if (!section) return;
  ::DeleteCriticalSection(section);
  delete section;
  lock->impl = nullptr;
}

}  // namespace os
