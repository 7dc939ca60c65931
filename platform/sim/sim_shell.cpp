// The notification area and icon resources of the simulated desktop. Icons
// stay in the notification area until deleted, even when their process ends.
#include <cstring>

#include "platform/os_shell.h"
#include "platform/sim/world.h"

namespace {
constexpr std::uintptr_t ICON_HANDLE_BASE = 0x7A000000;
}

namespace os {

HICON LoadIconResource(int resourceId, int, int) {
  if (!sim::Resources().HasIcon(resourceId)) return nullptr;
  return reinterpret_cast<HICON>(ICON_HANDLE_BASE + static_cast<std::uintptr_t>(resourceId));
}

BOOL Shell_NotifyIconA(DWORD operation, NOTIFYICONDATAA* data) {
  sim::World& world = sim::TheWorld();
  auto key = std::make_pair(data->hWnd, data->uID);
  bool exists = world.trayIcons.count(key) != 0;
  int iconResource = 0;
  if (data->hIcon) {
    iconResource = static_cast<int>(reinterpret_cast<std::uintptr_t>(data->hIcon) - ICON_HANDLE_BASE);
  }
  std::string tip(data->szTip, strnlen(data->szTip, sizeof data->szTip));

  bool ok = false;
  if (operation == NIM_ADD && !exists) {
    world.trayIcons[key] = sim::TrayIcon{data->hWnd, data->uID, iconResource, tip, data->uCallbackMessage};
    ok = true;
  } else if (operation == NIM_MODIFY && exists) {
    sim::TrayIcon& icon = world.trayIcons[key];
    if (data->uFlags & NIF_ICON) icon.iconResource = iconResource;
    if (data->uFlags & NIF_TIP) icon.tip = tip;
    if (data->uFlags & NIF_MESSAGE) icon.callbackMessage = data->uCallbackMessage;
    ok = true;
  } else if (operation == NIM_DELETE && exists) {
    world.trayIcons.erase(key);
    ok = true;
  }
  world.trayEvents.push_back(
      sim::TrayEvent{operation, data->cbSize, data->hWnd, data->uID, iconResource, tip, ok});
  return ok ? TRUE : FALSE;
}

}  // namespace os
