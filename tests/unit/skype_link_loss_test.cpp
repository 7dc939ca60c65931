// Skype goes away and comes back: the link's loss is logged with its reason,
// the tray follows it, and the program attaches again by itself.
#include <algorithm>

#include "phonehook/hook_messages.h"
#include "platform/os_window.h"
#include "standins/skype/skype.h"
#include "tests/unit/rules_fixture.h"
#include "tests/unit/text_lines.h"

class SkypeLinkLossTest : public RulesTest {
 protected:
  std::string TrayTip() const {
    std::vector<sim::TrayIcon> icons = desktop.TrayIcons();
    return icons.size() == 1 ? icons[0].tip : "";
  }
  void QuitSkype() {
    os::PostMessageA(os::FindWindowA(SKYPE_MAIN_CLASS, SKYPE_MAIN_TITLE), os::WM_CLOSE, 0, 0);
    desktop.RunFor(500);
  }
  static constexpr const char* READY = "CorvaloPlugin (Ready)";
  static constexpr const char* NOT_ATTACHED =
      "CorvaloPlugin (Start Skype and authorize CorvaloPlugin access)";
};

TEST_F(SkypeLinkLossTest, ASkypeThatQuitsIsKnownGoneAtOnceAndTakenBackWhenItReturns) {
  StartWithAdapter();
  ASSERT_EQ(TrayTip(), READY);
  QuitSkype();
  EXPECT_EQ(CountOf("SkypeLinkLost:SkypeGone"), 1);
  EXPECT_EQ(TrayTip(), NOT_ATTACHED);

  StartSkype();
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeAttached") == 2; }, 3000));
  desktop.RunFor(1100);  // the next poll, a second apart while detached, shows it
  EXPECT_EQ(TrayTip(), READY);
}

TEST_F(SkypeLinkLossTest, AMissingPongDropsTheLinkAndTheNextDiscoveryRestoresIt) {
  StartWithAdapter();
  Cue("pong off");
  desktop.RunFor(30000 + 15000 + 500);
  EXPECT_EQ(CountOf("SkypeLinkLost:NoPong"), 1);
  // Skype still answers discovery: the next poll attaches again.
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeAttached") == 2; }, 2000));
}

TEST_F(SkypeLinkLossTest, SkypeQuittingDuringACallLeavesNoStaleOffHookOnceTheHandsetIsDown) {
  StartWithAdapter();
  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(3000);
  ASSERT_NE(LastRecordOf("CallInProgress"), "");
  QuitSkype();
  EXPECT_EQ(CountOf("SkypeLinkLost:SkypeGone"), 1);
  EXPECT_EQ(TrayTip(), "CorvaloPlugin (Offhook)");  // the handset is still up

  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_NE(LastRecordOf("CallOnhook").find("ct=0; cs=0; of=0;"), std::string::npos);
  EXPECT_EQ(TrayTip(), NOT_ATTACHED);
  StartSkype();
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeAttached") == 2; }, 3000));
  desktop.RunFor(1100);  // the next poll, a second apart while detached, shows it
  EXPECT_EQ(TrayTip(), READY);
}

// A call ringing in cannot be answered once its Skype is gone or refuses
// commands: the phone stops ringing and the program is idle at once, not
// after the two-minute no-answer deadline.
class RingingLinkLossTest : public SkypeLinkLossTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RingingLinkLossTest, ACallRingingInEndsWithSkypeOrItsRefusal) {
  bool quit = GetParam();
  StartWithAdapter();
  Cue("ring bob", 20);
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("RingOn(Skype)") >= 1; }, 3000));
  if (quit) {
    QuitSkype();
  } else {
    Cue("detach", 0);  // the next keep-alive is refused
    ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeLinkLost:Refused") == 1; }, 31000));
  }
  int rings = CountOf("RingOn(Skype)");
  desktop.RunFor(10000);
  EXPECT_EQ(CountOf("RingOn(Skype)"), rings);
  std::vector<std::string> events = LogEvents();
  auto lost = std::find(events.begin(), events.end(), quit ? "SkypeLinkLost:SkypeGone" : "SkypeLinkLost:Refused");
  EXPECT_NE(std::find(lost, events.end(), "CallDisconnected"), events.end());
  EXPECT_NE(RecordAsSiblingReadsIt().find("ct=0; cs=0; of=0;"), std::string::npos) << RecordAsSiblingReadsIt();
}

