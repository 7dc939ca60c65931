// What the hook does inside the softphone's thread with each message that
// thread retrieves: the attach handshake, the detach, keys injected by the
// program, and the handset's own keys.
#include <cstring>

#include "phonehook/hook_messages.h"
#include "phonehook/hook_state.h"
#include "platform/os_kernel.h"
#include "platform/os_window.h"

namespace {

PhonehookShared& shared = phonehookShared;

bool FromProgram(const os::MSG& message) {
  return message.wParam == reinterpret_cast<os::WPARAM>(shared.programWindow);
}

void Report(os::WPARAM code) {
  os::PostMessageA(shared.programWindow, KEY_REPORT_MSG, code, 0);
}

// Tells the program the softphone's executable path, then raises the
// softphone's priorities. The report is sent, not posted, so the program has
// logged it before the softphone goes on.
void Attach() {
  shared.attached = 1;
  std::memset(shared.softphonePath, 0, sizeof shared.softphonePath);
  os::GetModuleFileNameA(shared.softphonePath, sizeof shared.softphonePath);
  shared.softphonePath[sizeof shared.softphonePath - 1] = '\0';

  // "FILEPATH <path>", cut to 255 characters.
  constexpr char KEYWORD[] = "FILEPATH ";
  char record[256] = {};
  std::size_t prefix = sizeof KEYWORD - 1;
  std::memcpy(record, KEYWORD, prefix);
  std::size_t length = std::strlen(shared.softphonePath);
  if (length > sizeof record - 1 - prefix) length = sizeof record - 1 - prefix;
  std::memcpy(record + prefix, shared.softphonePath, length);
  os::COPYDATASTRUCT copy = {0, static_cast<os::DWORD>(std::strlen(record) + 1), record};
  os::SendMessageA(shared.programWindow, os::WM_COPYDATA,
                   reinterpret_cast<os::WPARAM>(shared.softphoneWindow),
                   reinterpret_cast<os::LPARAM>(&copy));

  os::SetPriorityClass(os::GetCurrentProcess(), os::HIGH_PRIORITY_CLASS);
  os::SetThreadPriority(os::GetCurrentThread(), os::THREAD_PRIORITY_TIME_CRITICAL);
  shared.expectOnHookEcho = 0;
  shared.expectOffHookEcho = 0;
}

os::HWND HandsetWindow() {
  if (!shared.handsetWindow) {
    shared.handsetWindow = os::FindWindowA(HANDSET_WINDOW_CLASS, HANDSET_WINDOW_TITLE);
    if (!shared.handsetWindow) {
      shared.handsetWindow =
          os::GetWindow(os::FindWindowA(HANDSET_WINDOW_CLASS, HANDSET_PROXY_TITLE), os::GW_CHILD);
    }
  }
  return shared.handsetWindow;
}

// A key the program injects: translated into the softphone's handset code
// and posted to its handset window. The flags are set whoever sent it.
void InjectKey(const os::MSG& message) {
  os::HWND handset = HandsetWindow();
  unsigned key = static_cast<unsigned>(message.lParam) & 0xFF;
  os::WPARAM code = 0;
  bool post = true;
  if (key == '#') {
    code = HANDSET_HASH;
  } else if (key == '*') {
    code = HANDSET_STAR;
  } else if (key >= '0' && key <= '9') {
    code = static_cast<os::WPARAM>(message.lParam);
  } else if (key == KEY_OFF_HOOK) {
    shared.expectOffHookEcho = 1;
    code = HANDSET_OFF_HOOK;
  } else if (key == KEY_ON_HOOK) {
    shared.expectOnHookEcho = 1;
    shared.swallowKeys = 1;
    code = HANDSET_ON_HOOK;
  } else {
    post = false;
  }
  if (post && FromProgram(message)) os::PostMessageA(handset, HANDSET_KEY_MSG, code, 0);
}

// Keeps a dialling key from the softphone while a Skype call holds the
// handset: its window procedure gets a timer tick it does not know. The
// tick's lParam is cleared, since a timer message with one names a callback.
void Swallow(os::MSG& message) {
  if (!shared.swallowKeys) return;
  message.message = os::WM_TIMER;
  message.wParam = SWALLOWED_TIMER_ID;
  message.lParam = 0;
}

void HandsetKey(os::MSG& message) {
  unsigned key = static_cast<unsigned>(message.wParam) & 0xFF;
  if (key < '0') return;
  if (key <= '9') {
    Report(message.wParam);
    Swallow(message);
  } else if (key == HANDSET_STAR) {
    Report('*');
    Swallow(message);
  } else if (key == HANDSET_HASH) {
    Report('#');
    Swallow(message);
  } else if (key == HANDSET_OFF_HOOK) {
    shared.swallowKeys = 0;
    if (shared.expectOffHookEcho) {
      shared.expectOffHookEcho = 0;
    } else {
      Report(KEY_OFF_HOOK);
    }
  } else if (key == HANDSET_ON_HOOK) {
    if (shared.expectOnHookEcho) {
      shared.expectOnHookEcho = 0;
    } else {
      Report(KEY_ON_HOOK);
    }
  } else if (key == HANDSET_OFF_HOOK_ALT) {
    Report(KEY_OFF_HOOK);
    Swallow(message);
  }
}

}  // namespace

void HandleRetrievedMessage(os::MSG& message, bool removing) {
  if (message.message == HOOK_ATTACH_MSG && FromProgram(message) && !shared.attached) Attach();
  if (message.message == HOOK_DETACH_MSG && FromProgram(message) && shared.attached) {
    shared.attached = 0;
  }
  if (!removing) return;
  if (message.message == KEY_INJECT_MSG) InjectKey(message);
  if (message.message == HANDSET_KEY_MSG) HandsetKey(message);
}
