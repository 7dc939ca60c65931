// Calls with the traffic a real Skype sends: UNPLACED before ROUTING, the
// far end's RINGING (reported more than once) or the network's EARLYMEDIA,
// VIDEO_STATUS and a DURATION every second, FAILUREREASON before FAILED,
// and the end statuses of calls that ring in and are not answered.
#include <algorithm>

#include "phonehook/hook_messages.h"
#include "tests/unit/skype_fixture.h"
#include "tests/unit/text_lines.h"

namespace {

using Lines = std::vector<std::string>;

// Where `first` comes before `second` among the notifications.
bool NotifiedInOrder(const Lines& notified, const std::string& first, const std::string& second) {
  auto a = std::find(notified.begin(), notified.end(), first);
  auto b = std::find(notified.begin(), notified.end(), second);
  return a != notified.end() && b != notified.end() && a < b;
}

class SkypeTrafficTest : public SkypeTest {
 protected:
  // Lifts the handset and dials keys, then lets `ms` pass.
  void Place(const std::string& keys, os::DWORD ms) {
    Handset(HANDSET_OFF_HOOK);
    Dial(keys);
    desktop.RunFor(ms);
  }

  // Commands since the given count, without the keep-alive's PINGs.
  Lines CallCommandsSince(std::size_t count) const {
    Lines commands = CommandsSince(count);
    commands.erase(std::remove(commands.begin(), commands.end(), "PING"), commands.end());
    return commands;
  }
};

}  // namespace

TEST_F(SkypeTrafficTest, CallToASpeedDialledSkypeNameRidesOutRingingVideoAndDurations) {
  desktop.WriteFile(SETTINGS, "[SpeedDial]\r\nn12=Alice\r\nt12= alice.w \r\n");
  StartAttached();
  std::size_t before = SkypeLines("command").size();
  Place("*12#", 3000);

  Lines notified = SkypeLines("notify");
  EXPECT_TRUE(NotifiedInOrder(notified, "CALL 101 STATUS UNPLACED", "CALL 101 STATUS ROUTING"));
  EXPECT_TRUE(NotifiedInOrder(notified, "CALL 101 STATUS ROUTING", "CALL 101 STATUS RINGING"));
  EXPECT_EQ(NotifiedCount("CALL 101 STATUS RINGING"), 2);
  EXPECT_TRUE(Contains(notified, "CALL 101 VIDEO_STATUS VIDEO_NONE"));
  EXPECT_TRUE(Contains(notified, "CALL 101 DURATION 1"));
  EXPECT_EQ(CommandsSince(before), (Lines{"FOCUS", "CALL alice.w", "GET CALL 101 TYPE"}));
  EXPECT_EQ(CountOf("CallRouting"), 1);
  EXPECT_EQ(CountOf("CallInProgress"), 1);
  EXPECT_EQ(CountOf("CallTypeP2P"), 1);
  EXPECT_TRUE(Has(LastRecordOf("CallInProgress"), "ct=2; cs=3; of=1; dn=alice.w;"));

  // Durations keep coming and change nothing; keys on a Skype-to-Skype
  // call are not tones.
  std::size_t records = LogRecords().size();
  Dial("5");
  desktop.RunFor(5000);
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 DURATION 5"));
  EXPECT_EQ(CommandsSince(before).size(), 3u);
  EXPECT_EQ(LogEvents().size(), records + 1);  // only "Digit5"
  EXPECT_TRUE(Has(RecordAsSiblingReadsIt(), "ct=2; cs=3; of=1;"));

  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS FINISHED"));
  EXPECT_TRUE(Has(RecordAsSiblingReadsIt(), "ct=0; cs=0; of=0;"));
  EXPECT_FALSE(SoundPlaying());
}

TEST_F(SkypeTrafficTest, EchoTestAnswersByItself) {
  StartAttached();
  std::size_t before = SkypeLines("command").size();
  Place("*0#", 2000);
  EXPECT_EQ(CommandsSince(before), (Lines{"FOCUS", "CALL echo123", "GET CALL 101 TYPE"}));
  EXPECT_TRUE(Has(LastRecordOf("CallInProgress"), "ct=2; cs=3; of=1; dn=echo123;"));
  EXPECT_EQ(CountOf("CallTypeP2P"), 1);
}

// With the option on, a key on a telephone call goes to Skype as a tone,
// with the microphone muted until 1.5 s after it; Skype only takes a tone
// on a call in progress.
TEST_F(SkypeTrafficTest, PinDigitsOnATelephoneCallGoOnAsTonesWithTheOptionOn) {
  desktop.WriteFile(SETTINGS, "[Options]\r\nAllowPinDialing=1\r\n");
  StartAttached();
  Place("*8005550100#", 1000);
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS EARLYMEDIA"));
  EXPECT_EQ(CountOf("CallInProgress"), 0);
  std::size_t before = SkypeLines("command").size();
  Dial("9");  // before the far end answers: not yet known as a telephone call
  EXPECT_EQ(CommandsSince(before), Lines{});

  desktop.RunFor(1500);
  EXPECT_EQ(CountOf("CallTypePSTN"), 1);
  before = SkypeLines("command").size();
  Dial("4");
  desktop.RunFor(1000);
  Dial("2");
  EXPECT_EQ(CommandsSince(before), (Lines{"SET MUTE ON", "SET CALL 101 DTMF 4", "SET CALL 101 DTMF 2"}));
  desktop.RunFor(1400);  // the microphone stays muted until 1.5 s after the last key
  EXPECT_FALSE(Contains(CommandsSince(before), "SET MUTE OFF"));
  desktop.RunFor(200);
  EXPECT_EQ(CommandsSince(before).back(), "SET MUTE OFF");
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 DTMF 2"));
  EXPECT_EQ(CountOf("SendOutOfBandDTMF"), 2);
}

