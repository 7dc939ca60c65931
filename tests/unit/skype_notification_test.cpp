// Skype's notifications one by one: how a partner becomes the caller shown
// on the phone, which notifications a call in hand ignores, and how the
// words of a notification are taken apart.
#include "phonehook/hook_messages.h"
#include "shell/main_dialog.h"
#include "skype/notification_tokens.h"
#include "tests/unit/skype_fixture.h"
#include "tests/unit/text_lines.h"

namespace {

NotificationTokens Split(const std::string& text) { return SplitNotification(text.data(), text.size()); }

}  // namespace

class PartnerTest : public SkypeTest {
 protected:
  void SetUp() override {
    desktop.WriteFile(SETTINGS,
                      "[SpeedDial]\r\nn3=Bobby Tables\r\nt3=bobby\r\nn7=Bob Smith\r\nt7=bob\r\n"
                      "t8=carol\r\nn9=Dan\r\nt9=+1 (800) 555-0100\r\n");
    StartAttached();
  }
  // The caller as the record shows it.
  std::string Caller() const {
    return "cn=" + theMainWindow->callerName + "; ci=" + theMainWindow->callerNumber + ";";
  }
};

TEST_F(PartnerTest, SkypeNameInTheTableShowsThePersonsNameAndTheSlot) {
  Cue("notify CALL 5 PARTNER_HANDLE bob");
  // The slot is the one holding exactly bob; the name that of the first
  // slot whose alias contains it.
  EXPECT_EQ(Caller(), "cn=(S)Bobby Tables; ci=7;");
  EXPECT_EQ(theMainWindow->callerIdPending, 1);
  Cue("notify CALL 5 PARTNER_HANDLE carol");
  EXPECT_EQ(Caller(), "cn=(S)carol; ci=8;");  // a slot without a person's name
}

TEST_F(PartnerTest, UnknownSkypeNameIsAskedForItsSpeedDialAndTheAnswerTaken) {
  Cue("speeddial erin 12");
  Cue("notify CALL 5 PARTNER_HANDLE erin", 100);
  EXPECT_EQ(SkypeLines("command").back(), "GET USER erin SPEEDDIAL");
  EXPECT_EQ(Caller(), "cn=(S)erin; ci=12;");
  Cue("notify USER mallory SPEEDDIAL 40");  // not the partner asked about
  EXPECT_EQ(Caller(), "cn=(S)erin; ci=12;");
  Cue("notify CALL 5 PARTNER_HANDLE frank", 100);  // nothing in Skype either
  EXPECT_EQ(Caller(), "cn=(S)frank; ci=0;");
}

TEST_F(PartnerTest, TelephoneNumbersAreLookedUpByTheirDigits) {
  Cue("notify CALL 5 PARTNER_HANDLE 8005550100");
  EXPECT_EQ(Caller(), "cn=(S)Dan; ci=8005550100;");
  Cue("notify CALL 5 PARTNER_HANDLE 4471234");
  EXPECT_EQ(Caller(), "cn=(S)unknown; ci=4471234;");
  // A plus is no digit: the handle is taken as a Skype name, and the slot
  // found keeps its plus.
  std::size_t commands = SkypeLines("command").size();
  Cue("notify CALL 5 PARTNER_HANDLE +18005550100");
  EXPECT_EQ(Caller(), "cn=(S)Dan; ci=9;");
  EXPECT_EQ(SkypeLines("command").size(), commands);
}

TEST_F(PartnerTest, LongHandleIsCutAndAnEmptyOneClearsTheCaller) {
  Cue("notify CALL 5 PARTNER_HANDLE " + std::string(300, 'x') + " trailing");
  EXPECT_EQ(theMainWindow->callerName, "(S)" + std::string(255, 'x'));
  Cue("notify CALL 5 PARTNER_HANDLE");
  EXPECT_EQ(theMainWindow->callerName, "");
}

// A call whose partner Skype names with an empty handle rings without
// caller identification; the next caller with a handle gets one.
TEST_F(PartnerTest, ACallerWithoutAHandleRingsWithoutCallerIdentification) {
  Cue("ring", 7000);  // the first burst and its pause
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 PARTNER_HANDLE "));
  EXPECT_GE(CountOf("RingOn(Skype)"), 1);
  EXPECT_EQ(CountOf("SendCallerid"), 0);
  Cue("end MISSED", 1000);

  Cue("ring bob", 7000);
  EXPECT_EQ(CountOf("SendCallerid"), 1);
}

TEST_F(SkypeTest, CallInHandIgnoresNotificationsAboutOtherCalls) {
  StartAttached();
  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(2000);
  ASSERT_EQ(theMainWindow->skypeCallId, 101);
  for (const char* other : {"CALL 102 STATUS FINISHED", "CALL 0102x STATUS FAILED",
                            "CALL 102 TYPE OUTGOING_PSTN", "CALL STATUS BUSY", "call 101 status finished"})
    Cue(std::string("notify ") + other);
  EXPECT_EQ(CountOf("CallDisconnected"), 0);
  EXPECT_EQ(theMainWindow->pinDialling, 0);
  EXPECT_TRUE(Has(LogRecords().back(), "ct=2; cs=3; of=1;"));
  Cue("notify CALL +101 STATUS BUSY");  // a sign before the digits still names the call
  EXPECT_EQ(CountOf("CallDisconnected"), 1);
}

TEST_F(SkypeTest, VoicemailPlayingTakesTheHandsetWhileNoCallHasAnId) {
  StartAttached();
  Handset(HANDSET_OFF_HOOK);
  Dial("*#");  // only brings Skype up: the Skype line, and no call id
  desktop.RunFor(1000);
  Cue("notify VOICEMAIL 4 STATUS PLAYING", 500);
  EXPECT_TRUE(Has(LastRecordOf("PlayingVoiceMail"), "ct=2; cs=2; of=1;"));
}

TEST(NotificationTokens, WordsAreSplitAtAnyWhiteSpaceAndBoundedInLength) {
  NotificationTokens words = Split("CALL\t12  STATUS\r\nRINGING and more");
  EXPECT_EQ(words.token[0], "CALL");
  EXPECT_EQ(words.token[1], "12");
  EXPECT_EQ(words.token[2], "STATUS");
  EXPECT_EQ(words.token[3], "RINGING");

  words = Split("USER " + std::string(400, 'n') + " SPEEDDIAL 7");
  EXPECT_EQ(words.token[1], std::string(255, 'n'));
  EXPECT_EQ(words.token[2], "SPEEDDIAL");  // the rest of the long word is not a word of its own
  EXPECT_EQ(words.token[3], "7");

  words = Split("PONG");
  EXPECT_EQ(words.token[1], "");
  std::string unterminated = "SKYPEVERSION 8.1-and-beyond";
  EXPECT_EQ(SplitNotification(unterminated.data(), 16).token[1], "8.1");
  EXPECT_EQ(SplitNotification(nullptr, 10).token[0], "");
}
