// The world's events beyond calls: the softphone restarting, adapters of
// each generation (and faulty ones) on the bus, the sibling programs, and
// the user at the tray menu and the program's dialogs.
#include <string>

#include "platform/os_window.h"
#include "platform/sim/hid_devices.h"
#include "resources/resource.h"
#include "shell/ids.h"
#include "standins/softphone/softphone.h"
#include "tests/sim/world.h"

namespace desktop_sim {

namespace {

constexpr os::WORD FIRST_GENERATION = 0xC31C;
// The first generation's serial is that of its USB storage device.
constexpr const char* FIRST_GENERATION_STORAGE =
    "\\\\?\\usb#vid_1307&pid_1169#MJ11C2D3E4F5#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
constexpr os::DWORD QUIT_WITHIN_MS = 5000;
// How long a person waits for the tray menu of a busy program.
constexpr os::DWORD MENU_WITHIN_MS = 20000;
// Nobody pulls a USB plug and pushes it back in faster than this.
constexpr os::DWORD SHORTEST_REPLUG_MS = 2000;
// The system announces a plugged-in adapter and the softphone opens it (a
// starting softphone opens the adapter too); until then the softphone hears
// nothing of the handset, and then it reports the handset as it finds it.
constexpr os::DWORD SOFTPHONE_OPENS_ADAPTER_MS = 1500;

// Records a sibling's Call Status window shows: idle, in a call, ringing.
const char* const SIBLING_RECORDS[] = {"st=ProgramStart; ct=0; cs=0; of=0;",
                                       "st=CallAnswered; ct=2; cs=3; of=1;",
                                       "st=IncomingSkypeCall; ct=2; cs=4; of=0;"};
const char* const PROGRAM_DIALOGS[] = {"CorvaloPlugin - About", "CorvaloPlugin - Skype Speed Dial",
                                       "CorvaloPlugin - Courtesy Checklist"};

int MenuCommand(const std::string& name) {
  if (name == "about") return ID_APP_ABOUT;
  if (name == "help") return ID_HELP_OPEN;
  if (name == "speed-dial") return ID_SPEED_DIAL;
  if (name == "update-check") return ID_UPDATE_CHECK;
  if (name == "exit") return ID_APP_EXIT;
  return 0;
}

}  // namespace

void World::StartSoftphone(const std::string& version) {
  softphone = desktop.StartProcess(SOFTPHONE_EXE, &SoftphoneMain, "--version " + version);
  desktop.RunFor(10);
}

// The softphone quits and starts again, perhaps as another release: its
// windows are new, and the program has to find and hook them again. The
// new softphone opens the adapter and reports the handset as it finds it.
void World::RestartSoftphone(const std::string& version) {
  if (desktop.IsRunning(softphone)) {
    os::PostMessageA(os::FindWindowA("QWidget", "magicJack"), os::WM_CLOSE, 0, 0);
    desktop.RunUntil([this] { return !desktop.IsRunning(softphone); }, QUIT_WITHIN_MS);
  }
  StartSoftphone(version.empty() ? "2012.1" : version);
  if (pluggedIn) {
    adapterOpenAt = desktop.Now() + SOFTPHONE_OPENS_ADAPTER_MS;
    adapterOpening = true;
  }
}

// Each adapter the program accepts, and two it must pass over: one whose
// attributes cannot be read and one whose serial cannot.
void World::PlugIn(const std::string& adapter) {
  if (!adapterPath.empty()) {
    std::uint64_t earliest = unpluggedAt + SHORTEST_REPLUG_MS;
    if (desktop.Now() < earliest) RunFor(static_cast<os::DWORD>(earliest - desktop.Now()));
  }
  sim::HidDevice device = sim::SoftphoneAdapter();
  if (adapter == "plus") {
    device.serial = u"MJ22B3C4D5E6";
    device.featureLengths = {65};
  } else if (adapter == "first") {
    device.productId = FIRST_GENERATION;
    device.serial.clear();
    storagePath = FIRST_GENERATION_STORAGE;
    sim::PlugInUsbDevice(storagePath);
  }
  device.attributesFail = adapter == "bad-attributes";
  device.serialFails = adapter == "bad-serial";
  adapterPath = sim::PlugInHidDevice(device);
  pluggedIn = true;
  adapterKind = adapter;
  pluggedAt = desktop.Now();
  adapterOpenAt = desktop.Now() + SOFTPHONE_OPENS_ADAPTER_MS;
  adapterOpening = true;
}

// The softphone loses the handset with the adapter; once it has the
// adapter back it reports a handset it finds lifted afresh.
void World::UnplugAdapter() {
  if (!pluggedIn) return;
  sim::Unplug(adapterPath);
  if (!storagePath.empty()) sim::Unplug(storagePath), storagePath.clear();
  pluggedIn = false;
  unpluggedAt = onHookAt = desktop.Now();
  handsetOff = false;
}

// A sibling program's Call Status window: its second child holds the record.
void World::StartSibling(const std::string& name, std::uint32_t record) {
  if (siblings.count(name) && desktop.IsRunning(siblings[name])) return;
  std::string title = name + " - Call Status";
  std::string text = SIBLING_RECORDS[record % 3];
  siblingRecords[name] = text;
  siblings[name] = desktop.StartProcess("C:\\Program Files\\" + name + "\\" + name + ".exe", [title, text] {
    os::HWND window = os::CreateWindowExA(0, "#32770", title.c_str(), 0, 0, 0, 100, 50, nullptr, 0);
    os::CreateWindowExA(0, "Static", "", os::WS_CHILD, 0, 0, 10, 10, window, -1);
    os::CreateWindowExA(0, "Static", text.c_str(), os::WS_CHILD, 0, 0, 10, 10, window, 1007);
    os::MSG msg;
    while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
    return 0;
  });
}

void World::QuitSibling(const std::string& name) {
  auto sibling = siblings.find(name);
  if (sibling == siblings.end()) return;
  os::PostMessageA(os::FindWindowA("#32770", (name + " - Call Status").c_str()), os::WM_QUIT, 0, 0);
  siblings.erase(sibling);
  siblingRecords.erase(name);
}

// A right click on the tray icon, and the user picks the command from the
// menu once it shows (a busy program shows it late). Without an icon (the
// program closing) there is nothing to click. True when the menu showed.
bool World::ChooseFromTrayMenu(const std::string& command) {
  os::HWND main = os::FindWindowA("#32770", "CorvaloPlugin - Call Status");
  if (!main || desktop.TrayIcons().empty()) return false;
  std::size_t menus = desktop.PopupMenus().size();
  desktop.ChooseFromNextMenu(MenuCommand(command));
  os::PostMessageA(main, TRAY_NOTIFY_MSG, 1, os::WM_RBUTTONUP);
  bool shown = desktop.RunUntil([this, menus] { return desktop.PopupMenus().size() > menus; }, MENU_WITHIN_MS);
  if (!shown) desktop.ChooseFromNextMenu(0);  // the person gives up
  return shown;
}

// The user closes each of the program's dialogs that is open, with its
// close box, as a person would.
void World::CloseDialogs() {
  for (const char* title : PROGRAM_DIALOGS) {
    if (os::HWND dialog = os::FindWindowA("#32770", title)) os::PostMessageA(dialog, os::WM_CLOSE, 0, 0);
  }
}

}  // namespace desktop_sim
