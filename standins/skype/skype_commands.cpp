// The stand-in Skype's answers to commands: what it does with each, what it
// replies, and the errors it gives in the API's own words for commands it
// cannot carry out.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/os_audio.h"
#include "platform/os_kernel.h"
#include "platform/os_text.h"
#include "platform/os_window.h"
#include "standins/common/standin_util.h"
#include "standins/skype/skype_model.h"

namespace standin_skype {

namespace {

// The API's error replies the stand-in gives.
constexpr const char* UNKNOWN_COMMAND = "ERROR 2 Unknown command";
constexpr const char* GET_INVALID_WHAT = "ERROR 7 GET: invalid WHAT";
constexpr const char* USER_INVALID_PROP = "ERROR 10 Invalid PROP";
constexpr const char* INVALID_CALL_ID = "ERROR 11 Invalid call id";
constexpr const char* GET_CALL_INVALID_PROP = "ERROR 13 Invalid PROP";
constexpr const char* SET_INVALID_WHAT = "ERROR 22 SET: invalid WHAT";
constexpr const char* CALL_NOT_ACTIVE = "ERROR 41 Call not active";
constexpr const char* INVALID_DTMF = "ERROR 42 Invalid DTMF code";
constexpr const char* CANNOT_SET_DEVICE = "ERROR 50 cannot set device";
constexpr std::size_t LISTED_NAME_MAX = 31;  // the wave device lists cut longer names here

void Reply(const std::string& text) { Notify(skype.client, text); }

std::string AnsiToUtf8(const char* text) {
  os::WCHAR wide[64] = {};
  int units = os::MultiByteToWideChar(os::CP_ACP, 0, text, -1, wide, 64);
  if (units <= 0) return "";
  char utf8[256] = {};
  os::WideCharToMultiByte(os::CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

// The names of the system's wave devices of one direction, as UTF-8, the
// way Skype lists them.
std::vector<std::string> DeviceNames(bool input) {
  std::vector<std::string> names;
  os::UINT count = input ? os::waveInGetNumDevs() : os::waveOutGetNumDevs();
  for (os::UINT id = 0; id < count; ++id) {
    if (input) {
      os::WAVEINCAPSA caps = {};
      if (os::waveInGetDevCapsA(id, &caps, sizeof caps) == os::MMSYSERR_NOERROR)
        names.push_back(AnsiToUtf8(caps.szPname));
    } else {
      os::WAVEOUTCAPSA caps = {};
      if (os::waveOutGetDevCapsA(id, &caps, sizeof caps) == os::MMSYSERR_NOERROR)
        names.push_back(AnsiToUtf8(caps.szPname));
    }
  }
  return names;
}

// Skype knows a device by its whole name; where the list shows it cut at
// 31 characters, any name that begins with the listed part is that device.
bool KnowsDevice(bool input, const std::string& name) {
  if (name.empty()) return false;
  for (const std::string& listed : DeviceNames(input)) {
    if (name == listed) return true;
    if (listed.size() >= LISTED_NAME_MAX && StartsWith(name, listed)) return true;
  }
  return false;
}

void SetAudio(bool input, const std::string& name) {
  if (!KnowsDevice(input, name)) {
    Reply(CANNOT_SET_DEVICE);
    return;
  }
  (input ? skype.audioIn : skype.audioOut) = name;
  Reply(std::string(input ? "AUDIO_IN " : "AUDIO_OUT ") + name);
}

// "SET CALL <id> DTMF <key>": a tone on a call in progress.
void SendTone(const std::string& command) {
  int id = 0;
  char key[8] = {};
  if (std::sscanf(command.c_str(), "SET CALL %d DTMF %7s", &id, key) != 2) {
    Reply(SET_INVALID_WHAT);
  } else if (!CallById(id)) {
    Reply(INVALID_CALL_ID);
  } else if (CallById(id)->status != "INPROGRESS") {
    Reply(CALL_NOT_ACTIVE);
  } else if (std::strlen(key) != 1 || !std::strchr("0123456789*#", key[0])) {
    Reply(INVALID_DTMF);
  } else {
    Reply("CALL " + std::to_string(id) + " DTMF " + key);
  }
}

void TakeSet(const std::string& command) {
  if (StartsWith(command, "SET AUDIO_IN ")) {
    SetAudio(true, After(command, "SET AUDIO_IN "));
  } else if (StartsWith(command, "SET AUDIO_OUT ")) {
    SetAudio(false, After(command, "SET AUDIO_OUT "));
  } else if (command == "SET MUTE ON" || command == "SET MUTE OFF") {
    skype.muted = command == "SET MUTE ON";
    Reply(After(command, "SET "));
  } else if (StartsWith(command, "SET CALL ") && command.find(" DTMF ") != std::string::npos) {
    SendTone(command);
  } else {
    Reply(SET_INVALID_WHAT);
  }
}

std::string CallType(const Call& call) {
  return std::string(call.incoming ? "INCOMING" : "OUTGOING") +
         (IsTelephoneNumber(call.partner) ? "_PSTN" : "_P2P");
}

// "GET CALL <id> <property>".
void AnswerCallGet(int id, const std::string& property) {
  Call* call = CallById(id);
  if (!call) {
    Reply(INVALID_CALL_ID);
    return;
  }
  std::string prefix = "CALL " + std::to_string(id) + " " + property + " ";
  if (property == "PARTNER_HANDLE") {
    Reply(prefix + call->partner);
  } else if (property == "PARTNER_DISPNAME") {
    Reply(prefix + call->partner);
  } else if (property == "TYPE") {
    Reply(prefix + CallType(*call));
  } else if (property == "STATUS") {
    Reply(prefix + call->status);
  } else if (property == "PSTN_NUMBER") {
    Reply(prefix + (IsTelephoneNumber(call->partner) ? call->partner : ""));
  } else if (property == "FAILUREREASON") {
    Reply(prefix + std::to_string(call->failureReason));
  } else if (property == "DURATION") {
    unsigned seconds = call->status == "INPROGRESS" ? (os::GetTickCount() - call->answeredAt) / 1000 : 0;
    Reply(prefix + std::to_string(seconds));
  } else if (property == "VIDEO_STATUS") {
    Reply(prefix + "VIDEO_NONE");
  } else {
    Reply(GET_CALL_INVALID_PROP);
  }
}

// "GET USER <handle> <property>".
void AnswerUserGet(const std::string& user, const std::string& property) {
  std::string prefix = "USER " + user + " " + property + " ";
  if (property == "SPEEDDIAL") {
    Reply(prefix + skype.speedDial[user]);
  } else if (property == "FULLNAME" || property == "DISPLAYNAME") {
    Reply(prefix + user);
  } else if (property == "ONLINESTATUS") {
    Reply(prefix + "ONLINE");
  } else {
    Reply(USER_INVALID_PROP);
  }
}

}  // namespace

void AnswerGet(const std::string& command) {
  int id = 0;
  char property[64] = {};
  char user[256] = {};
  if (std::sscanf(command.c_str(), "GET CALL %d %63s", &id, property) == 2) {
    AnswerCallGet(id, property);
  } else if (std::sscanf(command.c_str(), "GET USER %255s %63s", user, property) == 2) {
    AnswerUserGet(user, property);
  } else if (command == "GET SKYPEVERSION") {
    Reply("SKYPEVERSION " + skype.version);
  } else if (command == "GET CURRENTUSERHANDLE") {
    Reply("CURRENTUSERHANDLE " + skype.user);
  } else if (command == "GET USERSTATUS") {
    Reply("USERSTATUS ONLINE");
  } else if (command == "GET CONNSTATUS") {
    Reply("CONNSTATUS ONLINE");
  } else if (command == "GET AUDIO_IN") {
    Reply("AUDIO_IN " + skype.audioIn);
  } else if (command == "GET AUDIO_OUT") {
    Reply("AUDIO_OUT " + skype.audioOut);
  } else if (command == "GET PRIVILEGE SKYPEOUT") {
    Reply("PRIVILEGE SKYPEOUT TRUE");
  } else {
    Reply(GET_INVALID_WHAT);
  }
}

os::LRESULT TakeCommand(os::HWND sender, const std::string& command) {
  if (!skype.takeCommands || skype.apiGone || (skype.attachRequired && !skype.client)) {
    Note("refused %s", command.c_str());
    return 0;
  }
  Note("command %s", command.c_str());
  if (sender) skype.client = sender;
  if (command == "PING") {
    if (skype.answerPing) Reply("PONG");
  } else if (command == "PROTOCOL 5") {
    Reply("PROTOCOL 5");
  } else if (command == "FOCUS") {
    // Skype's window comes to the front; nothing is said.
  } else if (command == "MINIMIZE") {
    os::ShowWindow(skype.main, os::SW_MINIMIZE);
    Note("minimized");
  } else if (StartsWith(command, "SET ")) {
    TakeSet(command);
  } else if (StartsWith(command, "CALL ") || command == "CALL") {
    PlaceCall(After(command, "CALL "));
  } else if (command == "HOOK OFF") {
    AnswerRingingCall();
  } else if (command == "HOOK ON") {
    HangUpCurrent();
  } else if (command == "BTN_PRESSED NO") {
    // The key goes down; the call is refused when it comes up.
  } else if (command == "BTN_RELEASED NO") {
    RefuseOrCancelCurrent();
  } else if (StartsWith(command, "GET ")) {
    AnswerGet(command);
  } else {
    Reply(UNKNOWN_COMMAND);
  }
  return 1;
}

}  // namespace standin_skype
