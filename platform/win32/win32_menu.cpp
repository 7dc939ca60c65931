// The menu seam over the real user32 API.
#include "platform/os_menu.h"

#include "platform/win32/win32_api.h"

using os::win32::H;

namespace os {

namespace {
::HMENU M(HMENU menu) { return reinterpret_cast<::HMENU>(menu); }
HMENU M(::HMENU menu) { return reinterpret_cast<HMENU>(menu); }
}  // namespace

HMENU LoadMenuResource(int resourceId) {
  return M(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
}
HMENU GetSubMenu(HMENU menu, int position) { return M(::GetSubMenu(M(menu), position)); }
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  return static_cast<UINT>(::EnableMenuItem(M(menu), item, flags));
}
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) {
  return ::TrackPopupMenu(M(menu), flags, x, y, 0, H(owner), nullptr);
}
BOOL DestroyMenu(HMENU menu) { return ::DestroyMenu(M(menu)); }
BOOL GetCursorPos(POINT* point) {
  ::POINT p = {};
  BOOL ok = ::GetCursorPos(&p);
  *point = POINT{p.x, p.y};
  return ok;
}

}  // namespace os
