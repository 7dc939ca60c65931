// A lock between the threads of the program, held for a scope with
// CSingleLock. It is created with its owner and deleted with it.
#pragma once

#include "platform/os_kernel.h"

class CCriticalSection {
 public:
  CCriticalSection() { os::InitializeCriticalSection(&section); }
  ~CCriticalSection() { os::DeleteCriticalSection(&section); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;

  void Lock() { os::EnterCriticalSection(&section); }
  void Unlock() { os::LeaveCriticalSection(&section); }

 private:
  os::CriticalSection section;
};

class CSingleLock {
 public:
  explicit CSingleLock(CCriticalSection& lock) : lock(lock) { lock.Lock(); }
  ~CSingleLock() { lock.Unlock(); }
  CSingleLock(const CSingleLock&) = delete;
  CSingleLock& operator=(const CSingleLock&) = delete;

 private:
  CCriticalSection& lock;
};
