// The event log: one time-stamped line per event beside the executable, each
// carrying the status record that control 1007 also shows to the programs of
// the same family.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"

namespace {

constexpr std::size_t RECORD_BUFFER = 256;  // a record is at most 255 characters
constexpr std::size_t LINE_BUFFER = 1024;
constexpr std::int32_t RESTART_ON_CALL_AFTER = 1000;
constexpr std::int32_t RESTART_ALWAYS_AFTER = 1100;

std::string LogFilePath() { return GetAppDirectory() + PROGRAM_NAME + "$Logfile.log"; }

// Appends piece to record, cutting it where the record buffer ends.
void AppendBounded(char (&record)[RECORD_BUFFER], const char* piece) {
  std::size_t used = std::strlen(record);
  std::size_t room = RECORD_BUFFER - 1 - used;
  std::size_t length = std::strlen(piece);
  if (length > room) length = room;
  std::memcpy(record + used, piece, length);
  record[used + length] = '\0';
}

}  // namespace

std::string GetAppDirectory() {
  char path[256] = {};
  os::GetModuleFileNameA(path, sizeof path - 1);
  path[sizeof path - 1] = '\0';
  char* lastBackslash = std::strrchr(path, '\\');
  if (!lastBackslash) return "";
  return std::string(path, lastBackslash + 1);
}

// Four pieces, each formatted into its own 256-byte buffer; snprintf cuts a
// piece that would not fit, and the record keeps what fits of all four.
std::string CCorvaloPluginDlg::BuildStatusRecord(const std::string& event) const {
  char piece[RECORD_BUFFER];
  char record[RECORD_BUFFER] = {};

  std::snprintf(piece, sizeof piece, "st=%s; ct=%X; cs=%X; of=%X; ", event.c_str(),
                static_cast<unsigned>(lineMode), static_cast<unsigned>(callState),
                static_cast<unsigned>(offHook));
  AppendBounded(record, piece);
  std::snprintf(piece, sizeof piece, "dn=%s; cn=%s; ci=%s; ", dialledNumber.c_str(),
                callerName.c_str(), callerNumber.c_str());
  AppendBounded(record, piece);
  std::snprintf(piece, sizeof piece, "pi=%04X; sn=%s; wv=%s; ",
                static_cast<unsigned>(adapterProductId), CopyAdapterSerial().c_str(),
                windowsVersion.c_str());
  AppendBounded(record, piece);
  std::snprintf(piece, sizeof piece, "pr=%s; re=%s; sv=%s; mv=%s", PROGRAM_NAME, PROGRAM_RELEASE,
                skypeVersion.c_str(), softphoneVersion.c_str());
  AppendBounded(record, piece);
  return record;
}

void CCorvaloPluginDlg::OpenLog(const char* mode) {
  if (std::strcmp(mode, "w") == 0) logLineCount = 0;
  logFile = os::OpenFileStream(LogFilePath().c_str(), mode);
}

void CCorvaloPluginDlg::CloseLog() {
  if (!logFile) return;
  std::fclose(logFile);
  logFile = nullptr;
}

// The record goes to control 1007 before the lock is taken: setting the text
// of a control owned by the GUI thread waits for that thread, which may itself
// be waiting here.
void CCorvaloPluginDlg::WriteLog(std::string event) {
  std::string record = BuildStatusRecord(event);
  os::SetWindowTextA(statusRecord, record.c_str());

  os::EnterCriticalSection(&logLock);
  const char* mode = "a";
  if (logLineCount > RESTART_ON_CALL_AFTER && (event == "CallOrigination" || event == "IncomingCall"))
    mode = "w";
  else if (logLineCount > RESTART_ALWAYS_AFTER)
    mode = "w";
  OpenLog(mode);
  if (logFile) {
    os::SYSTEMTIME now = {};
    os::GetLocalTime(&now);
    char line[LINE_BUFFER];
    std::snprintf(line, sizeof line, "%02d/%02d/%02d; %02d:%02d:%02d:%03d; \t%s\n", now.wDay,
                  now.wMonth, now.wYear, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds,
                  record.c_str());
    std::fputs(line, logFile);
    ++logLineCount;
    CloseLog();
  }
  os::LeaveCriticalSection(&logLock);
}
