// The objects each process holds, counted by kind, so that a test can see
// a program that creates more than it releases. Kernel handles, icons,
// menus, keys, Internet handles, device lists, wave devices and prepared
// buffers, C streams and locks are counted where they are made and where
// they are released; windows, timers, hooks and threads are counted from
// the desktop's own records of them. A process's objects go when it ends,
// as the system takes them back, so that a restarted program starts from
// nothing.
#include <cstdint>

#include "platform/sim/world.h"

namespace sim {

namespace {

std::pair<std::string, std::uintptr_t> Key(const char* kind, const void* handle) {
  return {kind, reinterpret_cast<std::uintptr_t>(handle)};
}

}  // namespace

void CountObject(const char* kind, const void* handle) {
  SimThread* thread = CurrentThreadIfAny();
  if (DesktopExists() && thread && thread->process) TheWorld().liveObjects[Key(kind, handle)] = thread->process->id;
}

void UncountObject(const char* kind, const void* handle) {
  if (DesktopExists()) TheWorld().liveObjects.erase(Key(kind, handle));
}

void UncountObjectsOf(const Process* process) {
  auto& live = TheWorld().liveObjects;
  for (auto it = live.begin(); it != live.end();) it = it->second == process->id ? live.erase(it) : std::next(it);
}

std::map<std::string, int> Desktop::LiveObjectsOf(os::DWORD processId) const {
  World& world = TheWorld();
  std::map<std::string, int> counts;
  for (const char* kind : {kinds::ICONS, kinds::MENUS, kinds::THREAD_HANDLES, kinds::MUTEX_HANDLES,
                           kinds::FILE_HANDLES, kinds::FILE_STREAMS, kinds::DEVICE_LISTS,
                           kinds::REGISTRY_KEYS, kinds::INTERNET_HANDLES, kinds::WAVE_DEVICES,
                           kinds::WAVE_BUFFERS, kinds::LOCKS})
    counts[kind] = 0;
  for (auto& [key, owner] : world.liveObjects) {
    if (owner == processId) ++counts[key.first];
  }
  auto ownedHere = [processId](const SimThread* thread) {
    return thread && thread->process && thread->process->id == processId;
  };
  int& windows = counts["windows"] = 0;
  for (auto& entry : world.windows) windows += ownedHere(entry.second->thread) ? 1 : 0;
  int& timers = counts["timers"] = 0;
  for (auto& entry : world.timers) {
    Window* window = FindWindowByHandle(entry.first.first);
    timers += window && ownedHere(window->thread) ? 1 : 0;
  }
  int& hooks = counts["hooks"] = 0;
  for (const Hook& hook : world.hooks) hooks += hook.installer && hook.installer->id == processId ? 1 : 0;
  counts["threads"] = ThreadCountOf(processId);
  return counts;
}

}  // namespace sim
