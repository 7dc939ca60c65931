// The stand-in softphone's handset and its calls: what it believes about
// the handset, the digits it types, and the incoming calls it rings,
// answers, ends and refuses.
#include "platform/os_window.h"
#include "standins/softphone/softphone_state.h"

namespace softphone {

namespace {

constexpr unsigned OFF_HOOK = 0x8E;
constexpr unsigned OFF_HOOK_ALT = 0xC9;
constexpr unsigned ON_HOOK = 0x8F;
constexpr unsigned STAR = 0x6A;
constexpr unsigned HASH = 0x88;
constexpr os::LPARAM DECLINE_POINT = (103 << 16) | 226;
constexpr int DIALER_LEFT = 100, DIALER_TOP = 100;

void SetBox(const std::string& text) {
  os::SendMessageA(phone.numberBox, TYPE_INTO_BOX, 0, reinterpret_cast<os::LPARAM>(text.c_str()));
}

void ClosePopup() {
  if (!phone.popup) return;
  os::HWND popup = phone.popup;
  phone.popup = nullptr;
  os::DestroyWindow(popup);
  Note("popup-gone");
}

// The dialing character of a handset code, or 0 for none.
char DialChar(unsigned code) {
  if (code >= '0' && code <= '9') return static_cast<char>(code);
  if (code == STAR) return '*';
  if (code == HASH) return '#';
  return 0;
}

void LiftHandset() {
  if (phone.offHook) return;
  phone.offHook = true;
  ShowDialer();
  if (phone.call == Call::RINGING) {
    Note("answer");
    phone.call = Call::TALKING;
    ClosePopup();
    return;
  }
  // A fresh number for each lift, as a dialer starts over.
  if (!phone.typed.empty()) {
    phone.typed.clear();
    SetBox("");
  }
}

void PutDownHandset() {
  if (!phone.offHook) return;
  phone.offHook = false;
  if (phone.call == Call::TALKING) {
    phone.call = Call::NONE;
    Note("call-end");
  }
}

}  // namespace

void OnHandsetKey(unsigned code) {
  code &= 0xFF;
  if (code == OFF_HOOK || code == OFF_HOOK_ALT) return LiftHandset();
  if (code == ON_HOOK) return PutDownHandset();
  char key = DialChar(code);
  // A handset the softphone believes is down does not dial.
  if (!key || !phone.offHook) return;
  if (phone.call == Call::TALKING) {
    Note("tone %c", key);
    return;
  }
  if (phone.typed.size() < 64) phone.typed += key;
  SetBox(phone.typed);
}

void Ring(bool large) {
  if (phone.call != Call::NONE || phone.offHook) {
    Note("busy");
    return;
  }
  ShowDialer();
  int width = large ? 314 : 280, height = large ? 139 : 126;
  phone.popup = os::CreateWindowExA(0, "QWidget", "", os::WS_POPUP | os::WS_VISIBLE, 600, 400, width,
                                    height, nullptr, 0);
  phone.call = Call::RINGING;
  Note("popup %dx%d", width, height);
}

void FarEndGone() {
  if (phone.call == Call::RINGING) {
    phone.call = Call::NONE;
    ClosePopup();
  } else if (phone.call == Call::TALKING) {
    phone.call = Call::NONE;
    Note("call-end");
  }
}

void OnPopupClick(os::LPARAM point) {
  if (point != DECLINE_POINT || phone.call != Call::RINGING) return;
  phone.call = Call::NONE;
  ClosePopup();
}

void ShowDialer() {
  os::RECT rect = {};
  os::GetWindowRect(phone.main, &rect);
  bool hidden = !os::IsWindowVisible(phone.main);
  if (!hidden && rect.top >= 0) return;
  if (rect.top < 0)
    os::SetWindowPos(phone.main, nullptr, DIALER_LEFT, DIALER_TOP, 0, 0, os::SWP_NOSIZE | os::SWP_NOZORDER);
  if (hidden) os::ShowWindow(phone.main, os::SW_SHOW);
  Note("dialer-shown");
}

}  // namespace softphone
