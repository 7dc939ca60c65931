// The link with the Skype model's real API traffic: an attach that waits
// for the user's authorisation, what Skype says unasked after attaching,
// the API-available broadcast, the errors for audio devices Skype does not
// know, a busy Skype that answers from inside the program's own send, and
// a record whose length leaves out its terminating NUL.
#include <algorithm>
#include <cstring>

#include "phonehook/hook_messages.h"
#include "platform/os_window.h"
#include "platform/sim/audio_controls.h"
#include "shell/main_dialog.h"
#include "tests/unit/skype_fixture.h"
#include "tests/unit/text_lines.h"

namespace {

using Lines = std::vector<std::string>;

class SkypeApiTrafficTest : public SkypeTest {
 protected:
  // The adapter's devices set up below, as the program names them to Skype.
  const Lines attachCommands = AttachCommands("Microphone (USB Audio Device)", "Speakers (USB Audio Device)");
  SkypeApiTrafficTest() {
    sim::SetWaveOutDevices({"Speakers", "Speakers (USB Audio Device)"});
    sim::SetWaveInDevices({"Microphone", "Microphone (USB Audio Device)"});
  }

  // Sends a record to Skype's API window from a thread of the program, as
  // the program's window; cbData is the text's length plus `extra`.
  os::LRESULT SendRecord(const std::string& text, int extra) {
    os::LRESULT result = -1;
    std::string data = text;
    desktop.RunInProcess(program, [&] {
      os::COPYDATASTRUCT record = {0, static_cast<os::DWORD>(data.size() + extra), &data[0]};
      result = os::SendMessageA(theMainWindow->skypeApiWindow, os::WM_COPYDATA,
                                reinterpret_cast<os::WPARAM>(MainWindow()),
                                reinterpret_cast<os::LPARAM>(&record));
    });
    return result;
  }
};

}  // namespace

// Status 1 leaves the program waiting; nothing is sent until the user
// authorises it, and what Skype then says unasked changes nothing.
TEST_F(SkypeApiTrafficTest, AttachWaitsForTheUsersAuthorisation) {
  StartSkype("--attach 1");
  StartReady();
  desktop.RunFor(4000);
  EXPECT_GE(SkypeLines("attach").size(), 3u);
  EXPECT_EQ(SkypeLines("attach").back(), "0x1");
  EXPECT_EQ(SkypeLines("command"), Lines{});
  EXPECT_EQ(desktop.TrayIcons()[0].tip, "CorvaloPlugin (Start Skype and authorize CorvaloPlugin access)");

  Cue("authorize", 2000);
  EXPECT_EQ(CountOf("SkypeAttached"), 1);
  EXPECT_EQ(SkypeLines("command"), attachCommands);
  for (const char* told : {"CONNSTATUS ONLINE", "CURRENTUSERHANDLE corvalo.tester", "USERSTATUS ONLINE"})
    EXPECT_TRUE(Contains(SkypeLines("notify"), told)) << told;
  EXPECT_EQ(desktop.TrayIcons()[0].tip, "CorvaloPlugin (Ready)");
  EXPECT_TRUE(Has(RecordAsSiblingReadsIt(), "ct=1; cs=0; of=0; dn=; cn=; ci=;"));
}

// Skype knows the adapter by its name without the " (2)" and " (3)"
// forms; its errors for those are not a failed call.
TEST_F(SkypeApiTrafficTest, AudioDevicesSkypeDoesNotKnowAreRefusedAndChangeNothing) {
  StartAttached();
  Lines notified = SkypeLines("notify");
  EXPECT_TRUE(Contains(notified, "AUDIO_IN Microphone (USB Audio Device)"));
  EXPECT_TRUE(Contains(notified, "AUDIO_OUT Speakers (USB Audio Device)"));
  EXPECT_EQ(NotifiedCount("ERROR 50 cannot set device"), 4);
  EXPECT_EQ(CountOf("DialingError"), 0);
  EXPECT_EQ(StatusLine(), "");
}

// Only Skype's window was brought up ("*" and "#"): no call was asked
// for, so the device errors of a new attach are no failed call either.
TEST_F(SkypeApiTrafficTest, DeviceErrorsOfANewAttachAreNoFailedCall) {
  StartAttached();
  Handset(HANDSET_OFF_HOOK);
  Dial("*#");
  desktop.RunFor(1000);
  EXPECT_TRUE(Has(RecordAsSiblingReadsIt(), "ct=2; cs=2; of=1; dn=*;"));
  Cue("available", 2000);
  EXPECT_EQ(CountOf("SkypeAttached"), 2);
  EXPECT_EQ(NotifiedCount("ERROR 50 cannot set device"), 8);
  EXPECT_EQ(CountOf("DialingError"), 0);
  EXPECT_EQ(StatusLine(), "");
  EXPECT_FALSE(SoundPlaying());
}

// Skype announces its API anew during a call: the program attaches again,
// asks how the call it holds stands, and the call stays in hand.
TEST_F(SkypeApiTrafficTest, ApiAvailableBroadcastDuringACallKeepsTheCall) {
  StartAttached();
  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(2000);
  ASSERT_TRUE(Has(RecordAsSiblingReadsIt(), "ct=2; cs=3; of=1;"));
  std::size_t before = SkypeLines("command").size();
  Cue("available", 2000);
  EXPECT_EQ(SkypeLines("available").size(), 1u);
  EXPECT_EQ(CountOf("SkypeAttached"), 2);
  Lines expected = attachCommands;
  expected.push_back("GET CALL 101 STATUS");
  expected.push_back("GET CALL 101 TYPE");  // Skype's INPROGRESS answer is taken as ever
  EXPECT_EQ(CommandsSince(before), expected);
  EXPECT_TRUE(Has(RecordAsSiblingReadsIt(), "ct=2; cs=3; of=1;"));
  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS FINISHED"));
}

