// The simulated desktop's lifetime, its processes, and the test's view of
// what a person would see.
#include "platform/sim/desktop.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/os_window.h"
#include "platform/sim/world.h"

namespace sim {

void SetCurrentThread(SimThread* thread);
void CloseKernelHandle(Process* process, os::HANDLE handle);
std::string WindowsToHostPath(const std::string& windowsPath, const std::string& currentDirectory);

namespace {

World* theWorld = nullptr;
constexpr const char* DEFAULT_DIRECTORY = "C:\\Users\\Public";

Process* NewProcess(const std::string& exePath) {
  World& world = TheWorld();
  auto process = std::make_unique<Process>();
  process->id = world.nextProcessId;
  world.nextProcessId += 4;
  process->exePath = exePath;
  process->currentDirectory = DEFAULT_DIRECTORY;
  world.processes.push_back(std::move(process));
  return world.processes.back().get();
}

const Process* ProcessById(os::DWORD id) {
  for (auto& process : TheWorld().processes) {
    if (process->id == id) return process.get();
  }
  return nullptr;
}

bool Alive(const SimThread& thread) { return !thread.done && !thread.terminating; }

}  // namespace

World& TheWorld() {
  if (!theWorld) {
    std::fprintf(stderr, "sim: no simulated desktop exists\n");
    std::abort();
  }
  return *theWorld;
}

bool DesktopExists() { return theWorld != nullptr; }

void EndProcess(Process* process, int exitCode) {
  World& world = TheWorld();
  process->exited = true;
  process->exitCode = exitCode;
  DestroyWindowsOf(process);
  std::vector<os::HANDLE> handles = process->handles;
  for (os::HANDLE handle : handles) CloseKernelHandle(process, handle);
  UncountObjectsOf(process);
  // Hooks go with the process that installed them and with the hooked thread.
  auto& hooks = world.hooks;
  for (auto it = hooks.begin(); it != hooks.end();) {
    bool hookedHere = false;
    for (auto& thread : world.threads) {
      if (thread->id == it->threadId && thread->process == process) hookedHere = true;
    }
    it = (hookedHere || it->installer == process) ? hooks.erase(it) : std::next(it);
  }
  for (auto& thread : world.threads) {
    if (thread->process == process && !thread->done) {
      thread->terminating = true;
      AbandonIncomingSent(thread.get());
    }
  }
}

Desktop::Desktop() {
  if (theWorld) {
    std::fprintf(stderr, "sim: only one simulated desktop at a time\n");
    std::abort();
  }
  theWorld = new World;
  World& world = *theWorld;
  world.desktop.handle = reinterpret_cast<os::HWND>(static_cast<std::uintptr_t>(0x10010));
  world.desktop.className = "#32769";
  world.desktop.style = os::WS_VISIBLE;
  world.nextWindowHandle = 0x20000;
  char folder[] = "/tmp/corvalo-sim-XXXXXX";
  if (!mkdtemp(folder)) {
    std::perror("sim: mkdtemp");
    std::abort();
  }
  world.rootDirectory = folder;

  auto driver = std::make_unique<SimThread>();
  driver->id = world.nextThreadId;
  world.nextThreadId += 4;
  driver->hasBaton = true;
  driver->started = true;
  world.driver = driver.get();
  world.liveThreads.push_back(driver.get());
  world.threads.push_back(std::move(driver));
  SetCurrentThread(world.driver);
  world.driver->process = NewProcess("C:\\Tests\\driver.exe");
}

Desktop::~Desktop() {
  World& world = TheWorld();
  for (auto& thread : world.threads) {
    if (thread.get() != world.driver && !thread->done) thread->terminating = true;
  }
  Block(NEVER, [&world] {
    for (auto& thread : world.threads) {
      if (thread.get() != world.driver && !thread->done) return false;
    }
    return true;
  });
  for (auto& thread : world.threads) {
    if (thread->osThread.joinable()) thread->osThread.join();
  }
  std::error_code ignored;
  std::filesystem::remove_all(world.rootDirectory, ignored);
  SetCurrentThread(nullptr);
  delete theWorld;
  theWorld = nullptr;
}

void Desktop::RunFor(os::DWORD milliseconds) { Block(TheWorld().now + milliseconds, nullptr); }

bool Desktop::RunUntil(const std::function<bool()>& done, os::DWORD maxMilliseconds) {
  std::uint64_t deadline = TheWorld().now + maxMilliseconds;
  while (!done() && TheWorld().now < deadline) Block(deadline, done);
  return done();
}

std::uint64_t Desktop::Now() const { return TheWorld().now; }
void Desktop::SetLocalTime(const os::SYSTEMTIME& time) {
  TheWorld().localTimeBase = time;
  TheWorld().localTimeOrigin = TheWorld().now;
}
void Desktop::SetScreenSize(int width, int height) {
  TheWorld().screenWidth = width;
  TheWorld().screenHeight = height;
}
void Desktop::SetWindowsVersion(const VersionConfig& version) { TheWorld().version = version; }

os::DWORD Desktop::StartProcess(const std::string& exePath, std::function<int()> main,
                                const std::string& commandLine) {
  Process* process = NewProcess(exePath);
  process->commandLine = "\"" + exePath + "\"" + (commandLine.empty() ? "" : " " + commandLine);
  std::size_t slash = exePath.find_last_of('\\');
  if (slash != std::string::npos) {
    std::error_code ignored;
    std::filesystem::create_directories(
        WindowsToHostPath(exePath.substr(0, slash + 1), process->currentDirectory), ignored);
  }
  std::error_code ignored;
  std::filesystem::create_directories(WindowsToHostPath(".", process->currentDirectory), ignored);
  SpawnThread(process, [process, main = std::move(main)] { EndProcess(process, main()); });
  return process->id;
}

void Desktop::RunInProcess(os::DWORD processId, const std::function<void()>& work) {
  Process* process = nullptr;
  for (auto& candidate : TheWorld().processes) {
    if (candidate->id == processId && !candidate->exited) process = candidate.get();
  }
  if (!process) return;
  SimThread* worker = SpawnThread(process, work);
  Block(NEVER, [worker] { return worker->done; });
}

bool Desktop::IsRunning(os::DWORD processId) const {
  const Process* process = ProcessById(processId);
  return process && !process->exited;
}

int Desktop::ExitCode(os::DWORD processId) const {
  const Process* process = ProcessById(processId);
  return process ? process->exitCode : -1;
}

os::DWORD Desktop::PriorityClassOf(os::DWORD processId) const {
  const Process* process = ProcessById(processId);
  return process ? process->priorityClass : 0;
}

std::vector<int> Desktop::ThreadPrioritiesOf(os::DWORD processId) const {
  std::vector<int> priorities;
  for (auto& thread : TheWorld().threads) {
    if (thread->process && thread->process->id == processId && Alive(*thread))
      priorities.push_back(thread->priority);
  }
  return priorities;
}

int Desktop::ThreadCountOf(os::DWORD processId) const {
  return static_cast<int>(ThreadPrioritiesOf(processId).size());
}

const std::vector<MessageBoxRecord>& Desktop::MessageBoxes() const { return TheWorld().messageBoxes; }
const std::vector<TrayEvent>& Desktop::TrayEvents() const { return TheWorld().trayEvents; }
const std::vector<TimerEvent>& Desktop::TimerEvents() const { return TheWorld().timerEvents; }
std::set<os::UINT_PTR> Desktop::RunningTimersOf(os::HWND window) const {
  std::set<os::UINT_PTR> running;
  for (const auto& entry : TheWorld().timers) {
    if (entry.first.first == window) running.insert(entry.first.second);
  }
  return running;
}
const std::vector<PopupMenuRecord>& Desktop::PopupMenus() const { return TheWorld().popupMenus; }
const std::vector<ShellExecuteRecord>& Desktop::ShellExecutes() const { return TheWorld().shellExecutes; }
void Desktop::ChooseFromNextMenu(int commandId) { TheWorld().nextMenuChoice = commandId; }
void Desktop::SetCursorPos(int x, int y) { TheWorld().cursor = os::POINT{x, y}; }

std::vector<TrayIcon> Desktop::TrayIcons() const {
  std::vector<TrayIcon> icons;
  for (auto& entry : TheWorld().trayIcons) icons.push_back(entry.second);
  return icons;
}

void Desktop::RestartShell() {
  World& world = TheWorld();
  world.trayIcons.clear();
  os::UINT taskbarCreated = os::RegisterWindowMessageA("TaskbarCreated");
  std::vector<os::HWND> topLevel;
  for (Window* window : world.desktop.children) topLevel.push_back(window->handle);
  for (os::HWND window : topLevel) os::PostMessageA(window, taskbarCreated, 0, 0);
}

std::vector<os::HWND> Desktop::VisibleTopLevelWindows() const {
  std::vector<os::HWND> visible;
  for (Window* window : TheWorld().desktop.children) {
    if (window->style & os::WS_VISIBLE) visible.push_back(window->handle);
  }
  return visible;
}

std::vector<os::HWND> Desktop::TopLevelWindowsOf(os::DWORD processId) const {
  std::vector<os::HWND> windows;
  for (Window* window : TheWorld().desktop.children) {
    if (window->thread && window->thread->process->id == processId) windows.push_back(window->handle);
  }
  return windows;
}

std::string Desktop::TitleOf(os::HWND window) const {
  Window* found = FindWindowByHandle(window);
  return found ? found->title : "";
}

namespace {
std::string RegistryPath(const std::string& key) { return ToLower("HKCU\\" + key); }
}  // namespace

void Desktop::SetRegistryString(const std::string& key, const std::string& name,
                                const std::string& value) {
  TheWorld().registry[RegistryPath(key)][ToLower(name)] = value;
}

bool Desktop::RegistryString(const std::string& key, const std::string& name,
                             std::string* value) const {
  auto found = TheWorld().registry.find(RegistryPath(key));
  if (found == TheWorld().registry.end()) return false;
  auto entry = found->second.find(ToLower(name));
  if (entry == found->second.end()) return false;
  if (value) *value = entry->second;
  return true;
}

void Desktop::DeleteRegistryKey(const std::string& key) { TheWorld().registry.erase(RegistryPath(key)); }

int Desktop::HookCountOn(os::DWORD processId) const {
  int count = 0;
  for (const Hook& hook : TheWorld().hooks) {
    for (auto& thread : TheWorld().threads) {
      if (thread->id == hook.threadId && thread->process->id == processId) ++count;
    }
  }
  return count;
}

void Desktop::RefuseHooks(bool refuse) { TheWorld().refuseHooks = refuse; }

int Desktop::RefusedHookCount() const { return TheWorld().refusedHooks; }

os::DWORD Desktop::MutexOwner(const std::string& name) const {
  for (auto& entry : TheWorld().handles) {
    const KernelObject& object = *entry.second;
    if (object.name == name && object.owner) return object.owner->process->id;
  }
  return 0;
}

const std::vector<DialogEnd>& Desktop::EndedDialogs() const { return TheWorld().dialogEnds; }

std::string Desktop::HostPath(const std::string& windowsPath) const {
  return WindowsToHostPath(windowsPath, TheWorld().driver->process->currentDirectory);
}

std::string Desktop::ReadFile(const std::string& windowsPath) const {
  std::ifstream in(HostPath(windowsPath), std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

void Desktop::WriteFile(const std::string& windowsPath, const std::string& content) {
  std::filesystem::path host = HostPath(windowsPath);
  std::filesystem::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary) << content;
}

bool Desktop::FileExists(const std::string& windowsPath) const {
  return std::filesystem::exists(HostPath(windowsPath));
}

void Desktop::DenyWrites(const std::string& windowsPath) {
  TheWorld().deniedWrites.push_back(HostPath(windowsPath));
}

}  // namespace sim
