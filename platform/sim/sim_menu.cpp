// Popup menus and the shell's "open" on the simulated desktop. A popup menu
// is recorded as shown, and the item the test chose for it arrives at its
// owner as WM_COMMAND, as the user's pick would.
#include "platform/os_menu.h"
#include "platform/os_shell.h"
#include "platform/os_window.h"
#include "platform/sim/world.h"

namespace sim {
namespace {

os::HMENU NewMenuHandle(MenuItem* menu) {
  World& world = TheWorld();
  auto handle = reinterpret_cast<os::HMENU>(world.nextMenuHandle);
  world.nextMenuHandle += 4;
  world.menuHandles[handle] = menu;
  return handle;
}

MenuItem* MenuOf(os::HMENU handle) {
  auto found = TheWorld().menuHandles.find(handle);
  return found == TheWorld().menuHandles.end() ? nullptr : found->second;
}

MenuItem* ItemById(MenuItem& menu, os::UINT id) {
  for (MenuItem& item : menu.items) {
    if (!item.separator && item.items.empty() && static_cast<os::UINT>(item.id) == id) return &item;
    if (MenuItem* inner = ItemById(item, id)) return inner;
  }
  return nullptr;
}

}  // namespace
}  // namespace sim

namespace os {

using sim::TheWorld;

HMENU LoadMenuResource(int resourceId) {
  const sim::MenuItem* menu = sim::Resources().Menu(resourceId);
  if (!menu) return nullptr;
  auto copy = std::make_shared<sim::MenuItem>(*menu);
  HMENU handle = sim::NewMenuHandle(copy.get());
  TheWorld().loadedMenus[handle] = copy;
  sim::CountObject(sim::kinds::MENUS, handle);
  return handle;
}

HMENU GetSubMenu(HMENU menu, int position) {
  sim::MenuItem* parent = sim::MenuOf(menu);
  if (!parent || position < 0 || position >= static_cast<int>(parent->items.size())) return nullptr;
  sim::MenuItem& item = parent->items[static_cast<std::size_t>(position)];
  if (item.items.empty()) return nullptr;
  for (auto& entry : TheWorld().menuHandles) {
    if (entry.second == &item) return entry.first;
  }
  return sim::NewMenuHandle(&item);
}

// Returns the item's previous state, or 0xFFFFFFFF when there is no such item.
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  sim::MenuItem* parent = sim::MenuOf(menu);
  sim::MenuItem* target = parent ? sim::ItemById(*parent, item) : nullptr;
  if (!target) return 0xFFFFFFFF;
  UINT previous = target->grayed ? MF_GRAYED : MF_ENABLED;
  target->grayed = (flags & MF_GRAYED) != 0;
  return previous;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner) {
  sim::MenuItem* popup = sim::MenuOf(menu);
  if (!popup) return FALSE;
  sim::PopupMenuRecord record{owner, x, y, flags, {}};
  for (const sim::MenuItem& item : popup->items) {
    record.items.push_back(item.separator ? "-" : item.text + (item.grayed ? " (grayed)" : ""));
  }
  TheWorld().popupMenus.push_back(record);
  int choice = TheWorld().nextMenuChoice;
  TheWorld().nextMenuChoice = 0;
  sim::MenuItem* chosen = choice ? sim::ItemById(*popup, static_cast<UINT>(choice)) : nullptr;
  if (chosen && !chosen->grayed) PostMessageA(owner, WM_COMMAND, static_cast<WPARAM>(choice), 0);
  return TRUE;
}

BOOL DestroyMenu(HMENU menu) {
  auto& loaded = TheWorld().loadedMenus;
  auto found = loaded.find(menu);
  if (found == loaded.end()) return FALSE;
  sim::MenuItem* root = found->second.get();
  auto& handles = TheWorld().menuHandles;
  for (auto it = handles.begin(); it != handles.end();) {
    bool inside = it->second == root;
    for (sim::MenuItem& item : root->items) inside = inside || it->second == &item;
    it = inside ? handles.erase(it) : std::next(it);
  }
  loaded.erase(found);
  sim::UncountObject(sim::kinds::MENUS, menu);
  return TRUE;
}

BOOL GetCursorPos(POINT* point) {
  *point = TheWorld().cursor;
  return TRUE;
}

INT_PTR ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters,
                      const char* directory, int show) {
  auto text = [](const char* value) { return std::string(value ? value : ""); };
  TheWorld().shellExecutes.push_back(
      sim::ShellExecuteRecord{owner, text(verb), text(file), text(parameters), text(directory), show});
  return 42;
}

}  // namespace os
