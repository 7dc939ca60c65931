// The one way to talk to Skype: commands by code, sent as WM_COPYDATA text
// to Skype's API window while attached; while not, discovery goes out
// instead and the command is dropped.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/os_kernel.h"
#include "platform/os_text.h"
#include "platform/os_window.h"
#include "shell/main_dialog.h"
#include "skype/skype_commands.h"

namespace {

constexpr std::size_t COMMAND_BUFFER = 255;
constexpr os::UINT DISCOVERY_TIMEOUT_MS = 250;
constexpr os::WPARAM HANG_UP_HOT_KEY = 0xB003;
constexpr os::LPARAM ALT_PAGE_DOWN = 0x00220001;
constexpr std::uint32_t UNREGISTERED = 0xFFFFFFFF;
constexpr int REFUSALS_BEFORE_PAUSE = 3;
constexpr os::DWORD FIRST_DISCOVERY_PAUSE_MS = 5000;
constexpr os::DWORD LONGEST_DISCOVERY_PAUSE_MS = 60000;

// The text template of a code; %d takes the call id, %s the argument.
const char* TemplateOf(int code) {
  switch (code) {
    case 1: return "PROTOCOL 5";
    case 2: return "PING";
    case 3: return "FOCUS";
    case 4: return "MINIMIZE";
    case 5: return "CorvaloPlugin";
    case 10: return "SET AUDIO_IN";
    case 11: return "SET AUDIO_OUT";
    case 12: return "SET RINGER";
    case 13: return "SET AUDIO_IN %s ";
    case 14: return "SET AUDIO_OUT %s ";
    case 15: return "SET RINGER %s ";
    case 16: return "SET MUTE ON";
    case 17: return "SET MUTE OFF";
    case 20: return "HOOK ON";
    case 21: return "HOOK OFF";
    case 22: return "BTN_PRESSED %s";
    case 23: return "BTN_RELEASED %s";
    case 24: return "SET CALL %d DTMF %s";
    case 25: return "SET CALL %d FINISHED";
    case 30: return "CALL %s";
    case 40: return "GET SKYPEVERSION";
    case 41: return "SEARCH FRIENDS";
    case 42: return "GET USER %s ONLINESTATUS";
    case 43: return "GET CALL %d PARTNER_HANDLE";
    case 44: return "GET CALL %d PARTNER_DISPNAME";
    case 45: return "GET USER %s FULLNAME";
    case 46: return "GET CALL %d TYPE";
    case 47: return "SEARCH CALLS";
    case 48: return "GET CALL %d TIMESTAMP";
    case 49: return "GET USER %s DISPLAYNAME";
    case 50: return "GET CALL %d DURATION";
    case 51: return "GET AUDIO_IN";
    case 52: return "GET AUDIO_OUT";
    case 53: return "GET CALL %d STATUS";
    case 54: return "GET CALL %d SEEN";
    case 55: return "GET PROFILE PSTN_BALANCE";
    case 56: return "GET PRIVILEGE SKYPEOUT";
    case 57: return "SEARCH MISSEDCALLS";
    case 58: return "GET CURRENTUSERHANDLE";
    case 59: return "GET USERSTATUS";
    case 60: return "GET USER %s SPEEDDIAL";
    default: return nullptr;
  }
}

// Formats a template in the 255-byte buffer: the call id for %d, the text
// for %s, cut where the buffer ends.
void Format(char (&buffer)[COMMAND_BUFFER], const char* pattern, int callId, const char* text) {
  std::string out;
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 'd') {
      out += std::to_string(callId);
      ++p;
    } else if (p[0] == '%' && p[1] == 's') {
      out += text ? text : "";
      ++p;
    } else {
      out += *p;
    }
  }
  std::size_t length = std::min(out.size(), COMMAND_BUFFER - 1);
  std::memcpy(buffer, out.data(), length);
  buffer[length] = '\0';
}

bool IsHighSurrogate(os::WCHAR unit) { return unit >= 0xD800 && unit < 0xDC00; }

// The argument, taken as ANSI text, becomes UTF-8 in the zeroed work
// buffer, at most room bytes of it: what does not fit is dropped a whole
// character at a time, so the command ends in a complete character.
void ToUtf8(char (&work)[COMMAND_BUFFER], const char* text, std::size_t room) {
  std::memset(work, 0, sizeof work);
  if (text) std::strncpy(work, text, COMMAND_BUFFER - 1);
  os::WCHAR wide[COMMAND_BUFFER] = {};
  int units = os::MultiByteToWideChar(os::CP_ACP, 0, work, -1, wide, COMMAND_BUFFER);
  std::memset(work, 0, sizeof work);
  int length = units > 0 ? units - 1 : 0;  // without the terminator
  auto utf8Size = [&wide](int count) {
    return os::WideCharToMultiByte(os::CP_UTF8, 0, wide, count, nullptr, 0, nullptr, nullptr);
  };
  room = std::min(room, COMMAND_BUFFER - 1);
  while (length > 0 && utf8Size(length) > static_cast<int>(room)) {
    --length;
    if (length > 0 && IsHighSurrogate(wide[length - 1])) --length;
  }
  if (length > 0)
    os::WideCharToMultiByte(os::CP_UTF8, 0, wide, length, work, static_cast<int>(room), nullptr, nullptr);
}

// A registered message number, kept unregistered if the system gives none.
void Register(std::uint32_t& field, const char* name) {
  if (field != UNREGISTERED) return;
  if (os::UINT id = os::RegisterWindowMessageA(name)) field = id;
}

