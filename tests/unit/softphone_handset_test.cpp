// The program meeting a softphone that owns the handset: it types what is
// dialled into its number box, lets go of the handset on the injected
// on-hook, rings, answers and ends calls of its own, and (from "2013") runs
// its handset driver on a second thread.
#include <algorithm>

#include "phonehook/hook_messages.h"
#include "platform/os_window.h"
#include "shell/main_dialog.h"
#include "standins/softphone/softphone.h"
#include "standins/softphone/softphone_state.h"
#include "tests/unit/skype_fixture.h"
#include "tests/unit/text_lines.h"

namespace {

using Lines = std::vector<std::string>;

// The lines after the first `skip` ones.
Lines After(const Lines& lines, std::size_t skip) {
  return Lines(lines.begin() + std::min(skip, lines.size()), lines.end());
}

os::HWND Dialer() { return os::FindWindowA("QWidget", "magicJack"); }
os::HWND HandsetWindow() { return os::FindWindowA("Static", "CSJHandsetDriverWnd"); }

std::string TextOf(os::HWND window) {
  char text[64] = {};
  os::GetWindowTextA(window, text, sizeof text);
  return text;
}

class SoftphoneHandsetTest : public SkypeTest {
 protected:
  std::string Box() const { return TextOf(theMainWindow->FindSoftphoneEdit(1)); }

  // The newer softphone: the program learns the version when the adapter
  // arrives.
  void StartNewerAttached() {
    StartAttached("", "--version 2013.4");
    ASSERT_EQ(CountOf("Hok"), 1);
  }
};

}  // namespace

TEST_F(SoftphoneHandsetTest, NumberWithoutTheStarIsTypedAndLeftToTheSoftphone) {
  StartReady();
  Handset(HANDSET_OFF_HOOK);
  Dial("555");
  EXPECT_EQ(Box(), "555");
  desktop.RunFor(3500);
  EXPECT_EQ(CountOf("AllDigitsPresent"), 0);  // the second digit ended the program's interest
  EXPECT_TRUE(Has(LogRecords().back(), "ct=1; cs=1; of=1; dn=5;"));
  EXPECT_EQ(Box(), "555");  // the program leaves the softphone's call alone
  EXPECT_EQ(Count(Transcript(), "inject 0x8F"), 0);

  // A new lift starts a new number.
  Handset(HANDSET_ON_HOOK);
  Handset(HANDSET_OFF_HOOK);
  EXPECT_EQ(Box(), "");
  Dial("7");
  EXPECT_EQ(Transcript().back(), "box 7");
}

TEST_F(SoftphoneHandsetTest, StarCallTakesTheHandsetFromTheTypingSoftphone) {
  StartAttached();
  Handset(HANDSET_OFF_HOOK);
  Dial("*8005550100");
  EXPECT_EQ(Box(), "*8005550100");  // typed as the user dialled it
  std::size_t typed = Transcript().size();
  desktop.RunFor(5000);
  EXPECT_TRUE(Has(LastRecordOf("CallInProgress"), "ct=2; cs=3; of=1;"));
  // Placement marks the box and releases the handset; the softphone then
  // believes the handset is down.
  Lines placed = After(Transcript(), typed);
  ASSERT_GE(placed.size(), 3u);
  EXPECT_EQ(Lines(placed.begin(), placed.begin() + 3),
            (Lines{"edit Special Call", "inject 0x8F", "handset 0x8F"}));
  EXPECT_EQ(Box(), "Special Call");

  // Keys during the Skype call reach Skype as tones, never the softphone.
  std::size_t before = SkypeLines("command").size();
  typed = Transcript().size();
  Dial("5");
  EXPECT_EQ(CommandsSince(before), (Lines{"SET MUTE ON", "SET CALL 101 DTMF 5"}));
  EXPECT_EQ(After(Transcript(), typed), Lines{"swallowed"});
  EXPECT_EQ(Box(), "Special Call");

  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_TRUE(Has(LastRecordOf("CallOnhook"), "ct=0; cs=0; of=0;"));
  EXPECT_EQ(Box(), "");  // emptied when the Skype call ended
  // The next real lift gives the handset back to the softphone.
  Handset(HANDSET_OFF_HOOK);
  Dial("3");
  EXPECT_EQ(Transcript().back(), "box 3");
}

TEST_F(SoftphoneHandsetTest, SoftphonesOwnCallWhileIdleIsLeftToIt) {
  StartReady();
  RingSoftphone();
  desktop.RunFor(1000);
  EXPECT_TRUE(Has(LastRecordOf("IncomingCall"), "ct=1; cs=4; of=0;"));
  std::size_t rung = Transcript().size();
  Handset(HANDSET_OFF_HOOK, 2000);
  EXPECT_EQ(After(Transcript(), rung), (Lines{"handset 0x8E", "answer", "popup-gone"}));
  EXPECT_TRUE(Has(LastRecordOf("CallAnswered"), "ct=1; cs=3; of=1;"));
  EXPECT_EQ(CountOf("CallDisconnected"), 0);  // the popup went because it was answered
  Dial("5");
  EXPECT_EQ(Transcript().back(), "tone 5");

  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_TRUE(Contains(Transcript(), "call-end"));
  EXPECT_TRUE(Has(LastRecordOf("CallOnhook"), "ct=0; cs=0; of=0;"));
  Lines lines = Transcript();
  EXPECT_EQ(Count(lines, "inject 0x8F"), 0);  // the program never touched the handset
  EXPECT_EQ(Count(lines, "popup-click 226,103"), 0);
}

