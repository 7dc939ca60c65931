// Kernel services of the simulated desktop: the virtual clock, per-thread
// errors, kernel handles with the named mutex, process facts, threads and
// locks.
#include <algorithm>
#include <cstring>
#include <ctime>

#include "platform/os_kernel.h"
#include "platform/sim/world.h"

namespace sim {

namespace {

const os::HANDLE CURRENT_PROCESS = reinterpret_cast<os::HANDLE>(static_cast<std::intptr_t>(-1));
const os::HANDLE CURRENT_THREAD = reinterpret_cast<os::HANDLE>(static_cast<std::intptr_t>(-2));

os::HANDLE NewHandle(std::shared_ptr<KernelObject> object) {
  World& world = TheWorld();
  os::HANDLE handle = reinterpret_cast<os::HANDLE>(world.nextHandle);
  world.nextHandle += 4;
  CountObject(object->kind, handle);
  world.handles[handle] = std::move(object);
  CurrentThread()->process->handles.push_back(handle);
  return handle;
}

}  // namespace

// Closes a handle on behalf of its process; the last handle of a named
// object takes the name with it.
void CloseKernelHandle(Process* process, os::HANDLE handle) {
  World& world = TheWorld();
  auto found = world.handles.find(handle);
  if (found == world.handles.end()) return;
  std::shared_ptr<KernelObject> object = found->second;
  world.handles.erase(found);
  world.threadHandles.erase(handle);
  UncountObject(object->kind, handle);
  auto& held = process->handles;
  held.erase(std::remove(held.begin(), held.end(), handle), held.end());
  if (--object->references == 0) object->name.clear();
  for (auto& thread : world.threads) {
    if (object->owner == thread.get() && thread->process == process) object->owner = nullptr;
  }
}

}  // namespace sim

