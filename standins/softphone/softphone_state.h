// The stand-in softphone's state and the pieces its two files share: the
// windows (softphone.cpp) and the handset and call model
// (softphone_calls.cpp). The call state is touched only on the dialer's
// thread; the transcript is written from either thread.
#pragma once

#include <string>

#include "platform/os_types.h"

namespace softphone {

constexpr os::UINT HANDSET_KEY = os::WM_USER + 3;
constexpr os::WPARAM SWALLOWED_TICK = 10000;
// A key the handset driver thread passes on to the dialer's thread.
constexpr os::UINT HANDSET_EVENT = os::WM_APP + 10;
// The softphone's own typing into its number box (lParam: the text).
constexpr os::UINT TYPE_INTO_BOX = os::WM_APP + 11;

enum class Call { NONE, RINGING, TALKING };

struct State {
  std::string version = "2012.1";
  std::string transcript;
  bool closeOffscreen = false;
  os::HWND main = nullptr;
  os::HWND handset = nullptr;
  os::HWND numberBox = nullptr;
  os::HWND popup = nullptr;
  // What the softphone believes, not what the handset is.
  bool offHook = false;
  Call call = Call::NONE;
  std::string typed;
};

extern State phone;

void Note(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Called on the dialer's thread.
void OnHandsetKey(unsigned code);
void Ring(bool large);
void FarEndGone();
void OnPopupClick(os::LPARAM point);
void ShowDialer();

}  // namespace softphone
