// The whole desktop the program lives on, reached only through its inputs:
// an adapter on the USB bus that the softphone holds, the softphone model,
// the Skype model (or none), and the program, which finds the adapter,
// reads its serial and attaches to Skype by itself.
#pragma once

#include <string>
#include <vector>

#include "tests/unit/skype_fixture.h"

class RulesTest : public SkypeTest {
 protected:
  // The settings file of the adapter's serial "MJ00A1B2C3D4", which the
  // program keeps in lower case, with its digits mirrored.
  static constexpr const char* ADAPTER_SETTINGS =
      "C:\\Program Files\\CorvaloPlugin\\CorvaloPlugin$mj99a8b7c6d5.ini";
  static constexpr const char* NO_SKYPE = "<none>";

  // Plugs in the adapter, starts Skype with these arguments (or not, with
  // NO_SKYPE), the softphone and the program, and waits until the adapter
  // is in use and, with Skype, until it is attached.
  void StartWithAdapter(const std::string& skypeArguments = "",
                        const std::string& softphoneArguments = "--version 2012.1");
  // The adapter's device path on the simulated bus, once plugged in.
  std::string adapterPath;
  // A sibling program's Call Status window showing this status record.
  void StartSibling(const std::string& title, const std::string& record);
  // Ids of the timer kills since the given number of timer events.
  std::vector<os::UINT_PTR> KillsSince(std::size_t count) const;
  // Whether the alert tone (0.5 s of 400 Hz, five times) was played.
  static bool AlertTonePlayed();
  // Index of the first transcript line equal to line at or after from, or -1.
  int TranscriptIndex(const std::string& line, int from = 0) const;
};
