// The Update Check command: asks the update server whether a newer release
// exists and shows its one-line answer. Nothing is downloaded.
#include <cstdio>
#include <string>

#include "platform/os_internet.h"
#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "shell/settings.h"

namespace {

constexpr const char* UPDATE_PATH = "/marblewick/corvaloplugin-$update$.asp?";
constexpr const char* DEFAULT_UPDATE_SERVER = "http://updates.corvaloplugin.com";
constexpr const char* REPLY_PREFIX = "result=";
constexpr const char* NO_SERVER_TEXT =
    "Unable to contact update server. Please check your Internet connection and your "
    "firewall/proxy settings and try again.";
constexpr std::size_t LONGEST_LINE = 4096;
constexpr os::UINT_PTR CONTEXT = 1;

// The server, "http://host[:port]" without a trailing slash; the settings
// file may name another one (key "UpdateServer" of section "Options").
std::string UpdateServer() {
  char server[256] = {};
  os::GetPrivateProfileStringA("Options", "UpdateServer", DEFAULT_UPDATE_SERVER, server, sizeof server,
                               GetSettingsPath().c_str());
  std::string url = server;
  while (!url.empty() && url.back() == '/') url.pop_back();
  return url.empty() ? DEFAULT_UPDATE_SERVER : url;
}

std::string TimeStamp() {
  os::SYSTEMTIME now = {};
  os::GetLocalTime(&now);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04u%02u%02u%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  return stamp;
}

// The reply's first line, without its line end; a line longer than
// LONGEST_LINE is cut there.
std::string FirstLine(os::HINTERNET reply) {
  std::string line;
  char chunk[512];
  os::DWORD read = 0;
  while (line.size() < LONGEST_LINE && os::InternetReadFile(reply, chunk, sizeof chunk, &read) && read > 0) {
    line.append(chunk, read);
    std::size_t end = line.find('\n');
    if (end != std::string::npos) {
      line.resize(end);
      break;
    }
  }
  if (line.size() > LONGEST_LINE) line.resize(LONGEST_LINE);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::string RemoveAll(std::string text, const std::string& part) {
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at)) text.erase(at, part.size());
  return text;
}

}  // namespace

void CCorvaloPluginDlg::UpdateCheck() {
  WriteLog("UpdateRequest");
  os::HINTERNET session = os::InternetOpenA(PROGRAM_NAME, os::INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  std::string url = UpdateServer() + UPDATE_PATH + "re=" + PROGRAM_RELEASE + "&d=" + TimeStamp();
  os::HINTERNET reply = session ? os::InternetOpenUrlA(session, url.c_str(), nullptr, 0,
                                                       os::INTERNET_FLAG_TRANSFER_ASCII, CONTEXT)
                                : nullptr;
  bool answered = false;
  if (reply) {
    std::string line = FirstLine(reply);
    if (line.compare(0, 7, REPLY_PREFIX) == 0) {
      answered = true;
      os::MessageBoxA(m_hWnd, RemoveAll(line, REPLY_PREFIX).c_str(), "Update Information", os::MB_OK);
    }
    os::InternetCloseHandle(reply);
  }
  if (!answered) {
    os::MessageBoxA(m_hWnd, NO_SERVER_TEXT, "Warning", os::MB_OK);
    WriteLog("ServerConnProblem");
  }
  if (session) os::InternetCloseHandle(session);
}
