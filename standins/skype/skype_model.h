// The stand-in Skype's state, shared by its window side (skype.cpp), its
// command side (skype_commands.cpp) and its call side (skype_calls.cpp).
// One stand-in runs per process.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/os_types.h"

namespace standin_skype {

// How the far end of a call placed with "CALL x" behaves.
enum class CallsMode { Answer, Route, Error, Fail, Busy };

struct Call {
  int id = 0;
  std::string partner;  // whom the call is with
  bool incoming = false;
  std::string status;         // UNPLACED, ROUTING, RINGING, EARLYMEDIA, INPROGRESS, or how it ended
  os::DWORD answeredAt = 0;   // tick count when it went in progress
  int failureReason = 0;
};

// A notification waiting in the outbox. One that belongs to a call and
// carries a status changes the call's status when it goes out; anything
// still waiting for a call that has ended by then is dropped.
struct Notification {
  os::HWND client = nullptr;
  std::string text;
  os::DWORD due = 0;
  int callId = 0;
  std::string status;
  // When set, it goes out only while the call still has this status.
  std::string onlyWhile;
};

struct Skype {
  std::string version = "8.1.0.2";
  std::string user = "corvalo.tester";
  std::string transcriptPath;
  std::string cuePath;
  std::vector<os::LPARAM> attachStatuses = {0};
  std::size_t discoveries = 0;
  std::size_t cueBytesDone = 0;
  os::HWND pendingClient = nullptr;  // asked while authorisation was pending
  CallsMode callsMode = CallsMode::Answer;
  std::string callError;
  int callFailure = 1;
  os::DWORD answerMs = 1000;
  bool repeatStatus = false;  // every status notification goes out twice
  bool syncDelivery = false;  // notifications go out from inside the command
  int commandDepth = 0;       // commands being handled right now (nested sends)
  bool answerPing = true;
  bool takeCommands = true;
  bool attachWhileRefusing = false;  // attaches the asker, then refuses its commands
  bool apiGone = false;  // detached everyone: no commands, no discovery until available
  // Once the API was withdrawn, commands count only from a program that
  // attached again since.
  bool attachRequired = false;
  std::map<std::string, std::string> speedDial;
  std::deque<Call> calls;  // a deque: references stay valid while it grows
  int nextCallId = 101;
  std::string audioIn;
  std::string audioOut;
  bool muted = false;
  os::HWND main = nullptr;
  os::HWND api = nullptr;
  os::HWND answerPrompt = nullptr;
  os::HWND client = nullptr;  // the program's window, once attached
  std::deque<Notification> outbox;
};

extern Skype skype;

void Note(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Queues a notification to go out after delayMs from the stand-in's message
// loop. With synchronous delivery on, one without delay caused by a command
// goes out at once, from inside that command's WM_COPYDATA.
void Notify(os::HWND client, const std::string& text, os::DWORD delayMs = 0);
// The same for a notification about a call; a status is taken on when it
// goes out, and nothing goes out for a call that has ended meanwhile (nor,
// with onlyWhile, for one whose status has changed from it).
void NotifyCall(const Call& call, const std::string& text, const std::string& status, os::DWORD delayMs,
                const std::string& onlyWhile = "");
// Called when a status is taken on (by NotifyCall or at once).
void StatusTaken(Call& call);
// A secondary window of Skype's, closed by WM_CLOSE.
os::HWND OpenWindow(const char* className, const char* title);
// Tells the program the attach status, the way discovery answers.
void SendAttach(os::HWND client, os::LPARAM status);
// The user authorises the program that asked while authorisation was pending.
void Authorize();
// Broadcasts that Skype's API has become available (attach status 0x8001).
void AnnounceApi();
// The API goes away (the user signed out): the attached program is told
// attach status 3, and commands and discovery go unanswered until the API
// is announced again.
void WithdrawApi();

// A command over WM_COPYDATA; the result tells the sender it was taken.
os::LRESULT TakeCommand(os::HWND sender, const std::string& text);
void AnswerGet(const std::string& command);
void RunCue(const std::string& line);
// Alt+Page Down in the main window.
void HangUpHotKey();

// The call model (skype_calls.cpp), used by the commands.
bool IsEnded(const Call& call);
Call* CallById(int id);
Call* CurrentCall();
Call* LatestCall();
Call* RingingCall();
bool IsTelephoneNumber(const std::string& partner);
void PlaceCall(const std::string& target);
void AnswerRingingCall();
// The user's side ends the current call: a ringing call is refused, one not
// yet answered is cancelled, one in progress is finished.
void HangUpCurrent();
void RefuseOrCancelCurrent();
void SetStatus(Call& call, const std::string& status);
void StartDurationTicks();

}  // namespace standin_skype
