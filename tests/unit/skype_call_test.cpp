// Skype calls from end to end with the Skype model: placed from the
// handset, ringing in, started in Skype's own window, refused while the
// phone is busy, ended by either side, and failing before they start.
#include <algorithm>

#include "phonehook/hook_messages.h"
#include "platform/os_window.h"
#include "platform/sim/audio_controls.h"
#include "shell/main_dialog.h"
#include "tests/unit/skype_fixture.h"
#include "tests/unit/text_lines.h"

namespace {

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(SkypeTest, CallFromTheHandsetIsPlacedInSkypeAndHungUpThere) {
  StartAttached();
  std::size_t before = SkypeLines("command").size();
  Handset(HANDSET_OFF_HOOK);
  Dial("*8005550100");
  desktop.RunFor(5000);
  EXPECT_EQ(CommandsSince(before), (Lines{"FOCUS", "CALL +18005550100", "GET CALL 101 TYPE"}));
  EXPECT_TRUE(Has(LastRecordOf("CallRouting"), "ct=2; cs=2; of=1; dn=+18005550100;"));
  EXPECT_TRUE(Has(LastRecordOf("CallInProgress"), "ct=2; cs=3; of=1;"));
  EXPECT_EQ(CountOf("CallTypePSTN"), 1);
  EXPECT_EQ(theMainWindow->skypeCallId, 101);

  // Telephone-network call: a key goes on to the far end as a tone.
  Dial("5");
  EXPECT_EQ(CommandsSince(before + 3), (Lines{"SET MUTE ON", "SET CALL 101 DTMF 5"}));

  before = SkypeLines("command").size();
  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_EQ(CommandsSince(before), (Lines{"FOCUS", "HOOK ON", "MINIMIZE"}));
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS FINISHED"));
  EXPECT_EQ(SkypeLines("closed"), (Lines{"TConversationForm.UnicodeClass", "TCallQualityForm"}));
  EXPECT_TRUE(Has(LastRecordOf("CallOnhook"), "ct=0; cs=0; of=0;"));
  EXPECT_EQ(theMainWindow->skypeCallId, 0);
  EXPECT_EQ(desktop.TrayIcons()[0].tip, "CorvaloPlugin (Ready)");
}

TEST_F(SkypeTest, IncomingCallRingsWithTheCallerAndIsAnsweredByLiftingTheHandset) {
  desktop.WriteFile(SETTINGS, "[SpeedDial]\r\nn7=Bob Smith\r\nt7=bob\r\n");
  StartAttached();
  std::size_t before = SkypeLines("command").size();
  Cue("ring bob", 20);
  EXPECT_TRUE(Has(LastRecordOf("IncomingSkypeCall"), "ct=2; cs=4; of=0;"));
  EXPECT_EQ(CommandsSince(before), Lines{"GET CALL 101 PARTNER_HANDLE"});
  EXPECT_TRUE(TimerStarted(9, 120000));
  EXPECT_TRUE(TimerStarted(3, 1));

  // 2 s on, 4 s off; the caller goes out once, in the first pause.
  desktop.RunFor(13000);
  EXPECT_EQ(CountOf("RingOn(Skype)"), 3);
  EXPECT_EQ(CountOf("RingOff(Skype)"), 2);
  EXPECT_EQ(CountOf("SendCallerid"), 1);
  EXPECT_TRUE(Has(LastRecordOf("SendCallerid"), "cn=(S)Bob Smith; ci=7;"));
  EXPECT_TRUE(TimerStarted(4, 2000));
  EXPECT_TRUE(TimerStarted(3, 4000));

  before = SkypeLines("command").size();
  Handset(HANDSET_OFF_HOOK, 1000);
  EXPECT_TRUE(Has(LastRecordOf("CallAnswered"), "ct=2; cs=3; of=1;"));
  EXPECT_EQ(CommandsSince(before), (Lines{"HOOK OFF", "GET CALL 101 TYPE"}));
  EXPECT_TRUE(Contains(Transcript(), "inject 0x8F"));  // the softphone let go of the handset
  EXPECT_EQ(Count(Transcript(), "sysclose"), 1);         // and its dialer was put away once
  EXPECT_EQ(CountOf("CallTypeP2P"), 1);
  EXPECT_EQ(CountOf("CallInProgress"), 1);

  // The caller hangs up: the alert tone plays until the handset goes down.
  sim::ClearAudioRecords();
  Cue("end FINISHED", 1000);
  EXPECT_TRUE(Has(LastRecordOf("CallDisconnected"), "ct=2; cs=3; of=1;"));
  EXPECT_FALSE(sim::PlayedBuffers().empty());
  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_TRUE(Has(LogRecords().back(), "ct=0; cs=0; of=0;"));
}

TEST_F(SkypeTest, CallerWhoHangsUpWhileItRingsLeavesThePhoneIdle) {
  StartAttached();
  Cue("ring +15550100", 3000);
  Cue("end MISSED", 2000);
  EXPECT_TRUE(Has(LastRecordOf("CallDisconnected"), "ct=0; cs=0; of=0;"));
  EXPECT_EQ(Transcript().back(), "edit ");  // the softphone's number box is emptied
  EXPECT_TRUE(Contains(SkypeLines("closed"), "TCallQualityForm"));
  int rings = CountOf("RingOn(Skype)");
  desktop.RunFor(10000);
  EXPECT_EQ(CountOf("RingOn(Skype)"), rings);
}

// The user answers at the computer while the phone rings: the phone stops
// ringing, and the call is not hung up when the no-answer time runs out;
// lifting the handset still takes it.
TEST_F(SkypeTest, CallAnsweredInSkypesWindowStopsTheRingingAndIsNotHungUpLater) {
  StartAttached();
  Cue("ring bob", 3000);
  Cue("answer", 1000);
  EXPECT_TRUE(Has(LastRecordOf("CallInProgress"), "ct=2; cs=4; of=0;"));
  int rings = CountOf("RingOn(Skype)");
  std::size_t before = SkypeLines("command").size();
  desktop.RunFor(130000);
  EXPECT_EQ(CountOf("RingOn(Skype)"), rings);
  EXPECT_EQ(CountOf("NoAnswerTimeout"), 0);
  EXPECT_FALSE(Contains(CommandsSince(before), "HOOK ON"));

  Handset(HANDSET_OFF_HOOK, 5000);  // the answer prompt has gone: the program waits 3 s for it
  EXPECT_TRUE(Has(LastRecordOf("CallAnswered"), "ct=2; cs=3; of=1;"));
  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS FINISHED"));
  EXPECT_TRUE(Has(LogRecords().back(), "ct=0; cs=0; of=0;"));
}

TEST_F(SkypeTest, CallRingingInWhileThePhoneIsBusyIsRefusedAfterThreeSeconds) {
  StartAttached();
  Handset(HANDSET_OFF_HOOK);  // dialling on the softphone line
  std::size_t before = SkypeLines("command").size();
  Cue("ring carol", 2900);
  EXPECT_EQ(CommandsSince(before), Lines{});
  desktop.RunFor(2000);
  EXPECT_EQ(CommandsSince(before), (Lines{"BTN_PRESSED NO", "BTN_RELEASED NO", "MINIMIZE"}));
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS REFUSED"));
  EXPECT_EQ(CountOf("IncomingSkypeCall"), 0);
  EXPECT_TRUE(Has(LogRecords().back(), "ct=1; cs=1; of=1;"));
}

TEST_F(SkypeTest, SecondCallDuringASkypeCallIsLeftToSkype) {
  StartAttached();
  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(2000);
  std::size_t before = SkypeLines("command").size();
  Cue("ring carol", 5000);
  EXPECT_EQ(CommandsSince(before), Lines{});
  EXPECT_EQ(theMainWindow->skypeCallId, 101);
}

TEST_F(SkypeTest, BusySiblingProgramMakesTheProgramRefuseTheCall) {
  StartAttached();
  desktop.StartProcess("C:\\Sibling\\TesselbayPlugin.exe", [] {
    os::HWND window =
        os::CreateWindowExA(0, "#32770", "TesselbayPlugin - Call Status", 0, 0, 0, 100, 50, nullptr, 0);
    os::CreateWindowExA(0, "Static", "", os::WS_CHILD, 0, 0, 10, 10, window, -1);
    os::CreateWindowExA(0, "Static", "st=CallAnswered; ct=2; cs=3; of=1;", os::WS_CHILD, 0, 0, 10, 10, window,
                        1007);
    os::MSG msg;
    while (os::GetMessageA(&msg, nullptr, 0, 0)) os::DispatchMessageA(&msg);
    return 0;
  });
  Cue("ring carol", 5000);
  EXPECT_EQ(CountOf("IncomingSkypeCall"), 0);
  EXPECT_TRUE(Contains(SkypeLines("command"), "BTN_RELEASED NO"));
}

TEST_F(SkypeTest, CallStartedInSkypesWindowRingsThePhoneWithoutCallerDetails) {
  StartAttached();
  Cue("manual alice", 20);
  EXPECT_TRUE(Has(LastRecordOf("ManualCall"), "ct=2; cs=4; of=0; dn=; cn=; ci=;"));
  EXPECT_TRUE(TimerStarted(3, 5));
  desktop.RunFor(7000);
  EXPECT_EQ(CountOf("SendCallerid"), 0);
  Handset(HANDSET_OFF_HOOK, 4000);  // no answer prompt: Skype is told after the waits
  EXPECT_TRUE(Contains(SkypeLines("command"), "HOOK OFF"));
  Cue("answer", 100);
  EXPECT_TRUE(Has(LastRecordOf("CallInProgress"), "ct=2; cs=3; of=1;"));
}

// The far end answers a call the user started in Skype's window before the
// user lifts the handset: the phone rings on, lifting it connects the user,
// and left alone the call is released at the no-answer deadline, as any
// call ringing the phone.
class ManualCallAnsweredFirstTest : public SkypeTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ManualCallAnsweredFirstTest, PhoneRingsOnUntilLiftedOrReleased) {
  bool lift = GetParam();
  StartAttached();
  Cue("manual alice", 20);
  Cue("answer", 1000);  // during the first burst
  int rings = CountOf("RingOn(Skype)");
  desktop.RunFor(12000);
  EXPECT_GE(CountOf("RingOn(Skype)"), rings + 2);
  EXPECT_EQ(CountOf("CallInProgress"), 0);
  EXPECT_TRUE(Has(LogRecords().back(), "ct=2; cs=4; of=0;"));
  std::size_t before = SkypeLines("command").size();
  if (lift) {
    Handset(HANDSET_OFF_HOOK, 5000);
    EXPECT_TRUE(Has(LastRecordOf("CallAnswered"), "ct=2; cs=3; of=1;"));
    EXPECT_TRUE(Contains(CommandsSince(before), "HOOK OFF"));
  } else {
    desktop.RunFor(120000);
    EXPECT_EQ(CountOf("NoAnswerTimeout"), 1);
    EXPECT_TRUE(Contains(CommandsSince(before), "HOOK ON"));
    EXPECT_TRUE(Has(LogRecords().back(), "ct=0; cs=0; of=0;"));
  }
}

