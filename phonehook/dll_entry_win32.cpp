// The DLL's entry point on Windows. Thread notifications are ignored.
#include "phonehook/hook_state.h"

namespace {
constexpr os::DWORD DLL_PROCESS_DETACH = 0;
constexpr os::DWORD DLL_PROCESS_ATTACH = 1;
}  // namespace

extern "C" os::BOOL OS_CALLBACK DllMain(void* module, os::DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) PhonehookProcessAttach(static_cast<os::HINSTANCE>(module));
  if (reason == DLL_PROCESS_DETACH) PhonehookProcessDetach();
  return os::TRUE;
}
