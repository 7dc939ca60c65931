// The simulated desktop's internal state, shared by the sim implementation
// files. Tests use desktop.h instead.
//
// Exactly one simulated thread runs at a time (it holds the baton); all of
// this state is read and written only by the baton holder, so it needs no
// locks of its own. Virtual time moves only when every thread waits.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/os_hook.h"
#include "platform/os_kernel.h"
#include "platform/os_registry.h"
#include "platform/os_shell.h"
#include "platform/os_types.h"
#include "platform/sim/desktop.h"
#include "platform/sim/rc_script.h"

namespace sim {

constexpr std::uint64_t NEVER = UINT64_MAX;

struct SimThread;
struct Window;
struct AudioState;     // the simulated audio system, sim_audio.h
struct HidState;       // the simulated USB devices, sim_hid.h
struct InternetState;  // the simulated Internet client, sim_internet.h

// Thrown inside a thread whose process has ended, to unwind it.
struct ThreadTerminated {};

struct Process {
  os::DWORD id = 0;
  std::string exePath;
  std::string commandLine;
  std::string currentDirectory;
  bool exited = false;
  int exitCode = 0;
  os::DWORD priorityClass = os::NORMAL_PRIORITY_CLASS;
  std::vector<os::HANDLE> handles;  // kernel handles it holds open
};

struct SentMessage {
  Window* target = nullptr;
  os::UINT message = 0;
  os::WPARAM wParam = 0;
  os::LPARAM lParam = 0;
  os::LRESULT result = 0;
  bool done = false;
};

struct SimThread {
  os::DWORD id = 0;
  Process* process = nullptr;
  int priority = os::THREAD_PRIORITY_NORMAL;
  std::thread osThread;  // empty for the driving (test) thread
  std::condition_variable wake;
  bool hasBaton = false;
  bool done = false;
  bool terminating = false;
  bool started = false;
  // While blocked: runnable when ready() holds or virtual time reaches wakeAt.
  std::function<bool()> ready;
  std::uint64_t wakeAt = NEVER;
  // Message queue.
  std::deque<os::MSG> posted;
  std::deque<std::shared_ptr<SentMessage>> incomingSent;
  bool quitPosted = false;
  os::DWORD lastError = 0;
};

struct Window {
  os::HWND handle = nullptr;
  std::string className;
  std::string title;
  os::LONG style = 0;
  os::LONG exStyle = 0;
  os::RECT rect = {};  // screen coordinates
  Window* parent = nullptr;  // null for top-level windows (the desktop is their parent)
  Window* owner = nullptr;
  std::vector<Window*> children;  // z-order, top first
  int controlId = 0;
  os::WNDPROC proc = nullptr;
  SimThread* thread = nullptr;
  bool needsPaint = false;
  // Dialogs.
  os::DLGPROC dialogProc = nullptr;
  os::LONG_PTR messageResult = 0;
  bool dialogEnded = false;
  os::INT_PTR dialogResult = 0;
  os::LONG_PTR dialogUser = 0;
};

struct Timer {
  os::HWND window = nullptr;
  os::UINT_PTR id = 0;
  os::UINT period = 0;
  std::uint64_t due = 0;
  std::uint64_t order = 0;  // creation order, for ties
};

struct KernelObject {
  const char* kind = nullptr;  // the count it is kept in (see LiveObjects)
  std::string name;  // named mutexes only
  int references = 0;
  SimThread* owner = nullptr;
  int ownerDepth = 0;
};

struct Hook {
  os::HHOOK handle = nullptr;
  os::DWORD threadId = 0;
  os::HOOKPROC proc = nullptr;
  Process* installer = nullptr;
};

struct SimLock {
  SimThread* owner = nullptr;
  int depth = 0;
};

struct World {
  // Scheduling.
  std::mutex batonMutex;
  std::vector<std::unique_ptr<SimThread>> threads;
  std::vector<SimThread*> liveThreads;  // those not ended, in creation order
  SimThread* driver = nullptr;
  std::uint64_t now = 0;
  os::DWORD nextThreadId = 0x100;

  // Processes.
  std::vector<std::unique_ptr<Process>> processes;
  os::DWORD nextProcessId = 0x1000;

  // Windows.
  Window desktop;  // its children are the top-level windows, top first
  std::map<os::HWND, std::unique_ptr<Window>> windows;
  std::uintptr_t nextWindowHandle = 0x10000;
  std::map<std::string, os::WNDPROC> classes;  // "<process id>:<class, lower case>" -> proc
  std::map<std::string, os::UINT> registeredMessages;
  std::map<std::pair<os::HWND, os::UINT_PTR>, Timer> timers;
  std::vector<TimerEvent> timerEvents;

  // Menus loaded from the resources; a handle names a menu or a popup in it.
  std::map<os::HMENU, std::shared_ptr<MenuItem>> loadedMenus;
  std::map<os::HMENU, MenuItem*> menuHandles;
  std::uintptr_t nextMenuHandle = 0xA000;
  int nextMenuChoice = 0;
  os::POINT cursor = {512, 740};
  std::vector<PopupMenuRecord> popupMenus;
  std::vector<ShellExecuteRecord> shellExecutes;
  std::uint64_t timerOrder = 0;
  os::HWND foreground = nullptr;
  int screenWidth = 1024;
  int screenHeight = 768;

