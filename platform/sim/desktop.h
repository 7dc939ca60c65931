// The simulated desktop that native tests run the program on.
//
// A test creates one Desktop; the test's own thread becomes the driving
// thread of the simulation. Programs started on the desktop run on simulated
// threads, one at a time; virtual time passes only inside RunFor and
// RunUntil (or when the driving thread itself sleeps), so a 120 s time-out
// costs a test nothing and every run is the same.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <map>
#include <string>
#include <vector>

#include "platform/os_types.h"

namespace sim {

struct MessageBoxRecord {
  os::DWORD processId;
  os::HWND owner;
  std::string text;
  std::string caption;
  os::UINT type;
};

struct TrayEvent {
  os::DWORD operation;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
  os::DWORD recordSize;
  os::HWND window;
  os::UINT iconId;
  os::UINT flags;    // NIF_MESSAGE, NIF_ICON, NIF_TIP as given
  int iconResource;  // resource id of the icon given, 0 when none
  int iconWidth, iconHeight;  // the size it was loaded at, 0 when none
  std::string tip;
  bool succeeded;
};

// An icon in the notification area holds only what the flags of its
// records named: no callback message, icon or tip unless given.
struct TrayIcon {
  os::HWND window;
  os::UINT iconId;
  int iconResource;  // 0 when none
  int iconWidth, iconHeight;
  std::string tip;
  os::UINT callbackMessage;  // 0 when none
};

struct DialogEnd {
  std::string title;
  os::INT_PTR result;
};

struct TimerEvent {
  os::HWND window;
  os::UINT_PTR id;
  os::UINT period;  // for a start
  bool started;     // true for SetTimer, false for KillTimer
  bool existed;     // for a kill: the timer was running
};

struct PopupMenuRecord {
  os::HWND owner;
  int x, y;
  os::UINT flags;
  std::vector<std::string> items;  // texts, "-" for a separator, "(grayed)" after a greyed one
};

struct ShellExecuteRecord {
  os::HWND owner;
  std::string verb, file, parameters, directory;
  int show;
};

struct VersionConfig {
  os::DWORD major = 6;
  os::DWORD minor = 1;
  os::DWORD build = 7601;
  os::DWORD platformId = 2;
  bool extendedQueryWorks = true;
  bool basicQueryWorks = true;
};

class Desktop {
 public:
  Desktop();
  ~Desktop();
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  // Virtual time.
  void RunFor(os::DWORD milliseconds);
  // Runs until done() holds (checked whenever the simulation is idle) or
  // maxMilliseconds of virtual time have passed; returns done().
  bool RunUntil(const std::function<bool()>& done, os::DWORD maxMilliseconds);
  std::uint64_t Now() const;
  void SetLocalTime(const os::SYSTEMTIME& time);

  // Configuration of the machine.
  void SetScreenSize(int width, int height);
  void SetWindowsVersion(const VersionConfig& version);

  // Processes. main runs on the new process's first thread; the process
  // ends when it returns, taking its other threads and its windows with it.
  os::DWORD StartProcess(const std::string& exePath, std::function<int()> main,
                         const std::string& commandLine = "");
  // Runs work on a new thread of the process, as a worker thread of that
  // program would, and waits until it is done.
  void RunInProcess(os::DWORD processId, const std::function<void()>& work);
  bool IsRunning(os::DWORD processId) const;
  int ExitCode(os::DWORD processId) const;
  os::DWORD PriorityClassOf(os::DWORD processId) const;
  // Priorities of the process's live threads, in creation order.
  std::vector<int> ThreadPrioritiesOf(os::DWORD processId) const;
  // Live threads of the process.
  int ThreadCountOf(os::DWORD processId) const;
  // What the process holds, by kind: "icons", "menus", "thread handles",
  // "mutex handles", "file handles" (devices opened), "file streams",
  // "device lists", "registry keys", "internet handles", "wave devices",
  // "wave buffers" (prepared headers), "locks" (critical sections),
  // "windows", "timers", "hooks" (installed by it) and "threads"; every kind
  // is present, 0 when it holds none. An ended process holds nothing.
  std::map<std::string, int> LiveObjectsOf(os::DWORD processId) const;

  // What a person would see.
  const std::vector<MessageBoxRecord>& MessageBoxes() const;
  const std::vector<TrayEvent>& TrayEvents() const;
  const std::vector<TimerEvent>& TimerEvents() const;
  // Ids of the window's timers that run now.
  std::set<os::UINT_PTR> RunningTimersOf(os::HWND window) const;
  const std::vector<PopupMenuRecord>& PopupMenus() const;
  const std::vector<ShellExecuteRecord>& ShellExecutes() const;
  // The item the user picks from the next popup menu (0: dismisses it).
  void ChooseFromNextMenu(int commandId);
  void SetCursorPos(int x, int y);
  std::vector<TrayIcon> TrayIcons() const;
  // The shell ends and starts again, as when Explorer restarts: every icon
  // of the notification area is gone, and every top-level window is sent
  // the registered message "TaskbarCreated".
  void RestartShell();
  // Every EndDialog call on a dialog, in order: its title and result.
  const std::vector<DialogEnd>& EndedDialogs() const;
  std::vector<os::HWND> VisibleTopLevelWindows() const;
  // Top-level windows of a process, in z-order.
  std::vector<os::HWND> TopLevelWindowsOf(os::DWORD processId) const;
  // A window's title as the desktop keeps it, without asking the window
  // (safe inside a RunUntil condition); "" for no window.
  std::string TitleOf(os::HWND window) const;

  // Registry values under HKEY_CURRENT_USER ("Software\\Maker\\Product").
  void SetRegistryString(const std::string& key, const std::string& name, const std::string& value);
  bool RegistryString(const std::string& key, const std::string& name, std::string* value) const;
  void DeleteRegistryKey(const std::string& key);
  // Hooks installed on the threads of a process; and a system that refuses
  // to install any.
  int HookCountOn(os::DWORD processId) const;
  void RefuseHooks(bool refuse);
  // Hook installations the system has refused so far.
  int RefusedHookCount() const;
  // The process whose thread owns the named mutex, 0 when none does.
  os::DWORD MutexOwner(const std::string& name) const;

  // Files: Windows paths of the simulated drives and the host files behind them.
  std::string HostPath(const std::string& windowsPath) const;
  std::string ReadFile(const std::string& windowsPath) const;
  void WriteFile(const std::string& windowsPath, const std::string& content);
  bool FileExists(const std::string& windowsPath) const;
  void DenyWrites(const std::string& windowsPath);
};

}  // namespace sim
