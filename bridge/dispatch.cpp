// The main window's own default procedure: the messages its message map
// does not name. It recognises the hook's reports, the adapter thread's
// arrival and loss, the handset keys, the shell's restart and Skype's attach
// reply; everything else, and some of these after their work, takes the
// standard processing.
#include <cstring>
#include <string>

#include "bridge/softphone_interface.h"
#include "phonehook/hook_messages.h"
#include "platform/os_kernel.h"
#include "platform/os_registry.h"
#include "platform/os_window.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "skype/skype_commands.h"

// The program's private messages arrive beside the hook's: none may share a
// number.
static_assert(LOG_REQUEST_MSG != KEY_REPORT_MSG && LOG_REQUEST_MSG != KEY_INJECT_MSG &&
              LOG_REQUEST_MSG != DEVICE_ADDED_MSG && LOG_REQUEST_MSG != DEVICE_REMOVED_MSG &&
              KEY_REPORT_MSG != DEVICE_ADDED_MSG && KEY_REPORT_MSG != DEVICE_REMOVED_MSG &&
              LOG_REQUEST_MSG != TRAY_NOTIFY_MSG);

namespace {

constexpr os::LPARAM ATTACH_SUCCESS = 0;
constexpr os::LPARAM ATTACH_API_AVAILABLE = 0x8001;

// Any program can send the main window a record naming any sender, so a
// record is taken only in the shape the hook and Skype give theirs: data
// present, of a sane size, holding a text whose terminator lies within the
// stated length. Anything else changes nothing.
constexpr os::DWORD MAX_RECORD_BYTES = 64 * 1024;

bool IsWellFormed(const os::COPYDATASTRUCT& record) {
  if (!record.lpData || record.cbData == 0 || record.cbData > MAX_RECORD_BYTES) return false;
  return std::memchr(record.lpData, '\0', record.cbData) != nullptr;
}

// The text of a well-formed record, up to its terminator.
std::string RecordText(const os::COPYDATASTRUCT& record) {
  return static_cast<const char*>(record.lpData);
}

std::string FirstWord(const std::string& text) {
  std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return "";
  std::size_t end = text.find_first_of(" \t\r\n", start);
  return text.substr(start, std::min<std::size_t>(end - start, 255));
}

std::string RemoveAll(std::string text, const std::string& word) {
  for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at)) {
    text.erase(at, word.size());
  }
  return text;
}

}  // namespace

bool CCorvaloPluginDlg::DefWindowProc(os::UINT message, os::WPARAM wParam, os::LPARAM lParam,
                                      os::LRESULT& result) {
  if (message == os::WM_COPYDATA) {
    // A record names its sender in wParam; a null sender is nobody's.
    auto sender = reinterpret_cast<os::HWND>(wParam);
    if (!sender || !lParam) return false;
    const auto& record = *reinterpret_cast<const os::COPYDATASTRUCT*>(lParam);
    if (!IsWellFormed(record)) return false;
    if (sender == softphoneWindow) OnHookReport(RecordText(record));
    if (sender == skypeApiWindow && adapterProductId) {
      HandleSkypeNotification(sender, record);
      result = 1;
      return true;
    }
    return false;
  }
  if (message == DEVICE_ADDED_MSG) {
    OnDeviceAdded();
    return false;
  }
  if (message == DEVICE_REMOVED_MSG) {
    OnDeviceRemoved();
    return false;
  }
  if (message == LOG_REQUEST_MSG) {
    OnLogRequest(wParam);
    result = 1;
    return true;
  }
  if (message == KEY_REPORT_MSG) {
    OnKeyReport(wParam);
    return false;
  }
  if (taskbarCreatedMessage && message == taskbarCreatedMessage) {
    OnTaskbarCreated();
    return false;
  }
  if (attachMessage != 0xFFFFFFFF && message == attachMessage) {
    OnSkypeAttach(reinterpret_cast<os::HWND>(wParam), lParam);
    result = 1;
    return true;
  }
  return false;
}

// The whole text is logged, not the split words, so a path with blanks is
// logged whole.
void CCorvaloPluginDlg::OnHookReport(const std::string& text) {
  std::string keyword = FirstWord(text);
  if (keyword == "FILEPATH") WriteLog("DialerAttached:" + RemoveAll(text, "FILEPATH"));
  if (keyword == "LOGDATA") WriteLog("DialerData:" + RemoveAll(text, "LOGDATA"));
}