INSTANTIATE_TEST_SUITE_P(LiftedOrNot, ManualCallAnsweredFirstTest, ::testing::Bool());

TEST_F(SkypeTest, CallStartedInSkypeAfterLiftingTheHandsetMovesToTheSkypeLine) {
  StartAttached();
  Handset(HANDSET_OFF_HOOK);
  Cue("manual alice", 1000);
  EXPECT_TRUE(Has(LastRecordOf("SemiManualCall"), "ct=2; cs=2; of=1; dn=;"));
  EXPECT_EQ(theMainWindow->skypeCallId, 101);
  Cue("answer", 100);
  EXPECT_TRUE(Has(LastRecordOf("CallInProgress"), "ct=2; cs=3; of=1;"));
}

TEST_F(SkypeTest, CallSkypeRefusesAtOnceIsExplainedInTheMainWindow) {
  StartAttached();
  Cue("calls error 71 Invalid target number");
  Handset(HANDSET_OFF_HOOK);
  sim::ClearAudioRecords();
  Dial("*12345#");
  desktop.RunFor(1000);
  EXPECT_EQ(StatusLine(),
            "Skype has reported that your call to +12345 has failed with the reason Invalid target. "
            "Check the number and try your call again.");
  EXPECT_TRUE(os::IsWindowVisible(MainWindow()));
  EXPECT_FALSE(sim::PlayedBuffers().empty());
  EXPECT_TRUE(Has(LastRecordOf("DialingError"), "ct=2; cs=2; of=1; dn=+12345;"));

  Cue("notify ERROR 72");  // no description: no reason
  EXPECT_EQ(
      StatusLine(),
      "Skype has reported that your call to +12345 has failed. Check the number and try your call again.");
  Cue("notify CALL 9 STATUS ROUTING");
  Cue("notify ERROR 73 Too late");  // the call has an id now: its end status will tell
  EXPECT_EQ(CountOf("DialingError"), 2);
}
