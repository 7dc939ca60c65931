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
  static constexpr const char* NO_SKYPE = "<none>";

  // StartAttached, or StartReady with NO_SKYPE.
  void StartWithAdapter(const std::string& skypeArguments = "",
                        const std::string& softphoneArguments = "--version 2012.1");
  // A sibling program's Call Status window showing this status record.
  void StartSibling(const std::string& title, const std::string& record);
  // Ids of the timer kills since the given number of timer events.
  std::vector<os::UINT_PTR> KillsSince(std::size_t count) const;
  // Whether the alert tone (0.5 s of 400 Hz, five times) was played.
  static bool AlertTonePlayed();
  // Index of the first transcript line equal to line at or after from, or -1.
  int TranscriptIndex(const std::string& line, int from = 0) const;
};