void CCorvaloPluginDlg::OnDeviceAdded() {
  skypeApiWindow = nullptr;
  SetTrayState(TrayState::Initialising, TrayUpdate::Replace);
  // The thread runs on by itself; nothing waits on its handle.
  if (os::HANDLE thread = os::BeginThread(&CCorvaloPluginDlg::AdapterArrivalThread, this, os::THREAD_PRIORITY_NORMAL))
    os::CloseHandle(thread);
  ReadSoftphoneVersion();
  WriteLog("DeviceAdded");
}

// A Skype call the handset was placing or talking on cannot go on without
// the phone: it is hung up in Skype before the call record is cleared, and
// Skype's call windows are tidied once the loss is logged. A call still
// ringing stays in Skype, where the user can take it at the computer. The
// call's timers stop either way.
void CCorvaloPluginDlg::OnDeviceRemoved() {
  bool skypeCallEnded = lineMode == LINE_SKYPE && (callState == CALL_PLACING || callState == CALL_ANSWERED);
  if (skypeCallEnded) EndCall(LINE_SKYPE);
  for (os::UINT_PTR id : {RING_ON_TIMER_ID, RING_OFF_TIMER_ID, DIGIT_TIMER_ID, NO_ANSWER_TIMER_ID})
    os::KillTimer(m_hWnd, id);
  os::ShowWindow(m_hWnd, os::SW_HIDE);
  // The adapter's product id is the poll thread's: it cleared it when it
  // dropped the adapter, and by the time this message is handled it may
  // already have taken a returning one, which must not be forgotten.
  offHook = 0;
  ClearCall();
  SetTrayState(TrayState::NoAdapter, TrayUpdate::Replace);
  SpeedDialDialog.EndDialog(0);
  aboutDialog.EndDialog(0);
  checklistDialog.EndDialog(0);
  WriteLog("DeviceRemoved");
  if (skypeCallEnded) CloseDialerWindows(LINE_SKYPE);
}

// The softphone's version, registry value SOFTPHONE_VERSION_VALUE without trailing blanks or
// line ends. The buffer keeps its text between reads, so a key without the
// value leaves the version read last. A longer value is cut to 255.
void CCorvaloPluginDlg::ReadSoftphoneVersion() {
  static char value[256] = {};
  os::HKEY key = nullptr;
  if (os::RegOpenKeyExA(os::HKEY_CURRENT_USER(), SOFTPHONE_VERSION_KEY, 0, os::KEY_QUERY_VALUE,
                        &key) != os::ERROR_SUCCESS)
    return;
  os::DWORD size = 0;
  if (os::RegQueryValueExA(key, SOFTPHONE_VERSION_VALUE, nullptr, nullptr, &size) == os::ERROR_SUCCESS) {
    std::string whole(size + 1, '\0');
    os::DWORD read = size;
    if (os::RegQueryValueExA(key, SOFTPHONE_VERSION_VALUE, nullptr, reinterpret_cast<os::BYTE*>(&whole[0]), &read) ==
        os::ERROR_SUCCESS) {
      std::memset(value, 0, sizeof value);
      std::strncpy(value, whole.c_str(), sizeof value - 1);
    }
  }
  std::string version = std::string(value) + "\n";
  version.erase(version.find_last_not_of(" \t\r\n") + 1);
  softphoneVersion = version;
  os::RegCloseKey(key);
}

void CCorvaloPluginDlg::OnSkypeAttach(os::HWND apiWindow, os::LPARAM status) {
  // While discovery pauses for a Skype that takes no command, replies to
  // the requests made before the pause are not taken up again.
  if (DiscoveryPaused()) return;
  if (status == ATTACH_SUCCESS) {
    checklistDialog.EndDialog(0);
    skypeApiWindow = apiWindow;
    os::SetTimer(m_hWnd, PING_TIMER_ID, PING_PERIOD_MS);
    SendSkypeCommand(SKYPE_PROTOCOL, nullptr);
    SelectSkypeAudioDevices();
    SendSkypeCommand(SKYPE_GET_VERSION, nullptr);
    // A call kept through a loss of the link may have ended, or been
    // answered in Skype's window, while Skype could not tell: it tells now.
    if (lineMode == LINE_SKYPE && skypeCallId != 0) SendSkypeCommand(SKYPE_GET_CALL_STATUS, nullptr);
    WriteLog("SkypeAttached");
  } else if (status == ATTACH_API_AVAILABLE) {
    skypeApiWindow = nullptr;
    SendSkypeCommand(SKYPE_DISCOVER, nullptr);
  }
}