TEST_F(SkypeApiTrafficTest, CommandWithoutItsTerminatingNulIsNotTaken) {
  StartAttached();
  EXPECT_EQ(SendRecord("PING", 0), 0);
  EXPECT_EQ(SkypeLines("malformed"), Lines{"PING"});
  EXPECT_EQ(SendRecord("FROBNICATE", 1), 1);
  EXPECT_EQ(SendRecord("GET CALL 77 TYPE", 1), 1);
  desktop.RunFor(100);
  Lines notified = SkypeLines("notify");
  EXPECT_TRUE(Contains(notified, "ERROR 2 Unknown command"));
  EXPECT_TRUE(Contains(notified, "ERROR 11 Invalid call id"));
}

// A busy Skype sends what a command causes from inside the program's own
// send, before it returns; the attach comes from inside the discovery
// broadcast. The calls go as with a Skype that answers a moment later.
TEST_F(SkypeApiTrafficTest, BusySkypePlacesAndEndsACallFromInsideTheProgramsSends) {
  StartAttached("--delivery sync");
  EXPECT_EQ(SkypeLines("command"), attachCommands);
  std::size_t before = SkypeLines("command").size();
  Handset(HANDSET_OFF_HOOK);
  Dial("*8005550100#");
  desktop.RunFor(3000);
  EXPECT_EQ(CommandsSince(before), (Lines{"FOCUS", "CALL +18005550100", "GET CALL 101 TYPE"}));
  EXPECT_TRUE(Has(LastRecordOf("CallRouting"), "ct=2; cs=2; of=1;"));
  EXPECT_TRUE(Has(LastRecordOf("CallInProgress"), "ct=2; cs=3; of=1;"));

  // Skype's FINISHED arrives inside "HOOK ON", while the handset is still
  // marked off hook: no alert tone may be left playing on the idle phone.
  Handset(HANDSET_ON_HOOK, 0);
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("CallOnhook") == 1; }, 6000));
  EXPECT_TRUE(Has(LastRecordOf("CallDisconnected"), "ct=2; cs=3; of=1;"));  // reported inside "HOOK ON"
  EXPECT_FALSE(SoundPlaying());
  EXPECT_TRUE(Has(LogRecords().back(), "ct=0; cs=0; of=0;"));
}

TEST_F(SkypeApiTrafficTest, BusySkypeCancellingAtHangUpWhileRoutingLeavesNoTone) {
  StartAttached("--delivery sync");
  Cue("calls route");
  Handset(HANDSET_OFF_HOOK);
  Dial("*5551234#");
  desktop.RunFor(1500);
  Handset(HANDSET_ON_HOOK, 0);
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("CallOnhook") == 1; }, 6000));
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS CANCELLED"));
  EXPECT_TRUE(Has(LastRecordOf("CallDisconnected"), "ct=2; cs=2; of=1;"));  // reported inside the hang-up
  EXPECT_FALSE(SoundPlaying());
}

// Answering: INPROGRESS comes inside "HOOK OFF"; the softphone's dialer,
// which came up when the handset was lifted, is still put away.
TEST_F(SkypeApiTrafficTest, BusySkypeAnsweringInsideHookOffStillPutsTheDialerAway) {
  StartAttached("--delivery sync");
  Cue("ring bob", 3000);
  Handset(HANDSET_OFF_HOOK, 6000);
  EXPECT_TRUE(Has(LastRecordOf("CallAnswered"), "ct=2; cs=3; of=1;"));
  EXPECT_EQ(CountOf("CallInProgress"), 1);
  EXPECT_TRUE(Contains(Transcript(), "sysclose"));
}

TEST_F(SkypeApiTrafficTest, BusySkypeStillHasItsCallRefusedWhileThePhoneIsBusy) {
  StartAttached("--delivery sync");
  Handset(HANDSET_OFF_HOOK);
  std::size_t before = SkypeLines("command").size();
  Cue("ring carol", 5000);
  EXPECT_EQ(CommandsSince(before), (Lines{"BTN_PRESSED NO", "BTN_RELEASED NO", "MINIMIZE"}));
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS REFUSED"));
  EXPECT_TRUE(Has(LogRecords().back(), "ct=1; cs=1; of=1;"));
}

// The no-answer release: Skype reports the call refused from inside
// "HOOK ON". The call ends there, logged once, and the record is idle.
TEST_F(SkypeApiTrafficTest, BusySkypeRefusingInsideTheNoAnswerReleaseEndsTheCallOnce) {
  StartAttached("--delivery sync");
  Cue("ring carol", 100);
  desktop.RunFor(122000);
  ASSERT_EQ(CountOf("NoAnswerTimeout"), 1);
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS REFUSED"));
  EXPECT_EQ(CountOf("CallDisconnected"), 1);
  EXPECT_TRUE(Has(LogRecords().back(), "ct=0; cs=0; of=0;"));
  Cue("ring bob", 3000);  // the next call is taken as usual
  EXPECT_TRUE(Has(LastRecordOf("IncomingSkypeCall"), "ct=2; cs=4; of=0;"));
}
