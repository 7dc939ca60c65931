// The stand-in Skype's state, shared by its window side (skype.cpp) and its
// command and call side (skype_calls.cpp). One stand-in runs per process.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/os_types.h"

namespace standin_skype {

enum class CallsMode { Answer, Route, Error };

struct Call {
  int id = 0;
  std::string partner;  // whom the call is with
  bool incoming = false;
  std::string status;  // ROUTING, RINGING, INPROGRESS, or how it ended
};

struct Notification {
  os::HWND client;
  std::string text;
};

struct Skype {
  std::string version = "8.1.0.2";
  std::string transcriptPath;
  std::string cuePath;
  std::vector<os::LPARAM> attachStatuses = {0};
  std::size_t discoveries = 0;
  std::size_t cueBytesDone = 0;
  CallsMode callsMode = CallsMode::Answer;
  std::string callError;
  bool answerPing = true;
  bool takeCommands = true;
  std::map<std::string, std::string> speedDial;
  std::vector<Call> calls;
  int nextCallId = 101;
  os::HWND main = nullptr;
  os::HWND api = nullptr;
  os::HWND answerPrompt = nullptr;
  os::HWND client = nullptr;  // the program's window, once attached
  std::deque<Notification> outbox;
};

extern Skype skype;

void Note(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Queues a notification; the queue goes out a moment later from the
// stand-in's message loop.
void Notify(os::HWND client, const std::string& text);
// A secondary window of Skype's, closed by WM_CLOSE.
os::HWND OpenWindow(const char* className, const char* title);

// A command over WM_COPYDATA; the result tells the sender it was taken.
os::LRESULT TakeCommand(os::HWND sender, const std::string& text);
void RunCue(const std::string& line);
// Alt+Page Down in the main window.
void HangUpHotKey();

}  // namespace standin_skype
