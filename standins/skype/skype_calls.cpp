// The stand-in Skype's commands and calls: what it answers to each command
// of the program, and what each cue makes happen.
#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/os_window.h"
#include "standins/skype/skype_model.h"

namespace standin_skype {

namespace {

constexpr const char* CONVERSATION_CLASS = "TConversationForm.UnicodeClass";
constexpr const char* CALL_QUALITY_CLASS = "TCallQualityForm";
constexpr const char* ANSWER_PROMPT_CLASS = "TCallNotificationWindow";

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

// The text after a leading word and its blank, trailing blanks removed.
std::string After(const std::string& text, const std::string& start) {
  std::string rest = text.substr(std::min(start.size(), text.size()));
  rest.erase(rest.find_last_not_of(' ') + 1);
  return rest;
}

bool IsLive(const Call& call) {
  return call.status == "ROUTING" || call.status == "RINGING" || call.status == "INPROGRESS";
}

// The most recent call still going on.
Call* CurrentCall() {
  for (auto it = skype.calls.rbegin(); it != skype.calls.rend(); ++it) {
    if (IsLive(*it)) return &*it;
  }
  return nullptr;
}

Call* RingingCall() {
  Call* call = CurrentCall();
  return call && call->incoming && call->status == "RINGING" ? call : nullptr;
}

Call* CallById(int id) {
  for (Call& call : skype.calls) {
    if (call.id == id) return &call;
  }
  return nullptr;
}

bool IsTelephoneNumber(const std::string& partner) {
  std::size_t first = !partner.empty() && partner[0] == '+' ? 1 : 0;
  if (partner.size() <= first) return false;
  return partner.find_first_not_of("0123456789", first) == std::string::npos;
}

void SetStatus(Call& call, const std::string& status) {
  call.status = status;
  Notify(skype.client, "CALL " + std::to_string(call.id) + " STATUS " + status);
}

Call& NewCall(const std::string& partner, bool incoming, const std::string& status) {
  Call call;
  call.id = skype.nextCallId++;
  call.partner = partner;
  call.incoming = incoming;
  skype.calls.push_back(call);
  OpenWindow(CONVERSATION_CLASS, partner.c_str());
  SetStatus(skype.calls.back(), status);
  return skype.calls.back();
}

void CloseAnswerPrompt() {
  if (!skype.answerPrompt) return;
  os::DestroyWindow(skype.answerPrompt);
  skype.answerPrompt = nullptr;
}

// The conversation window stays, and the call-quality question comes up:
// tidying them away is left to whoever wants them gone.
void EndCall(Call& call, const std::string& status) {
  if (call.incoming && call.status == "RINGING") CloseAnswerPrompt();
  SetStatus(call, status);
  OpenWindow(CALL_QUALITY_CLASS, "");
}

void PlaceCall(const std::string& target) {
  if (skype.callsMode == CallsMode::Error) {
    Notify(skype.client, "ERROR " + skype.callError);
    return;
  }
  Call& call = NewCall(target, false, "ROUTING");
  if (skype.callsMode == CallsMode::Answer) SetStatus(call, "INPROGRESS");
}

void Ring(const std::string& partner) {
  NewCall(partner, true, "RINGING");
  if (!skype.answerPrompt) skype.answerPrompt = OpenWindow(ANSWER_PROMPT_CLASS, "");
}

void AnswerGet(const std::string& command) {
  int id = 0;
  char property[64] = {};
  char user[256] = {};
  if (std::sscanf(command.c_str(), "GET CALL %d %63s", &id, property) == 2) {
    Call* call = CallById(id);
    if (!call) {
      Notify(skype.client, "ERROR 11 Invalid call id");
    } else if (std::string(property) == "PARTNER_HANDLE") {
      Notify(skype.client, "CALL " + std::to_string(id) + " PARTNER_HANDLE " + call->partner);
    } else if (std::string(property) == "TYPE") {
      std::string type = std::string(call->incoming ? "INCOMING" : "OUTGOING") +
                         (IsTelephoneNumber(call->partner) ? "_PSTN" : "_P2P");
      Notify(skype.client, "CALL " + std::to_string(id) + " TYPE " + type);
    }
  } else if (std::sscanf(command.c_str(), "GET USER %255s SPEEDDIAL", user) == 1) {
    Notify(skype.client, "USER " + std::string(user) + " SPEEDDIAL " + skype.speedDial[user]);
  } else if (command == "GET SKYPEVERSION") {
    Notify(skype.client, "SKYPEVERSION " + skype.version);
  }
}

}  // namespace

os::LRESULT TakeCommand(os::HWND sender, const std::string& command) {
  if (!skype.takeCommands) {
    Note("refused %s", command.c_str());
    return 0;
  }
  Note("command %s", command.c_str());
  if (sender) skype.client = sender;
  if (command == "PING") {
    if (skype.answerPing) Notify(skype.client, "PONG");
  } else if (command == "PROTOCOL 5") {
    Notify(skype.client, "PROTOCOL 5");
  } else if (command == "MINIMIZE") {
    os::ShowWindow(skype.main, os::SW_MINIMIZE);
    Note("minimized");
  } else if (StartsWith(command, "SET AUDIO_IN ") || StartsWith(command, "SET AUDIO_OUT ") ||
             StartsWith(command, "SET MUTE ")) {
    Notify(skype.client, After(command, "SET "));
  } else if (StartsWith(command, "CALL ")) {
    PlaceCall(After(command, "CALL "));
  } else if (command == "HOOK OFF") {
    if (Call* call = RingingCall()) {
      CloseAnswerPrompt();
      SetStatus(*call, "INPROGRESS");
    }
  } else if (command == "HOOK ON") {
    if (Call* call = CurrentCall()) EndCall(*call, "FINISHED");
  } else if (command == "BTN_RELEASED NO") {
    Call* call = CurrentCall();
    if (call && call->status != "INPROGRESS") EndCall(*call, call->incoming ? "REFUSED" : "CANCELLED");
  } else if (StartsWith(command, "GET ")) {
    AnswerGet(command);
  }
  return 1;
}

void HangUpHotKey() {
  if (Call* call = CurrentCall()) EndCall(*call, "FINISHED");
}

void RunCue(const std::string& line) {
  std::size_t blank = line.find(' ');
  std::string word = line.substr(0, blank);
  std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
  Call* call = CurrentCall();
  if (word == "ring") {
    Ring(rest);
  } else if (word == "manual") {
    NewCall(rest, false, "ROUTING");
  } else if (word == "answer") {
    if (call && call == RingingCall()) CloseAnswerPrompt();
    if (call) SetStatus(*call, "INPROGRESS");
  } else if (word == "end") {
    if (call) EndCall(*call, rest);
  } else if (word == "calls") {
    skype.callsMode = rest == "route"              ? CallsMode::Route
                      : StartsWith(rest, "error ") ? CallsMode::Error
                                                   : CallsMode::Answer;
    skype.callError = After(rest, "error ");
  } else if (word == "notify") {
    Notify(skype.client, rest);
  } else if (word == "pong") {
    skype.answerPing = rest != "off";
  } else if (word == "commands") {
    skype.takeCommands = rest != "refuse";
  } else if (word == "speeddial") {
    std::size_t space = rest.find(' ');
    skype.speedDial[rest.substr(0, space)] = space == std::string::npos ? "" : rest.substr(space + 1);
  } else if (word == "window") {
    OpenWindow(rest.c_str(), "");
  } else {
    Note("unknown cue %s", line.c_str());
  }
}

}  // namespace standin_skype
