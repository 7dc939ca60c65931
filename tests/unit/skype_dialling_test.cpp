// What a dialled star number becomes in Skype: the echo test, a telephone
// number in international form, a speed-dial slot, or only Skype's window.
#include "phonehook/hook_messages.h"
#include "shell/main_dialog.h"
#include "tests/unit/skype_fixture.h"

namespace {

struct Dialling {
  const char* keys;      // after "*", ended with "#"
  const char* commands;  // what Skype is sent, "|" between commands
};

// Slot 12 holds a Skype name with blanks around it, 13 a written-out
// number, 14 a foreign number, 15 only separators; slot 16 is empty.
constexpr const char* TABLE =
    "[SpeedDial]\r\nt12=  bob smith  \r\nt13=(800) 555-0100\r\nt14=+44 (20) 7946-0958\r\nt15=( ) -\r\n";

const Dialling CASES[] = {
    {"", "FOCUS"},
    {"*", "FOCUS"},
    {"0", "FOCUS|CALL echo123"},
    {"8005550100", "FOCUS|CALL +18005550100"},
    {"18005550100", "FOCUS|CALL +18005550100"},
    {"0123456789", "FOCUS|CALL +0123456789"},
    {"12", "FOCUS|CALL bob smith"},
    {"13", "FOCUS|CALL +18005550100"},
    {"14", "FOCUS|CALL +442079460958"},
    {"16", "FOCUS|CALL 16"},
    {"51", "FOCUS|CALL 51"},
    {"05", "FOCUS|CALL 05"},
    {"15", ""},
};

}  // namespace

TEST_F(SkypeTest, StarNumbersBecomeTheTargetsOfSkypeCalls) {
  desktop.WriteFile(SETTINGS, TABLE);
  StartAttached();
  for (const Dialling& dialling : CASES) {
    std::size_t before = SkypeLines("command").size();
    Handset(HANDSET_OFF_HOOK);
    Dial(std::string("*") + dialling.keys + "#");
    desktop.RunFor(1500);
    std::string sent;
    for (const std::string& command : CommandsSince(before)) {
      if (command.rfind("GET CALL", 0) == 0) break;  // Skype's call has begun
      sent += (sent.empty() ? "" : "|") + command;
    }
    EXPECT_EQ(sent, dialling.commands) << "dialled *" << dialling.keys;
    Handset(HANDSET_ON_HOOK, 3000);
  }
  // The rewritten number is what the log shows; separators alone are too few digits.
  EXPECT_TRUE(LastRecordOf("NotEnoughDigits").find("ct=2; cs=2; of=1; dn=;") != std::string::npos);
  EXPECT_EQ(StatusLine(), "Insufficient number of digits entered to place call.");
}

TEST_F(SkypeTest, CallPlacedWhileSkypeIsNotAttachedIsExplainedAndNothingIsSent) {
  StartSkype("--attach 2");
  StartReady();
  desktop.RunFor(2000);
  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(1000);
  EXPECT_EQ(
      StatusLine(),
      "You cannot place a Skype call until you authorize the CorvaloPlugin in the Skype dialer advanced "
      "options.");
  EXPECT_TRUE(LastRecordOf("NoSkypeAPI").find("dn=*0;") != std::string::npos);
  EXPECT_TRUE(SkypeLines("command").empty());
}
