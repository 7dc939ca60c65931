// The keypad hook library's two exports, as the program links against them.
// Both use the C calling convention and are exported under these exact names.
#pragma once

#include "platform/os_types.h"

extern "C" {

// Installs the message hook on the thread that owns softphoneWindow and
// starts the attach handshake; 1 on success, 0 on failure.
int setMyHook(os::HWND programWindow, os::HWND softphoneWindow);

// Removes the hook and clears the shared state; always 1.
int clearMyHook(os::HWND programWindow);
}