TEST_F(SoftphoneHandsetTest, DialerPutAwayAfterAGivenUpCallComesBackWithTheNextOne) {
  StartReady();
  RingSoftphone();
  desktop.RunFor(1000);
  EndSoftphoneRing();
  desktop.RunFor(2000);
  EXPECT_TRUE(Has(LastRecordOf("CallDisconnected"), "ct=0; cs=0; of=0;"));
  EXPECT_EQ(Transcript().back(), "sysclose");
  EXPECT_FALSE(os::IsWindowVisible(Dialer()));

  RingSoftphone(true);
  EXPECT_TRUE(os::IsWindowVisible(Dialer()));
  EXPECT_EQ(After(Transcript(), Transcript().size() - 2), (Lines{"dialer-shown", "popup 314x139"}));
}

TEST_F(SoftphoneHandsetTest, SoftphoneHoldingTheHandsetRefusesItsCallAsBusy) {
  StartReady();
  Handset(HANDSET_OFF_HOOK);
  Dial("12");
  RingSoftphone();
  desktop.RunFor(1000);
  EXPECT_EQ(Transcript().back(), "busy");
  EXPECT_EQ(CountOf("IncomingCall"), 0);
}

TEST_F(SoftphoneHandsetTest, SoftphoneCallDuringASkypeCallIsDeclinedAndTheSkypeCallGoesOn) {
  StartAttached();
  Handset(HANDSET_OFF_HOOK);
  Dial("*8005550100#");
  desktop.RunFor(2000);
  ASSERT_EQ(CountOf("CallInProgress"), 1);
  std::size_t commands = SkypeLines("command").size();
  std::size_t lines = Transcript().size();
  RingSoftphone();
  desktop.RunFor(2000);
  Lines seen = After(Transcript(), lines);
  EXPECT_EQ(Lines(seen.begin(), seen.begin() + std::min<std::size_t>(seen.size(), 5)),
            (Lines{"dialer-shown", "popup 280x126", "popup-down 226,103", "popup-click 226,103",
                   "popup-gone"}));
  EXPECT_TRUE(Contains(seen, "sysclose"));
  EXPECT_FALSE(os::IsWindowVisible(Dialer()));
  EXPECT_EQ(CountOf("IncomingCall"), 0);
  EXPECT_EQ(CommandsSince(commands), Lines{});  // Skype's call is untouched
  EXPECT_TRUE(Has(LogRecords().back(), "ct=2; cs=3; of=1;"));
}

TEST_F(SoftphoneHandsetTest, NewerSoftphoneIsHookedOnItsHandsetThreadForAWholeCall) {
  StartNewerAttached();
  os::DWORD dialerProcess = 0, handsetProcess = 0;
  os::DWORD dialerThread = os::GetWindowThreadProcessId(Dialer(), &dialerProcess);
  os::DWORD handsetThread = os::GetWindowThreadProcessId(HandsetWindow(), &handsetProcess);
  EXPECT_EQ(dialerProcess, handsetProcess);
  EXPECT_NE(dialerThread, handsetThread);
  EXPECT_EQ(theMainWindow->softphoneWindow, HandsetWindow());
  EXPECT_EQ(os::GetWindow(HandsetWindow(), os::GW_CHILD), theMainWindow->FindSoftphoneEdit(1));

  std::size_t before = SkypeLines("command").size();
  Handset(HANDSET_OFF_HOOK);
  Dial("*8005550100");
  EXPECT_EQ(Box(), "*8005550100");
  Handset(HANDSET_HASH, 3000);
  EXPECT_EQ(CommandsSince(before), (Lines{"FOCUS", "CALL +18005550100", "GET CALL 101 TYPE"}));
  EXPECT_TRUE(Has(LastRecordOf("CallInProgress"), "ct=2; cs=3; of=1; dn=+18005550100;"));
  EXPECT_EQ(Box(), "Special Call");
  EXPECT_TRUE(Contains(Transcript(), "inject 0x8F"));
  EXPECT_EQ(Transcript().back(), "sysclose");  // placement put the dialer away

  std::size_t lines = Transcript().size();
  Dial("1");
  EXPECT_EQ(After(Transcript(), lines), Lines{"swallowed"});

  before = SkypeLines("command").size();
  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_EQ(CommandsSince(before), (Lines{"FOCUS", "HOOK ON", "MINIMIZE"}));
  EXPECT_TRUE(Has(LastRecordOf("CallOnhook"), "ct=0; cs=0; of=0;"));
}

