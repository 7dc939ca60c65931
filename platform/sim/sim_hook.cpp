// Message hooks and the registry of the simulated desktop.
#include "platform/os_hook.h"
#include "platform/os_registry.h"
#include "platform/os_window.h"
#include "platform/sim/world.h"

#include <cstring>

namespace sim {

void RunMessageHooks(SimThread* thread, os::MSG* msg, bool removing) {
  // Copied: a hook procedure may install or remove hooks.
  std::vector<Hook> hooks = TheWorld().hooks;
  for (const Hook& hook : hooks) {
    if (hook.threadId != thread->id) continue;
    hook.proc(os::HC_ACTION, removing ? os::PM_REMOVE : os::PM_NOREMOVE, reinterpret_cast<os::LPARAM>(msg));
    return;  // the first procedure decides whether to call the next
  }
}

namespace {

std::string KeyPath(os::HKEY root, const char* subKey) {
  World& world = TheWorld();
  std::string base;
  if (root == os::HKEY_CURRENT_USER()) {
    base = "hkcu";
  } else {
    auto found = world.openKeys.find(root);
    if (found == world.openKeys.end()) return "";
    base = found->second;
  }
  std::string sub = subKey ? ToLower(subKey) : "";
  return sub.empty() ? base : base + "\\" + sub;
}

os::HKEY NewKey(const std::string& path) {
  World& world = TheWorld();
  auto key = reinterpret_cast<os::HKEY>(world.nextKeyHandle);
  world.nextKeyHandle += 4;
  world.openKeys[key] = path;
  CountObject(kinds::REGISTRY_KEYS, key);
  return key;
}

}  // namespace

}  // namespace sim

namespace os {

using sim::TheWorld;

HHOOK SetWindowsHookExA(int hookType, HOOKPROC proc, HINSTANCE, DWORD threadId) {
  if (hookType != WH_GETMESSAGE || !proc) return nullptr;
  if (TheWorld().refuseHooks) {
    ++TheWorld().refusedHooks;
    return nullptr;
  }
  bool threadExists = false;
  for (auto& thread : TheWorld().threads) {
    if (thread->id == threadId && !thread->done && !thread->terminating) threadExists = true;
  }
  if (!threadExists) return nullptr;
  auto handle = reinterpret_cast<HHOOK>(TheWorld().nextHookHandle);
  TheWorld().nextHookHandle += 4;
  // The newest hook is called first.
  TheWorld().hooks.insert(TheWorld().hooks.begin(),
                          sim::Hook{handle, threadId, proc, sim::CurrentThread()->process});
  return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
  auto& hooks = TheWorld().hooks;
  for (auto it = hooks.begin(); it != hooks.end(); ++it) {
    if (it->handle == hook) {
      hooks.erase(it);
      return TRUE;
    }
  }
  return FALSE;
}

// Calls the hook installed after `hook` on the same thread, if any.
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  auto hooks = TheWorld().hooks;
  for (std::size_t i = 0; i < hooks.size(); ++i) {
    if (hooks[i].handle != hook) continue;
    for (std::size_t j = i + 1; j < hooks.size(); ++j) {
      if (hooks[j].threadId == hooks[i].threadId) return hooks[j].proc(code, wParam, lParam);
    }
  }
  return 0;
}

LONG RegOpenKeyExA(HKEY root, const char* subKey, DWORD, DWORD, HKEY* result) {
  std::string path = sim::KeyPath(root, subKey);
  if (path.empty() || !TheWorld().registry.count(path)) return ERROR_FILE_NOT_FOUND;
  *result = sim::NewKey(path);
  return ERROR_SUCCESS;
}

LONG RegCreateKeyA(HKEY root, const char* subKey, HKEY* result) {
  std::string path = sim::KeyPath(root, subKey);
  if (path.empty()) return ERROR_FILE_NOT_FOUND;
  TheWorld().registry[path];
  *result = sim::NewKey(path);
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
  auto open = TheWorld().openKeys.find(key);
  if (open == TheWorld().openKeys.end()) return ERROR_FILE_NOT_FOUND;
  auto& values = TheWorld().registry[open->second];
  auto value = values.find(sim::ToLower(name ? name : ""));
  if (value == values.end()) return ERROR_FILE_NOT_FOUND;
  DWORD needed = static_cast<DWORD>(value->second.size() + 1);
  if (type) *type = REG_SZ;
  if (!data) {
    if (size) *size = needed;
    return ERROR_SUCCESS;
  }
  if (!size || *size < needed) {
    if (size) *size = needed;
    return ERROR_MORE_DATA;
  }
  std::memcpy(data, value->second.c_str(), needed);
  *size = needed;
  return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, const char* name, DWORD, const BYTE* data, DWORD size) {
  auto open = TheWorld().openKeys.find(key);
  if (open == TheWorld().openKeys.end()) return ERROR_FILE_NOT_FOUND;
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.substr(0, text.find('\0'));
  TheWorld().registry[open->second][sim::ToLower(name ? name : "")] = text;
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  if (!TheWorld().openKeys.erase(key)) return ERROR_FILE_NOT_FOUND;
  sim::UncountObject(sim::kinds::REGISTRY_KEYS, key);
  return ERROR_SUCCESS;
}

}  // namespace os