bool IsDeviceCommand(int code) {
  return code == SKYPE_SET_AUDIO_IN || code == SKYPE_SET_AUDIO_OUT || code == SKYPE_SET_RINGER;
}

const char* LinkLossName(SkypeLinkLoss reason) {
  switch (reason) {
    case SkypeLinkLoss::NoPong: return "NoPong";
    case SkypeLinkLoss::Refused: return "Refused";
    case SkypeLinkLoss::SkypeGone: return "SkypeGone";
  }
  return "";
}

}  // namespace

void CCorvaloPluginDlg::SendSkypeCommand(int code, const char* argument) {
  char command[COMMAND_BUFFER] = {};
  const char* pattern = TemplateOf(code);
  if (code == SKYPE_DISCOVER) {
    skypeApiWindow = nullptr;
    attachMessage = UNREGISTERED;
    discoverMessage = UNREGISTERED;
  } else if (!pattern) {
    return;  // not a command of the table: nothing is sent, nothing is broadcast
  } else if (IsDeviceCommand(code)) {
    char deviceName[COMMAND_BUFFER];
    std::size_t room = COMMAND_BUFFER - 1 - (std::strlen(pattern) - 2);  // what the text around %s leaves
    ToUtf8(deviceName, argument, room);
    Format(command, pattern, skypeCallId, deviceName);
  } else {
    Format(command, pattern, skypeCallId, argument);
  }

  if (skypeApiWindow && code != SKYPE_DISCOVER) {
    os::COPYDATASTRUCT record = {0, static_cast<os::DWORD>(std::strlen(command) + 1), command};
    if (os::SendMessageA(skypeApiWindow, os::WM_COPYDATA, reinterpret_cast<os::WPARAM>(m_hWnd),
                         reinterpret_cast<os::LPARAM>(&record))) {
      attachRefusals = 0;
    } else {
      // Skype did not take it: the link is gone. During a call, Skype's
      // hang-up hot key ends the call there, and its windows are tidied;
      // but not a call the user answered in Skype's window and talks on.
      bool talkedOnInSkype = callState == CALL_RINGING && lineMode == LINE_SKYPE && !SkypeCallRings();
      bool callInHand = callState != CALL_IDLE && !talkedOnInSkype;
      DropSkypeLink(SkypeLinkLoss::Refused);
      NoteRefusalAfterAttach();
      if (callInHand) {
        os::SendMessageA(FindSoftphoneMain(LINE_SKYPE), os::WM_HOTKEY, HANG_UP_HOT_KEY, ALT_PAGE_DOWN);
        CloseDialerWindows(LINE_SKYPE);
      }
    }
  }

  if (!skypeApiWindow && !DiscoveryPaused()) {
    Register(attachMessage, "SkypeControlAPIAttach");
    Register(discoverMessage, "SkypeControlAPIDiscover");
    if (attachMessage != UNREGISTERED && discoverMessage != UNREGISTERED) {
      os::SendMessageTimeoutA(os::HWND_BROADCAST(), discoverMessage, reinterpret_cast<os::WPARAM>(m_hWnd), 0,
                              os::SMTO_NORMAL, DISCOVERY_TIMEOUT_MS, nullptr);
    }
  }
}

// A Skype that refuses commands could never be told to answer a call still
// ringing the phone: such a call ends here as if Skype had reported its
// end. A missed keep-alive alone leaves every call alone: the next polls
// attach again and lifting the handset answers a ringing call as usual. A
// call in progress, or answered in Skype's own window, survives a refused
// command too, since Skype may still be carrying its voice.
void CCorvaloPluginDlg::DropSkypeLink(SkypeLinkLoss reason) {
  if (!skypeApiWindow) return;
  skypeApiWindow = nullptr;
  WriteLog(std::string("SkypeLinkLost:") + LinkLossName(reason));
  if (reason == SkypeLinkLoss::Refused && SkypeCallRings() && skypeCallId != 0) OnSkypeCallEnded();
}

// Once Skype itself is gone no call of it goes on, whether or not the link
// was still up.
void CCorvaloPluginDlg::OnSkypeGone() {
  DropSkypeLink(SkypeLinkLoss::SkypeGone);
  if (lineMode == LINE_SKYPE && skypeCallId != 0) OnSkypeCallEnded();
}

// A Skype that attaches and then takes no command would otherwise be asked
// again at once, attach again and refuse again without end. After three
// such rounds in a row discovery pauses, 5 s at first and twice as long
// each further round, at most a minute; a command taken ends the pauses.
void CCorvaloPluginDlg::NoteRefusalAfterAttach() {
  if (++attachRefusals < REFUSALS_BEFORE_PAUSE) return;
  int doublings = std::min(attachRefusals - REFUSALS_BEFORE_PAUSE, 4);
  discoveryPauseMs = std::min<os::DWORD>(FIRST_DISCOVERY_PAUSE_MS << doublings, LONGEST_DISCOVERY_PAUSE_MS);
  discoveryPausedAt = os::GetTickCount();
  char event[48];
  std::snprintf(event, sizeof event, "SkypeRefusesCommands:%lus",
                static_cast<unsigned long>(discoveryPauseMs / 1000));
  WriteLog(event);
}

bool CCorvaloPluginDlg::DiscoveryPaused() const {
  return discoveryPauseMs != 0 && os::GetTickCount() - discoveryPausedAt < discoveryPauseMs;
}

void CCorvaloPluginDlg::ForgetSkypeRefusals() {
  attachRefusals = 0;
  discoveryPauseMs = 0;
}
