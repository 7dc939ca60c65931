// Popup menus loaded from the program's resources, and the cursor position.
#pragma once

#include "platform/os_types.h"

namespace os {

constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_RIGHTALIGN = 0x0008;

HMENU LoadMenuResource(int resourceId);
HMENU GetSubMenu(HMENU menu, int position);
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags);
// Shows the menu until the user picks an item (sent to owner as WM_COMMAND)
// or dismisses it.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner);
BOOL DestroyMenu(HMENU menu);
BOOL GetCursorPos(POINT* point);

}  // namespace os
