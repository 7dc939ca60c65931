// Rules of the call state machine that no other test would miss if they
// changed: the no-answer release, the end statuses and their timer kills,
// the PIN option, the placement steps around the softphone, the alert tone
// on each placement failure, the guards on Skype's notifications, and what
// hanging up sends and closes. Every state is reached through the handset,
// Skype's notifications or the passing of time.
#include <algorithm>

#include "phonehook/hook_messages.h"
#include "platform/sim/audio_controls.h"
#include "shell/main_dialog.h"
#include "tests/unit/rules_fixture.h"
#include "tests/unit/text_lines.h"

namespace {

using Lines = std::vector<std::string>;

// Whether the ids appear one right after the other in the list.
bool InOrder(const std::vector<os::UINT_PTR>& ids, const std::vector<os::UINT_PTR>& run) {
  return std::search(ids.begin(), ids.end(), run.begin(), run.end()) != ids.end();
}

}  // namespace

// A second call rang in meanwhile and was left to Skype, so Skype's hang-up
// ends that one and reports no end of the released call: the release itself
// leaves the record a sibling reads showing no ringing call.
TEST_F(RulesTest, TheNoAnswerReleaseLeavesAnIdleRecordWhenSkypeReportsNoEnd) {
  StartWithAdapter();
  Cue("ring bob", 20);
  desktop.RunFor(60000);
  Cue("ring carol", 20);
  desktop.RunFor(62000);
  ASSERT_EQ(CountOf("NoAnswerTimeout"), 1);
  EXPECT_TRUE(Has(RecordAsSiblingReadsIt(), "st=CallDisconnected; ct=0; cs=0; of=0;")) << RecordAsSiblingReadsIt();
}

TEST_F(RulesTest, UnansweredCallIsReleasedAfterTwoMinutesAndTheNextOneIsTaken) {
  StartWithAdapter();
  Cue("ring bob", 20);
  desktop.RunFor(119000);
  EXPECT_EQ(CountOf("NoAnswerTimeout"), 0);
  std::size_t before = SkypeLines("command").size();
  desktop.RunFor(1500);
  EXPECT_EQ(CountOf("NoAnswerTimeout"), 1);
  EXPECT_TRUE(Has(LastRecordOf("NoAnswerTimeout"), "ct=2; cs=4; of=0;"));
  Lines sent = CommandsSince(before);
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(Lines(sent.begin(), sent.begin() + 2), (Lines{"FOCUS", "HOOK ON"}));
  int rings = CountOf("RingOn(Skype)");
  desktop.RunFor(10000);
  EXPECT_EQ(CountOf("RingOn(Skype)"), rings);  // the ringing stays off
  EXPECT_EQ(CommandsSince(before)[2], "MINIMIZE");
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS REFUSED"));
  EXPECT_TRUE(Has(RecordAsSiblingReadsIt(), "ct=0; cs=0; of=0;"));

  Cue("ring carol", 20);
  EXPECT_TRUE(Has(LastRecordOf("IncomingSkypeCall"), "ct=2; cs=4; of=0;"));
  EXPECT_TRUE(Contains(SkypeLines("command"), "GET CALL 102 PARTNER_HANDLE"));
}

class EndStatusTest : public RulesTest, public ::testing::WithParamInterface<const char*> {};

// A ringing call is released at once; a placed one stays in hand with the
// alert tone until the handset goes down.
TEST_P(EndStatusTest, EndStatusEndsARingingOrAPlacedCallKillingTimers9_5_4_3InThatOrder) {
  const std::string status = GetParam();
  StartWithAdapter();
  Cue("ring bob", 20);
  std::size_t timerEvents = desktop.TimerEvents().size();
  Cue("end " + status, 2000);
  EXPECT_EQ(CountOf("CallDisconnected"), 1);
  EXPECT_TRUE(Has(LastRecordOf("CallDisconnected"), "ct=0; cs=0; of=0;"));
  EXPECT_TRUE(InOrder(KillsSince(timerEvents), {9, 5, 4, 3}));

  Cue("calls route");
  Handset(HANDSET_OFF_HOOK);
  Dial("*8005550100#");
  desktop.RunFor(1000);
  ASSERT_TRUE(Has(RecordAsSiblingReadsIt(), "ct=2; cs=2; of=1;"));
  timerEvents = desktop.TimerEvents().size();
  sim::ClearAudioRecords();
  Cue("end " + status, 200);
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 102 STATUS " + status));
  EXPECT_EQ(CountOf("CallDisconnected"), 2);
  EXPECT_TRUE(SoundPlaying());
  EXPECT_TRUE(InOrder(KillsSince(timerEvents), {9, 5, 4, 3}));
  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_TRUE(Has(RecordAsSiblingReadsIt(), "ct=0; cs=0; of=0;"));
}