// "*#" only brings Skype up; a telephone call then placed in Skype's window
// keeps the keys on the phone even with the option on.
TEST_F(SkypeTrafficTest, NoPinDigitsForACallPlacedInSkypesWindowAfterStarHash) {
  desktop.WriteFile(SETTINGS, "[Options]\r\nAllowPinDialing=1\r\n");
  StartAttached();
  Handset(HANDSET_OFF_HOOK);
  Dial("*#");
  desktop.RunFor(1000);
  Cue("manual +18005550100", 1000);
  Cue("answer", 1000);
  EXPECT_EQ(CountOf("CallTypePSTN"), 1);
  EXPECT_TRUE(Has(LastRecordOf("CallInProgress"), "ct=2; cs=3; of=1; dn=*;"));
  std::size_t before = SkypeLines("command").size();
  Dial("42");
  desktop.RunFor(2000);
  EXPECT_EQ(CommandsSince(before), Lines{});
  EXPECT_EQ(CountOf("SendOutOfBandDTMF"), 0);
}

TEST_F(SkypeTrafficTest, HangingUpWhileTheCallRoutesCancelsItInSkype) {
  StartAttached();
  Cue("calls route");
  Place("*8005550100#", 1500);
  EXPECT_TRUE(Has(LastRecordOf("CallRouting"), "ct=2; cs=2; of=1;"));
  std::size_t before = SkypeLines("command").size();
  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_EQ(CommandsSince(before),
            (Lines{"FOCUS", "BTN_PRESSED NO", "BTN_RELEASED NO", "HOOK ON", "MINIMIZE"}));
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS CANCELLED"));
  EXPECT_TRUE(Has(LogRecords().back(), "ct=0; cs=0; of=0;"));
  EXPECT_FALSE(SoundPlaying());
  EXPECT_EQ(desktop.TrayIcons()[0].tip, "CorvaloPlugin (Ready)");
}

// The reason comes before the status; the user hears the alert tone and the
// call stays in hand until the handset goes down.
TEST_F(SkypeTrafficTest, FailureWithAReasonPlaysTheAlertToneUntilTheHandsetGoesDown) {
  StartAttached();
  Cue("calls fail 3");
  Place("*8005550177#", 2000);
  EXPECT_TRUE(NotifiedInOrder(SkypeLines("notify"), "CALL 101 FAILUREREASON 3", "CALL 101 STATUS FAILED"));
  EXPECT_TRUE(Has(LastRecordOf("CallDisconnected"), "ct=2; cs=2; of=1;"));
  EXPECT_EQ(CountOf("DialingError"), 0);  // the call had an id: its end status tells
  EXPECT_TRUE(SoundPlaying());
  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_FALSE(SoundPlaying());
  EXPECT_TRUE(Has(LogRecords().back(), "ct=0; cs=0; of=0;"));
}

TEST_F(SkypeTrafficTest, BusyLineEndsTheCallLikeAFailure) {
  StartAttached();
  Cue("calls busy");
  Place("*0#", 2000);
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS BUSY"));
  EXPECT_TRUE(Has(LastRecordOf("CallDisconnected"), "ct=2; cs=2; of=1;"));
  EXPECT_TRUE(SoundPlaying());
}

TEST_F(SkypeTrafficTest, RepeatedStatusesOfACallRingingInAreTakenOnce) {
  StartAttached();
  Cue("repeat on");
  std::size_t before = SkypeLines("command").size();
  Cue("ring bob", 3000);
  EXPECT_EQ(NotifiedCount("CALL 101 STATUS RINGING"), 2);
  EXPECT_EQ(CountOf("IncomingSkypeCall"), 1);
  EXPECT_EQ(CommandsSince(before), (Lines{"GET CALL 101 PARTNER_HANDLE", "GET USER bob SPEEDDIAL"}));
  Handset(HANDSET_OFF_HOOK, 5000);
  EXPECT_EQ(NotifiedCount("CALL 101 STATUS INPROGRESS"), 1);  // answered by us: Skype says it once
  EXPECT_TRUE(Has(RecordAsSiblingReadsIt(), "ct=2; cs=3; of=1;"));
  Cue("end FINISHED", 1000);
  EXPECT_EQ(NotifiedCount("CALL 101 STATUS FINISHED"), 2);
  EXPECT_EQ(CountOf("CallDisconnected"), 2);
  EXPECT_TRUE(Has(LastRecordOf("CallDisconnected"), "ct=2; cs=3; of=1;"));
  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_TRUE(Has(RecordAsSiblingReadsIt(), "ct=0; cs=0; of=0;"));
}

TEST_F(SkypeTrafficTest, IncomingCallThatFailsStopsTheRinging) {
  StartAttached();
  Cue("ring +15550100", 3000);
  Cue("fail 2", 3000);  // the caller's identification may hold the program up to 2 s
  EXPECT_TRUE(NotifiedInOrder(SkypeLines("notify"), "CALL 101 FAILUREREASON 2", "CALL 101 STATUS FAILED"));
  EXPECT_TRUE(Has(LastRecordOf("CallDisconnected"), "ct=0; cs=0; of=0;"));
  int rings = CountOf("RingOn(Skype)");
  desktop.RunFor(8000);
  EXPECT_EQ(CountOf("RingOn(Skype)"), rings);
}