namespace os {

using sim::CurrentThread;
using sim::TheWorld;

void Sleep(DWORD milliseconds) {
  sim::Block(TheWorld().now + milliseconds, nullptr);
}

DWORD GetTickCount() { return static_cast<DWORD>(TheWorld().now); }

void GetLocalTime(SYSTEMTIME* time) {
  const SYSTEMTIME& base = TheWorld().localTimeBase;
  std::tm start = {};
  start.tm_year = base.wYear - 1900;
  start.tm_mon = base.wMonth - 1;
  start.tm_mday = base.wDay;
  start.tm_hour = base.wHour;
  start.tm_min = base.wMinute;
  start.tm_sec = base.wSecond;
  std::uint64_t totalMs = base.wMilliseconds + (TheWorld().now - TheWorld().localTimeOrigin);
  std::time_t seconds = timegm(&start) + static_cast<std::time_t>(totalMs / 1000);
  std::tm now = {};
  gmtime_r(&seconds, &now);
  *time = SYSTEMTIME{static_cast<WORD>(now.tm_year + 1900), static_cast<WORD>(now.tm_mon + 1),
                     static_cast<WORD>(now.tm_wday),        static_cast<WORD>(now.tm_mday),
                     static_cast<WORD>(now.tm_hour),        static_cast<WORD>(now.tm_min),
                     static_cast<WORD>(now.tm_sec),         static_cast<WORD>(totalMs % 1000)};
}

DWORD GetLastError() { return CurrentThread()->lastError; }
void SetLastError(DWORD error) { CurrentThread()->lastError = error; }

BOOL CloseHandle(HANDLE handle) {
  if (!TheWorld().handles.count(handle)) return FALSE;
  sim::CloseKernelHandle(CurrentThread()->process, handle);
  return TRUE;
}

HANDLE CreateMutexA(BOOL initialOwner, const char* name) {
  sim::World& world = TheWorld();
  std::string key = name ? name : "";
  if (!key.empty()) {
    for (auto& entry : world.handles) {
      if (entry.second->name == key) {
        entry.second->references++;
        HANDLE handle = sim::NewHandle(entry.second);
        CurrentThread()->lastError = ERROR_ALREADY_EXISTS;
        return handle;
      }
    }
  }
  auto mutex = std::make_shared<sim::KernelObject>();
  mutex->kind = sim::kinds::MUTEX_HANDLES;
  mutex->name = key;
  mutex->references = 1;
  if (initialOwner) {
    mutex->owner = CurrentThread();
    mutex->ownerDepth = 1;
  }
  HANDLE handle = sim::NewHandle(mutex);
  CurrentThread()->lastError = ERROR_SUCCESS;
  return handle;
}

BOOL ReleaseMutex(HANDLE handle) {
  auto found = TheWorld().handles.find(handle);
  if (found == TheWorld().handles.end()) return FALSE;
  sim::KernelObject& mutex = *found->second;
  if (mutex.owner != CurrentThread()) return FALSE;
  if (--mutex.ownerDepth == 0) mutex.owner = nullptr;
  return TRUE;
}

// Like the system: a path that does not fit is cut to size - 1 characters,
// terminated, and the result is size.
DWORD GetModuleFileNameA(char* buffer, DWORD size) {
  const std::string& path = CurrentThread()->process->exePath;
  if (!buffer || size == 0) return 0;
  if (path.size() < size) {
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
  }
  std::memcpy(buffer, path.data(), size - 1);
  buffer[size - 1] = '\0';
  return size;
}

const char* GetCommandLineA() { return CurrentThread()->process->commandLine.c_str(); }

HANDLE GetCurrentProcess() { return sim::CURRENT_PROCESS; }
HANDLE GetCurrentThread() { return sim::CURRENT_THREAD; }
DWORD GetCurrentThreadId() { return CurrentThread()->id; }

BOOL SetPriorityClass(HANDLE process, DWORD priorityClass) {
  if (process != sim::CURRENT_PROCESS) return FALSE;
  CurrentThread()->process->priorityClass = priorityClass;
  return TRUE;
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
  sim::SimThread* target = nullptr;
  if (thread == sim::CURRENT_THREAD) {
    target = CurrentThread();
  } else {
    auto found = TheWorld().threadHandles.find(thread);
    if (found != TheWorld().threadHandles.end()) target = found->second;
  }
  if (!target) return FALSE;
  target->priority = priority;
  return TRUE;
}

BOOL GetVersionExA(OSVERSIONINFOEXA* info) {
  const sim::VersionConfig& version = TheWorld().version;
  bool works = (info->dwOSVersionInfoSize == OSVERSIONINFOEX_SIZE && version.extendedQueryWorks) ||
               (info->dwOSVersionInfoSize == OSVERSIONINFO_SIZE && version.basicQueryWorks);
  if (!works) return FALSE;
  info->dwMajorVersion = version.major;
  info->dwMinorVersion = version.minor;
  info->dwBuildNumber = version.build;
  info->dwPlatformId = version.platformId;
  return TRUE;
}

HANDLE BeginThread(THREADPROC proc, void* param, int priority) {
  sim::SimThread* thread = sim::SpawnThread(CurrentThread()->process, [proc, param] { proc(param); });
  thread->priority = priority;
  auto object = std::make_shared<sim::KernelObject>();
  object->kind = sim::kinds::THREAD_HANDLES;
  object->references = 1;
  HANDLE handle = sim::NewHandle(std::move(object));
  TheWorld().threadHandles[handle] = thread;
  return handle;
}

void InitializeCriticalSection(CriticalSection* lock) {
  lock->impl = new sim::SimLock;
  sim::CountObject(sim::kinds::LOCKS, lock->impl);
}

void EnterCriticalSection(CriticalSection* lock) {
  auto* state = static_cast<sim::SimLock*>(lock->impl);
  sim::SimThread* self = CurrentThread();
  while (state->owner && state->owner != self) sim::Block(sim::NEVER, [state] { return !state->owner; });
  state->owner = self;
  state->depth++;
}

void LeaveCriticalSection(CriticalSection* lock) {
  auto* state = static_cast<sim::SimLock*>(lock->impl);
  if (state->owner == CurrentThread() && --state->depth == 0) state->owner = nullptr;
}

void DeleteCriticalSection(CriticalSection* lock) {
  sim::UncountObject(sim::kinds::LOCKS, lock->impl);
  delete static_cast<sim::SimLock*>(lock->impl);
  lock->impl = nullptr;
}

}  // namespace os
