// The adapter unplugged during a Skype call: a call talked on cannot go on
// without the phone, so it ends in Skype too; one still ringing is left to
// Skype; nothing of either keeps running on the program's side.
#include <algorithm>

#include "phonehook/hook_messages.h"
#include "platform/sim/hid_devices.h"
#include "shell/ids.h"
#include "tests/unit/rules_fixture.h"
#include "tests/unit/text_lines.h"

class AdapterLossTest : public RulesTest {
 protected:
  void PlugInAgain() { adapterPath = sim::PlugInHidDevice(sim::SoftphoneAdapter()); }
  void UnplugAdapter() {
    sim::Unplug(adapterPath);
    ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("DeviceRemoved") == 1; }, 4000));
    desktop.RunFor(500);
  }
};

// Left as it stood, Skype's call would go on with nobody at the phone.
TEST_F(AdapterLossTest, ACallInProgressIsHungUpInSkype) {
  StartWithAdapter();
  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(3000);
  ASSERT_NE(LastRecordOf("CallInProgress"), "");
  std::size_t before = SkypeLines("command").size();

  UnplugAdapter();
  EXPECT_TRUE(Contains(CommandsSince(before), "HOOK ON"));
  EXPECT_NE(LastRecordOf("DeviceRemoved").find("ct=0; cs=0; of=0;"), std::string::npos);
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS FINISHED"));
}

// A call still ringing is left to Skype, where the user can take it at the
// computer; the phone's part of it stops.
TEST_F(AdapterLossTest, ARingingCallStaysInSkypeAndTheRingingStops) {
  StartWithAdapter();
  Cue("ring bob", 3000);
  ASSERT_GE(CountOf("RingOn(Skype)"), 1);
  std::size_t before = SkypeLines("command").size();
  std::size_t timerEvents = desktop.TimerEvents().size();

  UnplugAdapter();
  EXPECT_EQ(CommandsSince(before), std::vector<std::string>{});
  EXPECT_EQ(SkypeLines("closed"), std::vector<std::string>{});
  EXPECT_NE(LastRecordOf("DeviceRemoved").find("ct=0; cs=0; of=0;"), std::string::npos);
  std::vector<os::UINT_PTR> kills = KillsSince(timerEvents);
  for (os::UINT_PTR id : {RING_ON_TIMER_ID, RING_OFF_TIMER_ID, NO_ANSWER_TIMER_ID}) {
    EXPECT_TRUE(std::find(kills.begin(), kills.end(), id) != kills.end()) << "timer " << id;
  }
  int rings = CountOf("RingOn(Skype)");
  desktop.RunFor(130000);
  EXPECT_EQ(CountOf("RingOn(Skype)"), rings);
  EXPECT_EQ(CountOf("NoAnswerTimeout"), 0);
  EXPECT_FALSE(Contains(SkypeLines("notify"), "CALL 101 STATUS REFUSED"));
}

// The softphone hears the handset of a replugged adapter before the
// program has found it again: a lift at that moment still counts once the
// adapter is ready, so the next call is not rung into a lifted phone.
TEST_F(AdapterLossTest, ALiftHeardBeforeTheReturningAdapterIsReadyCountsOnceItIs) {
  StartWithAdapter();
  UnplugAdapter();
  PlugInAgain();
  Handset(HANDSET_OFF_HOOK);
  ASSERT_EQ(CountOf("DeviceAdded"), 1);  // the program has not found it yet

  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("DeviceAdded") == 2; }, 4000));
  desktop.RunFor(200);
  EXPECT_NE(LastRecordOf("CallOrigination").find("cs=1; of=1;"), std::string::npos);
  std::vector<sim::TrayIcon> icons = desktop.TrayIcons();
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].tip, "CorvaloPlugin (Offhook)");
  Cue("ring bob", 5000);
  EXPECT_EQ(CountOf("RingOn(Skype)"), 0);
}

// A lift that reached the program long before the adapter came back was
// heard of the adapter before and is stale: it does not count.
TEST_F(AdapterLossTest, ALiftHeardLongBeforeTheAdapterReturnsIsDropped) {
  StartWithAdapter();
  UnplugAdapter();
  Handset(HANDSET_OFF_HOOK);
  desktop.RunFor(10000);
  PlugInAgain();
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("DeviceAdded") == 2; }, 4000));
  desktop.RunFor(200);
  EXPECT_EQ(CountOf("CallOrigination"), 0);
  EXPECT_NE(RecordAsSiblingReadsIt().find("cs=0; of=0;"), std::string::npos) << RecordAsSiblingReadsIt();
}

// The adapter is pulled and plugged back while the window thread is busy
// (three Skype calls ring in while the handset is lifted, each refused
// after 3 s): the poll thread drops the old adapter and takes the new one
// before the window hears of the loss. The record keeps the returning
// adapter, and Skype's calls are taken again.
TEST_F(AdapterLossTest, AnAdapterBackBeforeItsLossIsHandledStaysInUse) {
  StartWithAdapter();
  Handset(HANDSET_OFF_HOOK, 1000);
  for (const char* caller : {"ring alice", "ring bob", "ring carol"}) Cue(caller, 10);
  sim::Unplug(adapterPath);
  desktop.RunFor(2000);
  PlugInAgain();
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("DeviceAdded") == 2; }, 15000));
  desktop.RunFor(1000);
  EXPECT_TRUE(Has(LogRecords().back(), "pi=C200;"));
  Handset(HANDSET_ON_HOOK, 3000);
  Cue("ring dave", 3000);
  EXPECT_EQ(CountOf("IncomingSkypeCall"), 1);
}

// Without an adapter Skype's reports are not taken: a call ringing in then
// is Skype's alone. Once the adapter is back, the next one rings the phone.
TEST_F(AdapterLossTest, SkypesReportsAreTakenOnlyWhileAnAdapterIsPresent) {
  StartWithAdapter();
  UnplugAdapter();
  Cue("ring carol", 3000);
  EXPECT_TRUE(Contains(SkypeLines("notify"), "CALL 101 STATUS RINGING"));
  EXPECT_EQ(CountOf("IncomingSkypeCall"), 0);
  Cue("end MISSED", 1000);

  PlugInAgain();
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("DeviceAdded") == 2; }, 15000));
  desktop.RunFor(1000);
  Cue("ring dave", 3000);
  EXPECT_EQ(CountOf("IncomingSkypeCall"), 1);
  EXPECT_GE(CountOf("RingOn(Skype)"), 1);
}
