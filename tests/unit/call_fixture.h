// The program with the stand-in softphone on one simulated desktop, the
// adapter present, and a recorder in Skype's place where a test wants one.
#pragma once

#include <string>
#include <vector>

#include "tests/unit/program_fixture.h"

class CallTest : public ProgramTest {
 protected:
  static constexpr const char* SOFTPHONE_EXE = "C:\\Program Files\\magic Jack\\magicJack.exe";
  static constexpr const char* TRANSCRIPT = "C:\\Program Files\\magic Jack\\softphone-transcript.txt";

  // Starts the softphone model with the given arguments.
  os::DWORD StartSoftphone(const std::string& arguments = "--version 2012.1");
  // Softphone and program, hooked, with the adapter arrived and ready.
  void StartReady(const std::string& softphoneArguments = "--version 2012.1");
  // The adapter thread's report of an adapter, as it posts it.
  void AdapterArrives();
  // A real handset key at the softphone, through the hook to the program.
  void Handset(unsigned code, os::DWORD settleMs = 10);
  // Digits as the handset sends them ('*' as its own code).
  void Dial(const std::string& keys);
  void RingSoftphone(bool large = false);
  void EndSoftphoneRing();
  // Puts a window of the test's own in Skype's place, attached.
  void AttachSkypeRecorder();
  std::vector<std::string> SkypeCommands() const;
  std::vector<std::string> Transcript() const;
  

  os::DWORD softphone = 0;
  os::DWORD skypeProcess = 0;
  os::HWND skypeRecorder = nullptr;
};
