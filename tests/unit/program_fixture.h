// Runs the program on a simulated desktop and reads what it shows: its
// windows, its tray icon and its event log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os_types.h"
#include "platform/sim/desktop.h"

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest();

  static constexpr const char* EXE_PATH = "C:\\Program Files\\CorvaloPlugin\\CorvaloPlugin.exe";
  static constexpr const char* LOG_PATH =
      "C:\\Program Files\\CorvaloPlugin\\CorvaloPlugin$Logfile.log";

  // Starts the program and lets it settle for a moment of virtual time.
  os::DWORD StartProgram(const std::string& exePath = EXE_PATH);
  os::HWND MainWindow() const;
  // The status record as a sibling program reads it: the window's second child.
  std::string RecordAsSiblingReadsIt() const;
  // The record part of each log line, and the event name of each.
  std::vector<std::string> LogRecords(const std::string& logPath = LOG_PATH) const;
  std::vector<std::string> LogEvents(const std::string& logPath = LOG_PATH) const;
  // The last log record whose event is `event`, or ""; how many there are.
  std::string LastRecordOf(const std::string& event) const;
  int CountOf(const std::string& event) const;
  // The local time of day, in milliseconds, of the first log line of the
  // event, or -1.
  long LogTimeOf(const std::string& event) const;
  // Writes count records on a worker thread of the program.
  void WriteRecords(int count, const std::string& event);
  // Chooses Exit from the menu and waits for the process to end.
  bool ExitProgram();
  // The record the program writes at start with nothing going on.
  static std::string IdleRecord(const std::string& event, const std::string& windowsVersion = "6.1");

  sim::Desktop desktop;
  os::DWORD program = 0;
};
