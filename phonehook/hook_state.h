// The hook library's state. The shared part lives in a data section that
// every process with the library loaded shares (the program and the
// softphone); the rest is per process.
#pragma once

#include "platform/os_hook.h"
#include "platform/os_types.h"

struct PhonehookShared {
  os::HWND programWindow;    // receives reports; messages from the program carry it as wParam
  os::HWND softphoneWindow;  // the softphone window whose thread is hooked
  os::HWND handsetWindow;    // the softphone's handset driver window, looked up on first use
  os::LONG attached;         // the hook has answered the attach request in the softphone
  char softphonePath[256];   // the softphone's executable, at most 255 characters
  os::LONG swallowKeys;      // dialling keys must not reach the softphone
  os::LONG expectOnHookEcho;   // the next on-hook key is the program's own injection
  os::LONG expectOffHookEcho;  // the same for an injected off-hook key
};

extern PhonehookShared phonehookShared;

// The WH_GETMESSAGE procedure that runs on the softphone's GUI thread.
os::LRESULT OS_CALLBACK GetMessageHook(int code, os::WPARAM removal, os::LPARAM message);

// What the hook does with one retrieved message; removing is false for a peek.
void HandleRetrievedMessage(os::MSG& message, bool removing);

// The library's entry point: a process loads or unloads the library.
void PhonehookProcessAttach(os::HINSTANCE module);
void PhonehookProcessDetach();
