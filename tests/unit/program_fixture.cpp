#include "tests/unit/program_fixture.h"
#include "tests/unit/text_lines.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "phonehook/hook_state.h"
#include "platform/os_window.h"
#include "shell/app.h"

// The hook library's state is one per simulated desktop run, as the shared
// section is one per Windows session.
ProgramTest::ProgramTest() {
  phonehookShared = {};
  PhonehookProcessAttach(nullptr);
}

os::DWORD ProgramTest::StartProgram(const std::string& exePath) {
  os::DWORD id = desktop.StartProcess(exePath, &ProgramMain);
  desktop.RunFor(50);
  if (!program) program = id;
  return id;
}

os::HWND ProgramTest::MainWindow() const {
  return os::FindWindowA("#32770", "CorvaloPlugin - Call Status");
}

std::string ProgramTest::RecordAsSiblingReadsIt() const {
  os::HWND second = os::GetWindow(os::GetWindow(MainWindow(), os::GW_CHILD), os::GW_HWNDNEXT);
  char text[256] = {};
  os::GetWindowTextA(second, text, sizeof text);
  return text;
}

std::vector<std::string> ProgramTest::LogRecords(const std::string& logPath) const {
  std::vector<std::string> records;
  for (const std::string& line : TextLines(desktop.ReadFile(logPath))) {
    std::size_t tab = line.find('\t');
    records.push_back(tab == std::string::npos ? line : line.substr(tab + 1));
  }
  return records;
}

std::vector<std::string> ProgramTest::LogEvents(const std::string& logPath) const {
  std::vector<std::string> events;
  for (const std::string& record : LogRecords(logPath)) {
    std::size_t end = record.find("; ");
    events.push_back(record.substr(3, end == std::string::npos ? std::string::npos : end - 3));
  }
  return events;
}

bool ProgramTest::ExitProgram() {
  os::PostMessageA(MainWindow(), os::WM_COMMAND, 32774, 0);
  return desktop.RunUntil([this] { return !desktop.IsRunning(program); }, 5000);
}

std::string ProgramTest::IdleRecord(const std::string& event, const std::string& windowsVersion) {
  return "st=" + event + "; ct=1; cs=0; of=0; dn=; cn=; ci=; pi=0000; sn=; wv=" + windowsVersion +
         "; pr=CorvaloPlugin; re=2.06; sv=; mv=";
}

std::string ProgramTest::LastRecordOf(const std::string& event) const {
  std::vector<std::string> records = LogRecords();
  for (auto it = records.rbegin(); it != records.rend(); ++it) {
    if (it->rfind("st=" + event + ";", 0) == 0) return *it;
  }
  return "";
}

int ProgramTest::CountOf(const std::string& event) const {
  std::vector<std::string> events = LogEvents();
  return static_cast<int>(std::count(events.begin(), events.end(), event));
}

long ProgramTest::LogTimeOf(const std::string& event) const {
  for (const std::string& line : TextLines(desktop.ReadFile(LOG_PATH))) {
    if (line.find("\tst=" + event + ";") == std::string::npos) continue;
    int h = 0, m = 0, s = 0, ms = 0;
    // "dd/mm/yyyy; hh:mm:ss:mmm; "
    if (line.size() < 24 || std::sscanf(line.c_str() + 12, "%d:%d:%d:%d", &h, &m, &s, &ms) != 4) return -1;
    return ((h * 60L + m) * 60L + s) * 1000L + ms;
  }
  return -1;
}
