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

void Apply(Control& control, const std::string& key, const std::string& value) {
  if (key == "present") control.present = value == "1";
  if (key == "vendor")
    control.vendorId = static_cast<WORD>(std::strtoul(value.c_str(), nullptr, 16));
  if (key == "product")
    control.productId = static_cast<WORD>(std::strtoul(value.c_str(), nullptr, 16));
  if (key == "serial") control.serial = value;
  if (key == "storage") control.storageSerial = value;
  if (key == "reads") {
    const char* cursor = value.c_str();
    for (char* end = nullptr;; cursor = end + 1) {
      ULONG length = std::strtoul(cursor, &end, 10);
      if (end == cursor) break;
      control.reads.push_back(length);
      if (*end != ',') break;
    }
  }
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

bool Answers(const Control& control, ULONG length) {
  if (!control.present) return false;
  for (ULONG answered : control.reads) {
    if (answered == length) return true;
  }
  return false;
}

std::string HidDevicePath(const Control& control) {
  char name[160];
  std::snprintf(name, sizeof name, "hid#vid_%04x&pid_%04x#virtual&0&0000#%s", control.vendorId,
                control.productId, HID_CLASS);
  std::string path = Directory() + name;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return path;
}

std::string StorageDevicePath(const Control& control) {
  return "\\\\?\\usb#vid_1307&pid_1169#" + control.storageSerial + "#" + USB_DEVICE_CLASS;
}

bool IsAdapterHandle(HANDLE handle) {
  char path[MAX_PATH + 16] = {};
  DWORD length = GetFinalPathNameByHandleA(handle, path, sizeof path, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= sizeof path) return false;
  const char* name = std::strrchr(path, '\\');
  return name && std::strncmp(name + 1, "hid#vid_", 8) == 0;
}

void NoteReport(const char* what, ULONG length, bool ok, const BYTE* bytes) {
  std::string line = std::string(what) + " " + std::to_string(length) + (ok ? " ok" : " failed");
  for (ULONG i = 0; bytes && i < length; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
    line += hex;
  }
  line += "\r\n";
  HANDLE file = CreateFileA((Directory() + REPORTS_FILE).c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace adapter