INSTANTIATE_TEST_SUITE_P(EachEnd, EndStatusTest,
                         ::testing::Values("FINISHED", "MISSED", "REFUSED", "BUSY", "CANCELLED", "FAILED"));

class PinOptionTest : public RulesTest, public ::testing::WithParamInterface<const char*> {};

// Only the value 1 lets digits go on as tones; the option is read from the
// settings file of the adapter's serial, whose digits are mirrored.
TEST_P(PinOptionTest, DigitsDuringATelephoneCallGoOnAsTonesOnlyWithTheOptionAtOne) {
  std::string value = GetParam();
  desktop.WriteFile(SETTINGS, "[Options]\r\nAllowPinDialing=" + value + "\r\n");
  StartWithAdapter();
  Handset(HANDSET_OFF_HOOK);
  Dial("*8005550100#");
  desktop.RunFor(2000);
  ASSERT_EQ(CountOf("CallTypePSTN"), 1);
  std::size_t before = SkypeLines("command").size();
  Dial("5");
  desktop.RunFor(2000);
  if (value == "1") {
    EXPECT_EQ(CountOf("AllowPinDialingOn"), 1);
    EXPECT_EQ(CommandsSince(before), (Lines{"SET MUTE ON", "SET CALL 101 DTMF 5", "SET MUTE OFF"}));
  } else {
    EXPECT_EQ(CountOf("AllowPinDialingOff"), 1);
    EXPECT_EQ(CommandsSince(before), Lines{});
  }
  EXPECT_EQ(CountOf("SendOutOfBandDTMF"), value == "1" ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Values, PinOptionTest, ::testing::Values("0", "2", "1"));

// The softphone is put on hook, its number box marked, and its dialer
// closed, in that order, whether or not the call can be placed.
TEST_F(RulesTest, PlacingACallReleasesTheSoftphoneMarksItsBoxAndClosesItsDialer) {
  StartWithAdapter();
  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(2000);
  ASSERT_TRUE(Contains(SkypeLines("command"), "CALL echo123"));
  // The posted on-hook key reaches the softphone after the sent text.
  int inject = TranscriptIndex("inject 0x8F");
  int mark = TranscriptIndex("edit Special Call");
  int close = TranscriptIndex("sysclose");
  ASSERT_GE(inject, 0);
  ASSERT_GE(mark, 0);
  EXPECT_GT(close, mark);
  EXPECT_GT(close, inject);
}

TEST_F(RulesTest, ACallThatCannotBePlacedStillReleasesTheSoftphoneAndClosesItsDialer) {
  StartWithAdapter(NO_SKYPE);
  Handset(HANDSET_OFF_HOOK);
  Dial("*5#");
  desktop.RunFor(2000);
  ASSERT_EQ(CountOf("NoSkypeRunning"), 1);
  int inject = TranscriptIndex("inject 0x8F");
  int mark = TranscriptIndex("edit Special Call");
  ASSERT_GE(inject, 0);
  ASSERT_GE(mark, 0);
  EXPECT_GT(TranscriptIndex("sysclose"), mark);
  EXPECT_GT(TranscriptIndex("sysclose"), inject);
}

TEST_F(RulesTest, NoSkypeRunningPlaysTheAlertTone) {
  StartWithAdapter(NO_SKYPE);
  Handset(HANDSET_OFF_HOOK);
  sim::ClearAudioRecords();
  Dial("*5#");
  desktop.RunFor(1000);
  ASSERT_EQ(CountOf("NoSkypeRunning"), 1);
  EXPECT_TRUE(AlertTonePlayed());
}

TEST_F(RulesTest, NoSkypeApiPlaysTheAlertTone) {
  StartWithAdapter("--attach 2");  // Skype runs but refuses the program
  Handset(HANDSET_OFF_HOOK);
  sim::ClearAudioRecords();
  Dial("*5#");
  desktop.RunFor(1000);
  ASSERT_EQ(CountOf("NoSkypeAPI"), 1);
  EXPECT_TRUE(AlertTonePlayed());
}

TEST_F(RulesTest, NotEnoughDigitsPlaysTheAlertTone) {
  desktop.WriteFile(SETTINGS, "[SpeedDial]\r\nt3=( ) -\r\n");
  StartWithAdapter();
  Handset(HANDSET_OFF_HOOK);
  sim::ClearAudioRecords();
  Dial("*3#");
  desktop.RunFor(1000);
  ASSERT_EQ(CountOf("NotEnoughDigits"), 1);
  EXPECT_TRUE(AlertTonePlayed());
}

TEST_F(RulesTest, ASiblingWhoseCallRingsIsBusyAndTheSkypeCallIsRefused) {
  StartWithAdapter();
  StartSibling("TesselbayPlugin - Call Status", "st=IncomingSkypeCall; ct=2; cs=4; of=0;");
  Cue("ring carol", 5000);
  EXPECT_EQ(CountOf("IncomingSkypeCall"), 0);
  EXPECT_TRUE(Contains(SkypeLines("command"), "BTN_RELEASED NO"));
}

TEST_F(RulesTest, ASkypeCallRingingInWhileTheSoftphoneRingsIsRefused) {
  StartWithAdapter();
  RingSoftphone();
  desktop.RunFor(1100);
  ASSERT_EQ(CountOf("IncomingCall"), 1);
  std::size_t before = SkypeLines("command").size();
  Cue("ring carol", 5000);
  EXPECT_EQ(CountOf("IncomingSkypeCall"), 0);
  Lines sent = CommandsSince(before);
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(Lines(sent.begin(), sent.begin() + 2), (Lines{"BTN_PRESSED NO", "BTN_RELEASED NO"}));
}

// Voice mail takes the handset only off hook, on the Skype line, before the
// call has an id.
TEST_F(RulesTest, VoicemailIsTakenOnlyOffHookOnTheSkypeLineWithoutACallId) {
  StartWithAdapter();
  Cue("notify VOICEMAIL 7 STATUS PLAYING");  // idle, on hook
  Handset(HANDSET_OFF_HOOK);
  Cue("notify VOICEMAIL 7 STATUS PLAYING");  // dialling on the softphone line
  EXPECT_EQ(CountOf("PlayingVoiceMail"), 0);

  Cue("calls error 71 Invalid");  // the call stays on the Skype line without an id
  Dial("*5#");
  desktop.RunFor(1000);
  ASSERT_EQ(CountOf("DialingError"), 1);
  Cue("notify VOICEMAIL 7 STATUS PLAYING");
  EXPECT_EQ(CountOf("PlayingVoiceMail"), 1);
}

TEST_F(RulesTest, VoicemailIsIgnoredOnceTheCallHasAnId) {
  StartWithAdapter();
  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(2000);
  ASSERT_EQ(theMainWindow->skypeCallId, 101);
  Cue("notify VOICEMAIL 7 STATUS PLAYING");
  EXPECT_EQ(CountOf("PlayingVoiceMail"), 0);
}

// An error is the placed call's only while it is being placed on the Skype
// line and has no id yet.
TEST_F(RulesTest, AnErrorIsShownOnlyWhilePlacingOnTheSkypeLine) {
  StartWithAdapter();
  Cue("notify ERROR 68 Access denied");  // idle
  Handset(HANDSET_OFF_HOOK);
  Cue("notify ERROR 68 Access denied");  // dialling on the softphone line
  Dial("5");
  desktop.RunFor(3500);  // a number for the softphone: state 2 on line 1
  ASSERT_TRUE(Has(LastRecordOf("AllDigitsPresent"), "ct=1; cs=2;"));
  Cue("notify ERROR 68 Access denied");
  EXPECT_EQ(CountOf("DialingError"), 0);
}

// Hanging up an answered call minimises Skype without closing the
// softphone's dialer a second time; hanging up while the call is still
// being placed closes it from the Skype side too.
TEST_F(RulesTest, HangingUpAnAnsweredCallClosesTheSoftphonesDialerOnce) {
  StartWithAdapter();
  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(2000);
  ASSERT_TRUE(Has(LastRecordOf("CallInProgress"), "cs=3;"));
  int reads = CountOf("AutoMinimizeDialerOn");
  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_EQ(CountOf("AutoMinimizeDialerOn") - reads, 2);  // line 1, then line 2 alone
}

TEST_F(RulesTest, HangingUpWhilePlacingPressesNoAndClosesTheDialerFromBothSides) {
  StartWithAdapter();
  Cue("calls route");
  Handset(HANDSET_OFF_HOOK);
  Dial("*5551234#");  // the echo test answers by itself
  desktop.RunFor(2000);
  ASSERT_TRUE(Has(LastRecordOf("CallRouting"), "ct=2; cs=2;"));
  int reads = CountOf("AutoMinimizeDialerOn");
  std::size_t before = SkypeLines("command").size();
  Handset(HANDSET_ON_HOOK, 3000);
  Lines sent = CommandsSince(before);
  ASSERT_GE(sent.size(), 4u);
  EXPECT_EQ(Lines(sent.begin(), sent.begin() + 4), (Lines{"FOCUS", "BTN_PRESSED NO", "BTN_RELEASED NO", "HOOK ON"}));
  EXPECT_EQ(CountOf("AutoMinimizeDialerOn") - reads, 3);  // line 1; line 2 and its line 1
}
