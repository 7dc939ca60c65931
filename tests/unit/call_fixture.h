// The program with the stand-in softphone on one simulated desktop, the
// adapter on its USB bus, and a recorder in Skype's place where a test
// wants one.
#pragma once

#include <string>
#include <vector>

#include "tests/unit/program_fixture.h"

class CallTest : public ProgramTest {
 protected:
  static constexpr const char* SOFTPHONE_EXE = "C:\\Program Files\\magic Jack\\magicJack.exe";
  static constexpr const char* TRANSCRIPT = "C:\\Program Files\\magic Jack\\softphone-transcript.txt";

  // The settings file of the adapter's serial "MJ00A1B2C3D4", which the
  // program keeps in lower case, with its digits mirrored.
  static constexpr const char* SETTINGS = "C:\\Program Files\\CorvaloPlugin\\CorvaloPlugin$mj99a8b7c6d5.ini";

  // Starts the softphone model with the given arguments.
  os::DWORD StartSoftphone(const std::string& arguments = "--version 2012.1");
  // Plugs the adapter in, starts the softphone and the program, and waits
  // until the program has found the adapter and read its serial.
  void StartOnBus(const std::string& softphoneArguments);
  // StartOnBus, then a second for the softphone to be hooked.
  void StartReady(const std::string& softphoneArguments = "--version 2012.1");
  // Plugs the adapter into the simulated bus (with the softphone, started
  // here if the test has not, holding it) and waits until the program
  // reports it; pulls it out and waits for the report of its loss.
  void PlugInAdapter();
  void UnplugAdapter();
  // A real handset key at the softphone, through the hook to the program.
  void Handset(unsigned code, os::DWORD settleMs = 10);
  // Digits as the handset sends them ('*' as its own code).
  void Dial(const std::string& keys);
  void RingSoftphone(bool large = false);
  void EndSoftphoneRing();
  // The softphone model's transcript.
  std::vector<std::string> Transcript() const;

  // The adapter's device path on the simulated bus, once plugged in.
  std::string adapterPath;
  os::DWORD softphone = 0;
};
