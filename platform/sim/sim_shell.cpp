// The notification area and icon resources of the simulated desktop. Icons
// stay in the notification area until deleted, even when their process ends.
// Like the shell, it takes only the record sizes it knows, keeps of a record
// only what its flags name, and refuses an icon handle it never gave out.
#include <cstring>

#include "platform/os_shell.h"
#include "platform/sim/world.h"

namespace {

// The tray record's sizes on 32-bit Windows: the first layout, the
// version-2 layout (128-character tip), version 3 (with the item GUID) and
// the full record (with the balloon icon).
bool KnownRecordSize(os::DWORD size) { return size == 88 || size == 488 || size == 504 || size == 508; }

}  // namespace

namespace os {

HICON LoadIconResource(int resourceId, int width, int height) {
  if (!sim::Resources().HasIcon(resourceId) || width <= 0 || height <= 0) return nullptr;
  // Each load is an icon of its own, as a load without sharing is on the
  // system, until it is destroyed.
  sim::World& world = sim::TheWorld();
  auto handle = reinterpret_cast<HICON>(world.nextIconHandle);
  world.nextIconHandle += 4;
  world.icons[handle] = sim::World::LoadedIcon{resourceId, width, height};
  sim::CountObject(sim::kinds::ICONS, handle);
  return handle;
}

BOOL DestroyIcon(HICON icon) {
  if (!sim::TheWorld().icons.erase(icon)) return FALSE;
  sim::UncountObject(sim::kinds::ICONS, icon);
  return TRUE;
}

BOOL Shell_NotifyIconA(DWORD operation, NOTIFYICONDATAA* data) {
  sim::World& world = sim::TheWorld();
  if (!data) return FALSE;
  auto key = std::make_pair(data->hWnd, data->uID);
  bool exists = world.trayIcons.count(key) != 0;
  sim::World::LoadedIcon icon = {0, 0, 0};
  bool iconKnown = true;
  if ((data->uFlags & NIF_ICON) && data->hIcon) {
    auto found = world.icons.find(data->hIcon);
    iconKnown = found != world.icons.end();
    if (iconKnown) icon = found->second;
  }
  std::string tip;
  if (data->uFlags & NIF_TIP) tip.assign(data->szTip, strnlen(data->szTip, sizeof data->szTip));

  bool ok = false;
  if (!KnownRecordSize(data->cbSize) || !iconKnown) {
    ok = false;
  } else if (operation == NIM_ADD && !exists) {
    UINT message = (data->uFlags & NIF_MESSAGE) ? data->uCallbackMessage : 0;
    world.trayIcons[key] = sim::TrayIcon{data->hWnd, data->uID, icon.resource, icon.width, icon.height, tip, message};
    ok = true;
  } else if (operation == NIM_MODIFY && exists) {
    sim::TrayIcon& shown = world.trayIcons[key];
    if (data->uFlags & NIF_ICON) {
      shown.iconResource = icon.resource;
      shown.iconWidth = icon.width;
      shown.iconHeight = icon.height;
    }
    if (data->uFlags & NIF_TIP) shown.tip = tip;
    if (data->uFlags & NIF_MESSAGE) shown.callbackMessage = data->uCallbackMessage;
    ok = true;
  } else if (operation == NIM_DELETE && exists) {
    world.trayIcons.erase(key);
    ok = true;
  }
  world.trayEvents.push_back(sim::TrayEvent{operation, data->cbSize, data->hWnd, data->uID, data->uFlags,
                                            icon.resource, icon.width, icon.height, tip, ok});
  return ok ? TRUE : FALSE;
}

}  // namespace os
