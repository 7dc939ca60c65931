// The keypad hook library. Installing the hook on the softphone's thread is
// not built yet: setMyHook reports failure, so the caller keeps retrying,
// and clearMyHook has nothing to undo.
#include "phonehook/phonehook.h"

extern "C" {

int setMyHook(os::HWND programWindow, os::HWND softphoneWindow) {
  clearMyHook(programWindow);
  (void)softphoneWindow;
  return 0;
}

int clearMyHook(os::HWND programWindow) {
  (void)programWindow;
  return 1;
}
}