  // Kernel objects.
  std::map<os::HANDLE, std::shared_ptr<KernelObject>> handles;
  std::map<os::HANDLE, SimThread*> threadHandles;
  std::uintptr_t nextHandle = 0x4000;

  // Message hooks, in the order installed.
  std::vector<Hook> hooks;
  std::uintptr_t nextHookHandle = 0x6000;
  bool refuseHooks = false;
  int refusedHooks = 0;

  // Registry: key path ("HKCU\Software\...", lower case) -> value name (lower case) -> text.
  std::map<std::string, std::map<std::string, std::string>> registry;
  std::map<os::HKEY, std::string> openKeys;
  std::uintptr_t nextKeyHandle = 0x9000;

  // What a person would see.
  std::vector<MessageBoxRecord> messageBoxes;
  std::vector<TrayEvent> trayEvents;
  std::map<std::pair<os::HWND, os::UINT>, TrayIcon> trayIcons;
  std::vector<DialogEnd> dialogEnds;
  // Icons loaded from the resources: handle -> resource id and size.
  struct LoadedIcon {
    int resource, width, height;
  };
  std::map<os::HICON, LoadedIcon> icons;
  std::uintptr_t nextIconHandle = 0x7A000000;

  // Configuration.
  os::SYSTEMTIME localTimeBase = {2026, 3, 0, 15, 9, 30, 5, 0};  // local time at localTimeOrigin
  std::uint64_t localTimeOrigin = 0;
  VersionConfig version;
  std::string rootDirectory;  // host folder that holds the simulated drives
  std::vector<std::string> deniedWrites;  // Windows paths, lower case
  std::unique_ptr<ResourceScript> resources;
  std::shared_ptr<AudioState> audio;
  std::shared_ptr<HidState> hid;
  std::shared_ptr<InternetState> internet;

  // What each process holds of the objects the program must release:
  // (kind, handle) -> owning process id. Windows, timers, hooks and threads
  // are counted from their own records instead.
  std::map<std::pair<std::string, std::uintptr_t>, os::DWORD> liveObjects;
};

World& TheWorld();
SimThread* CurrentThread();
// For what may run outside the desktop's life or threads (a C stream
// closed at exit, a lock made by a static object).
bool DesktopExists();
SimThread* CurrentThreadIfAny();

// Scheduler (scheduler.cpp).
void Block(std::uint64_t wakeAt, std::function<bool()> ready);
SimThread* SpawnThread(Process* process, std::function<void()> body);
void EndProcess(Process* process, int exitCode);

// Counted objects (live_objects.cpp). A creation counts the object for the
// calling thread's process; its release, or the end of that process,
// uncounts it.
namespace kinds {
constexpr const char* ICONS = "icons";
constexpr const char* MENUS = "menus";
constexpr const char* THREAD_HANDLES = "thread handles";
constexpr const char* MUTEX_HANDLES = "mutex handles";
constexpr const char* FILE_HANDLES = "file handles";
constexpr const char* FILE_STREAMS = "file streams";
constexpr const char* DEVICE_LISTS = "device lists";
constexpr const char* REGISTRY_KEYS = "registry keys";
constexpr const char* INTERNET_HANDLES = "internet handles";
constexpr const char* WAVE_DEVICES = "wave devices";
constexpr const char* WAVE_BUFFERS = "wave buffers";
constexpr const char* LOCKS = "locks";
}  // namespace kinds
void CountObject(const char* kind, const void* handle);
void UncountObject(const char* kind, const void* handle);
void UncountObjectsOf(const Process* process);

// Windows (sim_window.cpp).
Window* FindWindowByHandle(os::HWND handle);
Window* TopLevelOf(Window* window);
bool IsVisibleOnScreen(const Window* window);
void DestroyWindowsOf(Process* process);
void MarkNeedsPaint(Window* window);

// Hooks (sim_hook.cpp): runs the thread's message hooks on a retrieved message.
void RunMessageHooks(SimThread* thread, os::MSG* msg, bool removing);

// Messages (sim_messages.cpp).
os::LRESULT CallWindow(Window* window, os::UINT message, os::WPARAM wParam, os::LPARAM lParam);
void DeliverIncomingSent(SimThread* thread);
void AbandonIncomingSent(SimThread* thread);

// Built-in window procedures (sim_window.cpp, sim_dialog.cpp).
os::LRESULT OS_CALLBACK ControlWindowProc(os::HWND, os::UINT, os::WPARAM, os::LPARAM);
os::LRESULT DefaultDialogProcessing(Window* dialog, os::UINT message, os::WPARAM wParam,
                                    os::LPARAM lParam);

const ResourceScript& Resources();
std::string ToLower(std::string text);

}  // namespace sim
