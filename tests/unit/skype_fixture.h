// The program, the softphone model and the Skype model on one simulated
// desktop, with the adapter present: Skype's side of every exchange is the
// stand-in's transcript.
#pragma once

#include <string>
#include <vector>

#include "tests/unit/call_fixture.h"

class SkypeTest : public CallTest {
 protected:
  static constexpr const char* SKYPE_EXE = "C:\\Program Files\\Skype\\Skype.exe";
  static constexpr const char* SKYPE_TRANSCRIPT = "C:\\Program Files\\Skype\\skype-transcript.txt";
  static constexpr const char* SKYPE_CUES = "C:\\Program Files\\Skype\\skype-cues.txt";

  os::DWORD StartSkype(const std::string& arguments = "");
  // Skype, then StartOnBus; waits until Skype is attached (unless its
  // arguments say how it answers with --attach) and a second more.
  void StartAttached(const std::string& skypeArguments = "",
                     const std::string& softphoneArguments = "--version 2012.1");
  // Appends a cue line for the Skype model and lets it act on it.
  void Cue(const std::string& line, os::DWORD settleMs = 50);
  // The Skype model's transcript, and the texts of its lines of one kind
  // ("command", "notify", ...), in order.
  std::vector<std::string> SkypeTranscript() const;
  std::vector<std::string> SkypeLines(const std::string& kind) const;
  // Commands received since the given number of them.
  std::vector<std::string> CommandsSince(std::size_t count) const;
  bool Attached() const;
  std::string StatusLine() const;
  bool TimerStarted(os::UINT_PTR id, os::UINT period) const;
  // Whether a sound still plays on the adapter's output (the alert tone).
  bool SoundPlaying() const;
  // What the program sends Skype on attaching: the protocol, the audio
  // devices named `in` and `out` (each plain, then with " (2)" and " (3)"),
  // then the version question.
  static std::vector<std::string> AttachCommands(const std::string& in, const std::string& out);
  // How many of Skype's notifications so far are exactly `text`.
  int NotifiedCount(const std::string& text) const;

  os::DWORD skype = 0;
};