INSTANTIATE_TEST_SUITE_P(QuitOrRefusing, RingingLinkLossTest, ::testing::Bool());

// A missed keep-alive alone says nothing about the call: the phone rings on,
// the next polls attach again, and lifting the handset answers in Skype.
TEST_F(SkypeLinkLossTest, ACallRingingInRingsOnThroughAMissedPongAndIsAnsweredByLifting) {
  StartWithAdapter();
  Cue("pong off");
  Cue("ring bob", 20);
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeLinkLost:NoPong") == 1; }, 50000));
  Cue("pong on", 0);
  int rings = CountOf("RingOn(Skype)");
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeAttached") == 2; }, 3000));
  desktop.RunFor(6000);
  EXPECT_GT(CountOf("RingOn(Skype)"), rings);
  EXPECT_EQ(CountOf("CallDisconnected"), 0);
  EXPECT_NE(RecordAsSiblingReadsIt().find("ct=2; cs=4; of=0;"), std::string::npos) << RecordAsSiblingReadsIt();

  std::size_t before = SkypeLines("command").size();
  Handset(HANDSET_OFF_HOOK, 5000);
  EXPECT_TRUE(Contains(CommandsSince(before), "HOOK OFF"));
  EXPECT_NE(LastRecordOf("CallAnswered").find("ct=2; cs=3; of=1;"), std::string::npos);
  EXPECT_EQ(CountOf("CallOrigination"), 0);
}

// A call answered in Skype's own window goes on there: a refused command
// neither ends it, nor hangs it up with Skype's hot key, nor closes its
// windows. It ends once Skype is gone, or once Skype, attached again, tells
// that it ended meanwhile.
class AnsweredInSkypeLinkLossTest : public SkypeLinkLossTest, public ::testing::WithParamInterface<bool> {};

TEST_P(AnsweredInSkypeLinkLossTest, ACallAnsweredInSkypesWindowOutlivesARefusal) {
  bool quit = GetParam();
  StartWithAdapter();
  Cue("ring bob", 3000);
  Cue("answer", 1000);
  ASSERT_NE(LastRecordOf("CallInProgress"), "");
  Cue("detach", 0);
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeLinkLost:Refused") == 1; }, 31000));
  desktop.RunFor(2000);
  EXPECT_EQ(CountOf("CallDisconnected"), 0);
  EXPECT_EQ(SkypeLines("hotkey"), std::vector<std::string>{});
  EXPECT_EQ(SkypeLines("closed"), std::vector<std::string>{});
  EXPECT_NE(RecordAsSiblingReadsIt().find("ct=2; cs=4; of=0;"), std::string::npos) << RecordAsSiblingReadsIt();

  if (quit) {
    QuitSkype();
  } else {
    Cue("end FINISHED");  // unheard: Skype has withdrawn its API
    Cue("available", 2000);
    EXPECT_TRUE(Contains(SkypeLines("command"), "GET CALL 101 STATUS"));
  }
  desktop.RunFor(2000);
  EXPECT_EQ(CountOf("CallDisconnected"), 1);
  EXPECT_NE(RecordAsSiblingReadsIt().find("ct=0; cs=0; of=0;"), std::string::npos) << RecordAsSiblingReadsIt();
}

INSTANTIATE_TEST_SUITE_P(QuitOrBack, AnsweredInSkypeLinkLossTest, ::testing::Bool());

