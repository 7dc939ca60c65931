// The stand-in Skype's calls: how a call placed with "CALL x" goes on, how
// calls ring in, what the user's side and the far end do to them, and the
// cues that drive them.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/os_kernel.h"
#include "platform/os_window.h"
#include "standins/common/standin_util.h"
#include "standins/skype/skype_model.h"

namespace standin_skype {

namespace {

constexpr const char* CONVERSATION_CLASS = "TConversationForm.UnicodeClass";
constexpr const char* CALL_QUALITY_CLASS = "TCallQualityForm";
constexpr const char* ANSWER_PROMPT_CLASS = "TCallNotificationWindow";
constexpr const char* ECHO_TEST = "echo123";
// When the far end is heard from after ROUTING: ringing (or the network's
// early media), a failure or a busy line; the echo test answers by itself.
constexpr os::DWORD PROGRESS_MS = 300;
constexpr os::DWORD OUTCOME_MS = 500;
constexpr os::DWORD ECHO_ANSWER_MS = 600;

std::string CallText(const Call& call, const std::string& rest) {
  return "CALL " + std::to_string(call.id) + " " + rest;
}

// A status the far end or the network reports, taken on when it goes out;
// with repeating on, it goes out twice, as some clients send it.
void ReportStatus(const Call& call, const std::string& status, os::DWORD delayMs) {
  NotifyCall(call, CallText(call, "STATUS " + status), status, delayMs);
  if (skype.repeatStatus) NotifyCall(call, CallText(call, "STATUS " + status), status, delayMs);
}

void ReportAnswered(const Call& call, os::DWORD delayMs) {
  ReportStatus(call, "INPROGRESS", delayMs);
  NotifyCall(call, CallText(call, "VIDEO_STATUS VIDEO_NONE"), "", delayMs);
}

void ReportFailure(Call& call, int reason, os::DWORD delayMs) {
  call.failureReason = reason;
  NotifyCall(call, CallText(call, "FAILUREREASON " + std::to_string(reason)), "", delayMs);
  ReportStatus(call, "FAILED", delayMs);
}

void CloseAnswerPrompt() {
  if (!skype.answerPrompt) return;
  os::DestroyWindow(skype.answerPrompt);
  skype.answerPrompt = nullptr;
}

Call& NewCall(const std::string& partner, bool incoming, const std::string& status) {
  Call call;
  call.id = skype.nextCallId++;
  call.partner = partner;
  call.incoming = incoming;
  call.status = status;
  skype.calls.push_back(call);
  OpenWindow(CONVERSATION_CLASS, partner.c_str());
  Call& added = skype.calls.back();
  ReportStatus(added, status, 0);
  return added;
}

// After ROUTING: the far end rings (twice reported, as Skype does), or the
// telephone network plays early media; it answers after answerMs unless
// the test will say when.
void GoOn(Call& call, CallsMode mode) {
  bool echo = call.partner == ECHO_TEST;
  switch (mode) {
    case CallsMode::Fail: ReportFailure(call, skype.callFailure, OUTCOME_MS); return;
    case CallsMode::Busy: ReportStatus(call, "BUSY", OUTCOME_MS); return;
    default: break;
  }
  if (IsTelephoneNumber(call.partner)) {
    ReportStatus(call, "EARLYMEDIA", PROGRESS_MS);
  } else {
    NotifyCall(call, CallText(call, "STATUS RINGING"), "RINGING", PROGRESS_MS);
    ReportStatus(call, "RINGING", PROGRESS_MS);
  }
  if (echo) {
    ReportAnswered(call, ECHO_ANSWER_MS);
  } else if (mode == CallsMode::Answer) {
    ReportAnswered(call, PROGRESS_MS + skype.answerMs);
  }
}

// "PARTNER [MS]": with MS, the caller gives up after MS if nobody answered
// by then, and the call is MISSED.
void Ring(const std::string& rest) {
  std::size_t blank = rest.find(' ');
  Call& call = NewCall(rest.substr(0, blank), true, "RINGING");
  if (!skype.answerPrompt) skype.answerPrompt = OpenWindow(ANSWER_PROMPT_CLASS, "");
  if (blank == std::string::npos) return;
  os::DWORD giveUpMs = static_cast<os::DWORD>(std::atol(rest.c_str() + blank + 1));
  NotifyCall(call, CallText(call, "STATUS MISSED"), "MISSED", giveUpMs, "RINGING");
}

void SetCallsMode(const std::string& rest) {
  skype.callsMode = CallsMode::Answer;
  if (rest == "route") skype.callsMode = CallsMode::Route;
  if (rest == "busy") skype.callsMode = CallsMode::Busy;
  if (StartsWith(rest, "error ")) {
    skype.callsMode = CallsMode::Error;
    skype.callError = After(rest, "error ");
  }
  if (StartsWith(rest, "fail")) {
    skype.callsMode = CallsMode::Fail;
    int reason = std::atoi(After(rest, "fail").c_str());
    skype.callFailure = reason > 0 ? reason : 1;  // 1: a miscellaneous error
  }
  if (StartsWith(rest, "answer ")) {
    skype.answerMs = static_cast<os::DWORD>(std::atol(After(rest, "answer ").c_str()));
  }
}

}  // namespace

bool IsEnded(const Call& call) {
  for (const char* end : {"FINISHED", "MISSED", "REFUSED", "BUSY", "CANCELLED", "FAILED"}) {
    if (call.status == end) return true;
  }
  return false;
}

Call* CallById(int id) {
  for (Call& call : skype.calls) {
    if (call.id == id) return &call;
  }
  return nullptr;
}

// The call in progress, else the most recent call still going on: a call
// ringing in during a call waits while the one in progress is handled.
Call* CurrentCall() {
  for (Call& call : skype.calls) {
    if (call.status == "INPROGRESS") return &call;
  }
  return LatestCall();
}

// The call started last that is still going on: what the cues act on.
Call* LatestCall() {
  for (auto it = skype.calls.rbegin(); it != skype.calls.rend(); ++it) {
    if (!IsEnded(*it)) return &*it;
  }
  return nullptr;
}

Call* RingingCall() {
  for (auto it = skype.calls.rbegin(); it != skype.calls.rend(); ++it) {
    if (it->incoming && it->status == "RINGING") return &*it;
  }
  return nullptr;
}

bool IsTelephoneNumber(const std::string& partner) {
  std::size_t first = !partner.empty() && partner[0] == '+' ? 1 : 0;
  if (partner.size() <= first) return false;
  return partner.find_first_not_of("0123456789", first) == std::string::npos;
}

void SetStatus(Call& call, const std::string& status) {
  bool changed = call.status != status;
  call.status = status;
  if (changed) StatusTaken(call);
  NotifyCall(call, CallText(call, "STATUS " + status), status, 0);
}

// What Skype's windows do as a call changes: the answer prompt goes when an
// incoming call is answered or ends; an ended call leaves its conversation
// window and brings up the call-quality question, both until closed.
void StatusTaken(Call& call) {
  if (call.status == "INPROGRESS") {
    if (call.incoming) CloseAnswerPrompt();
    call.answeredAt = os::GetTickCount();
    StartDurationTicks();
  } else if (IsEnded(call)) {
    if (call.incoming && !RingingCall()) CloseAnswerPrompt();
    OpenWindow(CALL_QUALITY_CLASS, "");
  }
}

void PlaceCall(const std::string& target) {
  if (skype.callsMode == CallsMode::Error) {
    Notify(skype.client, "ERROR " + skype.callError);
    return;
  }
  if (target.empty()) {
    Notify(skype.client, "ERROR 4 Empty target not allowed");
    return;
  }
  Call& call = NewCall(target, false, "UNPLACED");
  ReportStatus(call, "ROUTING", 0);
  GoOn(call, skype.callsMode);
}

void AnswerRingingCall() {
  if (Call* call = RingingCall()) {
    SetStatus(*call, "INPROGRESS");
    NotifyCall(*call, CallText(*call, "VIDEO_STATUS VIDEO_NONE"), "", 0);
  }
}

void HangUpCurrent() {
  Call* call = CurrentCall();
  if (!call) return;
  if (call->status == "INPROGRESS") {
    SetStatus(*call, "FINISHED");
  } else {
    SetStatus(*call, call->incoming ? "REFUSED" : "CANCELLED");
  }
}

void RefuseOrCancelCurrent() {
  Call* call = RingingCall();
  if (!call) call = CurrentCall();
  if (call && call->status != "INPROGRESS") SetStatus(*call, call->incoming ? "REFUSED" : "CANCELLED");
}

void HangUpHotKey() { HangUpCurrent(); }

void RunCue(const std::string& line) {
  std::size_t blank = line.find(' ');
  std::string word = line.substr(0, blank);
  std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
  Call* call = LatestCall();
  if (word == "ring") {
    Ring(rest);
  } else if (word == "manual") {
    Call& placed = NewCall(rest, false, "UNPLACED");
    ReportStatus(placed, "ROUTING", 0);
    GoOn(placed, CallsMode::Route);
  } else if (word == "answer") {
    if (call) ReportAnswered(*call, 0);
  } else if (word == "end") {
    if (call) ReportStatus(*call, rest, 0);
  } else if (word == "fail") {
    if (call) ReportFailure(*call, std::atoi(rest.c_str()), 0);
  } else if (word == "calls") {
    SetCallsMode(rest);
  } else if (word == "repeat") {
    skype.repeatStatus = rest == "on";
  } else if (word == "delivery") {
    skype.syncDelivery = rest == "sync";
  } else if (word == "notify") {
    Notify(skype.client, rest);
  } else if (word == "pong") {
    skype.answerPing = rest != "off";
  } else if (word == "commands") {
    skype.takeCommands = rest != "refuse" && rest != "refuse-attached";
    skype.attachWhileRefusing = rest == "refuse-attached";
  } else if (word == "speeddial") {
    std::size_t space = rest.find(' ');
    skype.speedDial[rest.substr(0, space)] = space == std::string::npos ? "" : rest.substr(space + 1);
  } else if (word == "window") {
    OpenWindow(rest.c_str(), "");
  } else if (word == "authorize") {
    Authorize();
  } else if (word == "available") {
    AnnounceApi();
  } else if (word == "detach") {
    WithdrawApi();
  } else {
    Note("unknown cue %s", line.c_str());
  }
}

}  // namespace standin_skype
