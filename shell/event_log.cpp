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

// Appends piece to record, cutting it where the record buffer ends. Texts
// from outside (a path, a caller's name, a version) may hold line breaks;
// they become blanks, so that a record stays one line of the log and one
// line for the programs that read control 1007.
void AppendBounded(char (&record)[RECORD_BUFFER], const char* piece) {
  std::size_t used = std::strlen(record);
  std::size_t room = RECORD_BUFFER - 1 - used;
  std::size_t length = std::strlen(piece);
  if (length > room) length = room;
  for (std::size_t i = 0; i < length; ++i) {
    char c = piece[i];
    record[used + i] = c == '\r' || c == '\n' ? ' ' : c;
  }
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

// Every record is built and written on the GUI thread, which owns the call
// record's fields: a worker thread hands its event over with a message the
// GUI thread answers at once, so it never reads a string that the GUI thread
// may be changing, and the log keeps the order in which events happened
// (the worker waits, as it would for setting control 1007 itself). The
// event travels in pendingLogEvents under a cookie, never as a pointer in
// the message: a message forged by another program names no event.
void CCorvaloPluginDlg::WriteLog(std::string event) {
  if (os::GetCurrentThreadId() != guiThreadId) {
    os::WPARAM cookie = 0;
    {
      CSingleLock lock(pendingLogLock);
      cookie = ++lastLogCookie;
      pendingLogEvents[cookie] = std::move(event);
    }
    os::SendMessageA(m_hWnd, LOG_REQUEST_MSG, cookie, 0);
    // Not taken when the window has gone (the program is closing).
    CSingleLock lock(pendingLogLock);
    pendingLogEvents.erase(cookie);
    return;
  }
  WriteLogHere(event);
}

void CCorvaloPluginDlg::OnLogRequest(os::WPARAM cookie) {
  std::string event;
  {
    CSingleLock lock(pendingLogLock);
    auto found = pendingLogEvents.find(cookie);
    if (found == pendingLogEvents.end()) return;
    event = std::move(found->second);
    pendingLogEvents.erase(found);
  }
  WriteLogHere(event);
}

void CCorvaloPluginDlg::WriteLogHere(const std::string& event) {
  std::string record = BuildStatusRecord(event);
  os::SetWindowTextA(statusRecord, record.c_str());

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
}