// Once Skype has quit no call of it goes on; a missed keep-alive alone
// leaves a call in progress alone, since Skype may still carry its voice.
TEST_F(SkypeLinkLossTest, ACallInProgressEndsWhenSkypeQuitsButNotOnAMissedPong) {
  StartWithAdapter();
  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(3000);
  ASSERT_NE(LastRecordOf("CallInProgress"), "");
  Cue("pong off");
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeLinkLost:NoPong") == 1; }, 50000));
  EXPECT_EQ(CountOf("CallDisconnected"), 0);
  EXPECT_NE(RecordAsSiblingReadsIt().find("cs=3; of=1;"), std::string::npos) << RecordAsSiblingReadsIt();

  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeAttached") == 2; }, 3000));
  QuitSkype();
  desktop.RunFor(2000);
  EXPECT_EQ(CountOf("CallDisconnected"), 1);
  EXPECT_TRUE(AlertTonePlayed());  // the handset is still up: the user hears the call is over
}

TEST_F(SkypeLinkLossTest, ASkypeThatAttachesButRefusesEveryCommandIsAskedAgainOnlyAfterGrowingPauses) {
  StartWithAdapter();
  Cue("commands refuse-attached");
  Cue("available", 0);  // Skype's broadcast makes the program ask again at once
  desktop.RunFor(60000);
  // Without the pauses this is hundreds of attaches a minute; with them,
  // three quick rounds, then 5, 10, 20 s apart.
  int attaches = CountOf("SkypeAttached");
  EXPECT_LE(attaches, 8);
  EXPECT_GE(CountOf("SkypeRefusesCommands:5s"), 1);
  EXPECT_GE(CountOf("SkypeRefusesCommands:10s"), 1);
  EXPECT_GE(CountOf("SkypeRefusesCommands:20s"), 1);

  // Once Skype takes commands again the link holds and the pauses end.
  Cue("commands take", 0);
  desktop.RunFor(70000);
  int afterRecovery = CountOf("SkypeAttached");
  desktop.RunFor(30000);
  EXPECT_EQ(CountOf("SkypeAttached"), afterRecovery);
  EXPECT_EQ(TrayTip(), READY);
}

// A Skype started again is a new peer: the pause the refusals of the last
// one brought ends, and the new one is attached at the next poll.
TEST_F(SkypeLinkLossTest, ASkypeStartedAgainIsAttachedAtOnceDespiteTheLastOnesRefusals) {
  StartWithAdapter();
  Cue("commands refuse-attached");
  Cue("available", 0);
  desktop.RunFor(60000);
  ASSERT_GE(CountOf("SkypeRefusesCommands:20s"), 1);  // the next round is 40 s away
  QuitSkype();
  int attaches = CountOf("SkypeAttached");
  StartSkype();
  EXPECT_TRUE(desktop.RunUntil([&] { return CountOf("SkypeAttached") == attaches + 1; }, 3000));
  desktop.RunFor(30000);  // it takes commands: the link holds
  EXPECT_EQ(CountOf("SkypeAttached"), attaches + 1);
  EXPECT_EQ(TrayTip(), READY);
}

// The user signs out of Skype and in again: attach status 3 changes
// nothing, the next keep-alive is refused and drops the link, nothing more
// is sent while Skype is away, and its announcement brings a new attach.
TEST_F(SkypeLinkLossTest, ASkypeWhoseApiIsWithdrawnIsAskedAgainOnlyOnceItIsAnnounced) {
  StartWithAdapter();
  Cue("detach", 31000);  // the next PING goes out meanwhile
  EXPECT_EQ(SkypeLines("refused"), std::vector<std::string>{"PING"});
  EXPECT_EQ(CountOf("SkypeLinkLost:Refused"), 1);
  desktop.RunFor(1100);
  EXPECT_EQ(TrayTip(), NOT_ATTACHED);
  std::size_t commands = SkypeLines("command").size();
  desktop.RunFor(60000);
  EXPECT_EQ(SkypeLines("command").size(), commands);
  EXPECT_EQ(SkypeLines("refused").size(), 1u);

  Cue("available", 2000);
  EXPECT_EQ(CountOf("SkypeAttached"), 2);
  desktop.RunFor(1100);
  EXPECT_EQ(TrayTip(), READY);
}