TEST_F(SoftphoneHandsetTest, GuardTakesTheHandsetWhenTheSoftphoneTypesIntoAHandPlacedCall) {
  StartAttached();
  Handset(HANDSET_OFF_HOOK);
  Cue("manual alice", 1000);  // placed in Skype's window: the softphone keeps the handset
  EXPECT_TRUE(Has(LastRecordOf("SemiManualCall"), "ct=2; cs=2; of=1; dn=;"));
  EXPECT_EQ(Box(), "Special Call");  // the empty box was marked
  EXPECT_EQ(Count(Transcript(), "inject 0x8F"), 0);
  std::size_t marked = Transcript().size();
  desktop.RunFor(3000);  // already marked: the polls send nothing more
  EXPECT_EQ(Transcript().size(), marked);

  // A key meant for the far end: the softphone types it over the mark, and
  // the next poll takes the handset from it and marks the box again.
  Dial("4");
  EXPECT_EQ(Transcript().back(), "box 4");
  desktop.RunFor(200);
  Lines lines = Transcript();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(Lines(lines.end() - 4, lines.end()),
            (Lines{"box 4", "edit Special Call", "inject 0x8F", "handset 0x8F"}));
  EXPECT_EQ(Box(), "Special Call");
  std::size_t released = Transcript().size();
  Dial("5");
  EXPECT_EQ(After(Transcript(), released), Lines{"swallowed"});
}

TEST_F(SoftphoneHandsetTest, DialerMovedAboveTheScreenComesBackOnTheShowCueAndWithACall) {
  StartReady("--version 2012.1 --dialer-close offscreen");
  auto top = [] {
    os::RECT rect = {};
    os::GetWindowRect(Dialer(), &rect);
    return rect.top;
  };
  auto close = [this] { desktop.RunInProcess(program, [] { theMainWindow->CloseDialerWindows(1); }); };
  close();
  EXPECT_LT(top(), 0);
  os::PostMessageA(Dialer(), SOFTPHONE_SHOW_CUE, 0, 0);
  desktop.RunFor(10);
  EXPECT_EQ(top(), 100);
  EXPECT_EQ(Transcript().back(), "dialer-shown");

  close();
  Handset(HANDSET_OFF_HOOK);  // a call of its own starts
  EXPECT_EQ(top(), 100);
}

// The softphone quits and comes back as a release that drives the handset
// from a second thread, while the adapter stays plugged in: the program
// learns the new version from the registry when it finds the new window,
// hooks the handset driver's thread and hears the handset again.
TEST_F(SoftphoneHandsetTest, SoftphoneRestartedAsANewerReleaseIsHookedOnItsHandsetThread) {
  StartAttached();
  os::PostMessageA(Dialer(), os::WM_CLOSE, 0, 0);
  ASSERT_TRUE(desktop.RunUntil([this] { return !desktop.IsRunning(softphone); }, 2000));
  softphone = StartSoftphone("--version 2013.2");
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("Hok") == 2; }, 5000));
  EXPECT_TRUE(Has(LogRecords().back(), "mv=2013.2"));
  EXPECT_EQ(theMainWindow->softphoneWindow, HandsetWindow());

  Handset(HANDSET_OFF_HOOK);
  EXPECT_EQ(CountOf("CallOrigination"), 1);
  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_TRUE(Has(LastRecordOf("CallOnhook"), "ct=0; cs=0; of=0;"));
}

// The softphone quits and starts again while the handset is lifted for a
// Skype call; opening the adapter it finds the handset lifted and takes it,
// before or after the program has hooked it. The program puts it on hook
// again, so that only the Skype call holds the handset.
class SoftphoneRestartDuringSkypeCallTest : public SoftphoneHandsetTest,
                                            public ::testing::WithParamInterface<bool> {};

TEST_P(SoftphoneRestartDuringSkypeCallTest, TheNewSoftphoneLetsGoOfTheHandset) {
  bool liftedBeforeHooked = GetParam();
  StartAttached();
  Cue("ring bob", 3000);
  Handset(HANDSET_OFF_HOOK, 1000);
  ASSERT_TRUE(Has(LastRecordOf("CallAnswered"), "cs=3; of=1;"));

  os::PostMessageA(Dialer(), os::WM_CLOSE, 0, 0);
  ASSERT_TRUE(desktop.RunUntil([this] { return !desktop.IsRunning(softphone); }, 2000));
  softphone = StartSoftphone("--version 2012.1");
  if (liftedBeforeHooked) Handset(HANDSET_OFF_HOOK, 0);
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("Hok") == 2; }, 5000));
  if (!liftedBeforeHooked) Handset(HANDSET_OFF_HOOK);
  desktop.RunFor(500);

  EXPECT_FALSE(softphone::phone.offHook);
  EXPECT_TRUE(Has(LogRecords().back(), "ct=2; cs=3; of=1;")) << LogRecords().back();
}

INSTANTIATE_TEST_SUITE_P(LiftedBeforeOrAfterHooking, SoftphoneRestartDuringSkypeCallTest, ::testing::Bool());
