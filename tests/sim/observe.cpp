#include "tests/sim/observe.h"

#include <sstream>

#include "platform/os_window.h"

namespace desktop_sim {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

os::HWND MainWindow() { return os::FindWindowA("#32770", "CorvaloPlugin - Call Status"); }

std::string ShownRecord() {
  char text[512] = {};
  os::GetWindowTextA(os::GetDlgItem(MainWindow(), 1007), text, sizeof text);
  return text;
}

std::vector<std::string> LogRecords(const World& world) {
  std::vector<std::string> records;
  for (const std::string& line : Lines(world.desktop.ReadFile(World::LOG_PATH))) {
    std::size_t tab = line.find('\t');
    records.push_back(tab == std::string::npos ? line : line.substr(tab + 1));
  }
  return records;
}

std::string LastLogRecord(const World& world) {
  std::vector<std::string> records = LogRecords(world);
  return records.empty() ? "" : records.back();
}

std::string ValueOf(const std::string& record, const std::string& key) {
  std::string field = key + "=";
  std::size_t at = record.rfind(field, 0) == 0 ? 0 : record.find("; " + field);
  if (at == std::string::npos) return "?";
  at += at == 0 ? field.size() : field.size() + 2;
  return record.substr(at, record.find(';', at) - at);
}

bool IsRingOn(const std::vector<os::BYTE>& report) {
  if (report.size() > 5 && report[1] == 0x04 && report[5] == 0x30) return true;
  return report.size() > 6 && report[1] == 0x20 && report[6] == 0x03;
}

}  // namespace desktop_sim
