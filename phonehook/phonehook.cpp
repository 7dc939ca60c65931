// Installing and removing the keypad hook, and the library's process entry.
#include "phonehook/phonehook.h"

#include "phonehook/hook_messages.h"
#include "phonehook/hook_state.h"
#include "platform/os_kernel.h"
#include "platform/os_window.h"

// On Windows the shared variables go to a section marked read, write and
// shared, so every process that loads the library sees the same copy.
#if defined(_WIN32)
#define PHONEHOOK_SHARED __attribute__((section(".SHARED"), shared))
#else
#define PHONEHOOK_SHARED
#endif

PHONEHOOK_SHARED PhonehookShared phonehookShared = {};

namespace {

// Per process: only the program, which called setMyHook, holds a hook.
os::HHOOK hookHandle = nullptr;
os::HINSTANCE moduleInstance = nullptr;
// The hook procedure has run in this process: it is the hooked softphone.
bool hookRunsHere = false;

constexpr os::DWORD DETACH_PAUSE_MS = 1000;

}  // namespace

extern "C" {

int setMyHook(os::HWND programWindow, os::HWND softphoneWindow) {
  clearMyHook(programWindow);
  if (programWindow && softphoneWindow) {
    os::DWORD thread = os::GetWindowThreadProcessId(softphoneWindow, nullptr);
    hookHandle = os::SetWindowsHookExA(os::WH_GETMESSAGE, &GetMessageHook, moduleInstance, thread);
  }
  if (!hookHandle) {
    clearMyHook(programWindow);
    return 0;
  }
  // The handles are in place before the softphone can see the request.
  phonehookShared.programWindow = programWindow;
  phonehookShared.softphoneWindow = softphoneWindow;
  os::PostMessageA(softphoneWindow, HOOK_ATTACH_MSG, reinterpret_cast<os::WPARAM>(programWindow), 0);
  return 1;
}

// The pause after the detach request lets the softphone's thread take it
// before the hook goes away under it.
int clearMyHook(os::HWND) {
  if (phonehookShared.attached) {
    os::PostMessageA(phonehookShared.softphoneWindow, HOOK_DETACH_MSG,
                     reinterpret_cast<os::WPARAM>(phonehookShared.programWindow), 0);
    os::Sleep(DETACH_PAUSE_MS);
  }
  if (hookHandle) os::UnhookWindowsHookEx(hookHandle);
  phonehookShared.programWindow = nullptr;
  phonehookShared.softphoneWindow = nullptr;
  phonehookShared.handsetWindow = nullptr;
  phonehookShared.attached = 0;
  hookHandle = nullptr;
  return 1;
}
}

// A process that loads the library takes part in the hook only if it set
// it (the program) or the hook runs in it (the softphone). Any other, such
// as a second copy of the program started by mistake, which ends at once,
// must leave the hook of the running copy alone: the shared handshake flag
// is reset only when no program holds the hook any more (a copy that ended
// without unhooking left it behind).
void PhonehookProcessAttach(os::HINSTANCE module) {
  hookHandle = nullptr;
  moduleInstance = module;
  if (!os::IsWindow(phonehookShared.programWindow)) phonehookShared.attached = 0;
}

// In the softphone's process this posts the detach request and clears the
// shared handles when the softphone ends or lets the library go; in the
// program it removes its hook.
void PhonehookProcessDetach() {
  if (hookHandle || hookRunsHere) clearMyHook(phonehookShared.programWindow);
}

os::LRESULT OS_CALLBACK GetMessageHook(int code, os::WPARAM removal, os::LPARAM message) {
  hookRunsHere = true;
  if (code >= 0) HandleRetrievedMessage(*reinterpret_cast<os::MSG*>(message), removal != 0);
  return os::CallNextHookEx(hookHandle, code, removal, message);
}
