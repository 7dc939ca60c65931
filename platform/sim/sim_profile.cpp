// Initialisation files on the simulated desktop, read and written with the
// system's rules: sections and keys match without regard to case, blanks
// around keys and values are dropped, a value counts as an integer by its
// leading digits.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/os_kernel.h"
#include "platform/sim/world.h"

namespace sim {

std::string WindowsToHostPath(const std::string& windowsPath, const std::string& currentDirectory);
bool WritesDenied(const std::string& hostPath);

namespace {

std::string Trim(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) { return ToLower(a) == ToLower(b); }

std::string HostFile(const char* path) {
  return WindowsToHostPath(path ? path : "", CurrentThread()->process->currentDirectory);
}

std::vector<std::string> ReadLines(const std::string& host) {
  std::ifstream in(host, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool IsSection(const std::string& line, std::string* name) {
  std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return false;
  std::size_t close = trimmed.find(']');
  if (close == std::string::npos) return false;
  *name = Trim(trimmed.substr(1, close - 1));
  return true;
}

bool FindValue(const std::vector<std::string>& lines, const char* section, const char* key,
               std::string* value) {
  std::string current;
  bool inSection = false;
  for (const std::string& line : lines) {
    if (IsSection(line, &current)) {
      inSection = SameName(current, section);
      continue;
    }
    std::size_t equals = line.find('=');
    if (!inSection || equals == std::string::npos) continue;
    if (SameName(Trim(line.substr(0, equals)), key)) {
      *value = Trim(line.substr(equals + 1));
      return true;
    }
  }
  return false;
}

}  // namespace

}  // namespace sim

namespace os {

UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* path) {
  std::string value;
  if (!sim::FindValue(sim::ReadLines(sim::HostFile(path)), section, key, &value)) {
    return static_cast<UINT>(defaultValue);
  }
  std::size_t digits = 0;
  while (digits < value.size() && std::isdigit(static_cast<unsigned char>(value[digits]))) ++digits;
  return static_cast<UINT>(std::strtoul(value.substr(0, digits).c_str(), nullptr, 10));
}

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* path) {
  if (!buffer || size == 0) return 0;
  std::string value;
  if (!sim::FindValue(sim::ReadLines(sim::HostFile(path)), section, key, &value)) {
    value = sim::Trim(defaultValue ? defaultValue : "");
  }
  std::size_t length = value.size() < size - 1 ? value.size() : size - 1;
  std::memcpy(buffer, value.data(), length);
  buffer[length] = '\0';
  return static_cast<DWORD>(length);
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* path) {
  std::string host = sim::HostFile(path);
  if (sim::WritesDenied(host) || !section || !key) return FALSE;
  std::vector<std::string> lines = sim::ReadLines(host);
  std::string entry = std::string(key) + "=" + (value ? value : "");
  std::string current;
  int sectionLine = -1, keyLine = -1, sectionEnd = -1;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (sim::IsSection(lines[static_cast<std::size_t>(i)], &current)) {
      if (sectionLine >= 0 && sectionEnd < 0) sectionEnd = i;
      if (sectionLine < 0 && sim::SameName(current, section)) sectionLine = i;
      continue;
    }
    std::size_t equals = lines[static_cast<std::size_t>(i)].find('=');
    if (sectionLine >= 0 && sectionEnd < 0 && keyLine < 0 && equals != std::string::npos &&
        sim::SameName(sim::Trim(lines[static_cast<std::size_t>(i)].substr(0, equals)), key)) {
      keyLine = i;
    }
  }
  if (keyLine >= 0) {
    lines[static_cast<std::size_t>(keyLine)] = entry;
  } else if (sectionLine >= 0) {
    int at = sectionEnd < 0 ? static_cast<int>(lines.size()) : sectionEnd;
    while (at > sectionLine + 1 && sim::Trim(lines[static_cast<std::size_t>(at - 1)]).empty()) --at;
    lines.insert(lines.begin() + at, entry);
  } else {
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(entry);
  }
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << "\r\n";
  return out ? TRUE : FALSE;
}

}  // namespace os
