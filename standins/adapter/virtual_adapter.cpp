#include "standins/adapter/virtual_adapter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace adapter {

namespace {

const char* const CONTROL_FILE = "adapter-control.txt";
const char* const REPORTS_FILE = "adapter-reports.txt";
const char* const HID_CLASS = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
const char* const USB_DEVICE_CLASS = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

// This DLL's folder, with its trailing backslash.
std::string Directory() {
  HMODULE self = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&Directory), &self);
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(self, path, sizeof path);
  if (length == 0 || length >= sizeof path) return "";
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string ReadWholeFile(const std::string& path) {
  std::string content;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return content;
  char chunk[512];
  DWORD got = 0;
  while (content.size() < 65536 && ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
    content.append(chunk, got);
  CloseHandle(file);
  return content;
}

std::vector<ULONG> Lengths(const std::string& text, char separator) {
  std::vector<ULONG> lengths;
  const char* cursor = text.c_str();
  for (char* end = nullptr;; cursor = end + 1) {
    ULONG length = std::strtoul(cursor, &end, 10);
    if (end == cursor) break;
    lengths.push_back(length);
    if (*end != separator) break;
  }
  return lengths;
}

WORD Hex16(const std::string& text) { return static_cast<WORD>(std::strtoul(text.c_str(), nullptr, 16)); }

// "PRODUCT,LENGTHS,SERIAL" of a second adapter.
void ApplySecond(Control& control, const std::string& value) {
  std::size_t first = value.find(','), last = value.rfind(',');
  if (first == std::string::npos || last == first) return;
  control.second = true;
  control.secondAdapter.productId = Hex16(value.substr(0, first));
  control.secondAdapter.reads = Lengths(value.substr(first + 1, last - first - 1), '/');
  control.secondAdapter.serial = value.substr(last + 1);
}

void Apply(Control& control, const std::string& key, const std::string& value) {
  Device& adapter = control.adapter;
  if (key == "present") control.present = value == "1";
  if (key == "vendor") adapter.vendorId = Hex16(value);
  if (key == "product") adapter.productId = Hex16(value);
  if (key == "serial") adapter.serial = value;
  if (key == "storage") control.storageSerial = value;
  if (key == "reads") adapter.reads = Lengths(value, ',');
  if (key == "fail") {
    adapter.failAttributes = value.find("attributes") != std::string::npos;
    adapter.failSerial = value.find("serial") != std::string::npos;
  }
  if (key == "foreign") control.foreign = value == "1";
  if (key == "second") ApplySecond(control, value);
}

// The file name part of a device's interface path.
std::string DeviceName(const Device& device) {
  char name[160];
  std::snprintf(name, sizeof name, "hid#vid_%04x&pid_%04x#virtual&0&%04d#%s", device.vendorId,
                device.productId, device.instance, HID_CLASS);
  return name;
}

Device Foreign(WORD vendor, WORD product, int instance) {
  Device device;
  device.vendorId = vendor;
  device.productId = product;
  device.instance = instance;
  return device;
}

// The bus's hold on each interface file (made here when missing), as the
// softphone's on the device: reading and writing, sharing neither. Kept for
// the life of the process.
SRWLOCK holdsLock = SRWLOCK_INIT;
std::vector<std::string> held;

void Hold(const std::string& path) {
  AcquireSRWLockExclusive(&holdsLock);
  bool already = false;
  for (const std::string& name : held) already = already || name == path;
  if (!already) {
    HANDLE hold = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0,
                              nullptr);
    if (hold != INVALID_HANDLE_VALUE) held.push_back(path);
  }
  ReleaseSRWLockExclusive(&holdsLock);
}

}  // namespace

Control ReadControl() {
  Control control;
  std::string text = ReadWholeFile(Directory() + CONTROL_FILE);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t equals = line.find('=');
    if (equals != std::string::npos)
      Apply(control, line.substr(0, equals), line.substr(equals + 1));
    start = end + 1;
  }
  return control;
}

std::vector<Device> HidDevices(const Control& control) {
  std::vector<Device> devices;
  if (control.foreign) {
    devices.push_back(Foreign(0x046D, 0xC31C, 1));
    devices.push_back(Foreign(0x046D, 0xC077, 2));
    devices.push_back(Foreign(0x06E6, 0xC300, 3));
  }
  if (control.present) devices.push_back(control.adapter);
  if (control.second) {
    Device second = control.secondAdapter;
    second.instance = 4;
    devices.push_back(second);
  }
  return devices;
}

bool Answers(const Device& device, ULONG length) {
  for (ULONG answered : device.reads) {
    if (answered == length) return true;
  }
  return false;
}

std::string HidDevicePath(const Device& device) {
  std::string path = Directory() + DeviceName(device);
  Hold(path);
  return path;
}

std::string StorageDevicePath(const Control& control) {
  return "\\\\?\\usb#vid_1307&pid_1169#" + control.storageSerial + "#" + USB_DEVICE_CLASS;
}

bool DeviceOf(HANDLE handle, Device* device) {
  char path[MAX_PATH + 16] = {};
  DWORD length = GetFinalPathNameByHandleA(handle, path, sizeof path, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= sizeof path) return false;
  const char* slash = std::strrchr(path, '\\');
  std::string name = slash ? slash + 1 : path;
  for (const Device& candidate : HidDevices(ReadControl())) {
    if (_stricmp(DeviceName(candidate).c_str(), name.c_str()) == 0) {
      *device = candidate;
      return true;
    }
  }
  return false;
}

std::string OpenModeOf(HANDLE handle) {
  using QueryFile = LONG(WINAPI*)(HANDLE, void*, void*, ULONG, int);
  const int FILE_ACCESS_INFORMATION = 8, FILE_MODE_INFORMATION = 16;
  const ULONG SYNCHRONOUS_IO = 0x10 | 0x20;  // FILE_SYNCHRONOUS_IO_ALERT, _NONALERT
  auto query = reinterpret_cast<QueryFile>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationFile")));
  ULONG_PTR status[2] = {};
  ULONG access = 0, mode = 0;
  if (!query || query(handle, status, &access, sizeof access, FILE_ACCESS_INFORMATION) < 0 ||
      query(handle, status, &mode, sizeof mode, FILE_MODE_INFORMATION) < 0)
    return "unknown unknown";
  bool reads = access & (FILE_READ_DATA | GENERIC_READ);
  bool writes = access & (FILE_WRITE_DATA | FILE_APPEND_DATA | GENERIC_WRITE);
  std::string text = reads && writes ? "read-write" : reads ? "read" : writes ? "write" : "no-data-access";
  return text + ((mode & SYNCHRONOUS_IO) ? " synchronous" : " overlapped");
}

void AppendToFile(const std::string& path, const std::string& line) {
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

// Milliseconds since 1970 (the file time counts 100 ns steps from 1601).
unsigned long long NowMs() {
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return ticks / 10000 - 11644473600000ULL;
}

void NoteLine(const std::string& text) {
  AppendToFile(Directory() + REPORTS_FILE, text + "\r\n");
  // Benchmarks and timing tests learn when each report went out from a file
  // of their own.
  if (std::getenv("CORVALO_BENCH_TIMING"))
    AppendToFile(Directory() + REPORTS_FILE + ".timing", std::to_string(NowMs()) + " " + text + "\r\n");
}

void NoteReport(const char* what, ULONG length, bool ok, const BYTE* bytes) {
  std::string line = std::string(what) + " " + std::to_string(length) + (ok ? " ok" : " failed");
  for (ULONG i = 0; bytes && i < length; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
    line += hex;
  }
  NoteLine(line);
}

}  // namespace adapter
