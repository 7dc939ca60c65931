// The Skype link with the Skype model: discovery and attach, the audio
// devices Skype is told to use, the keep-alive, a link that drops, and the
// text of the commands.
#include "phonehook/hook_messages.h"
#include "platform/os_window.h"
#include "platform/sim/audio_controls.h"
#include "shell/main_dialog.h"
#include "skype/skype_commands.h"
#include "tests/unit/skype_fixture.h"
#include "tests/unit/text_lines.h"

TEST_F(SkypeTest, AttachSelectsTheAdaptersAudioDevicesAndAsksForTheVersion) {
  sim::SetWaveOutDevices({"Speakers", "Speakers (USB Internet Phone"});
  sim::SetWaveInDevices({"Microphone", "Microphone (2- USB Audio Device"});
  StartAttached();
  EXPECT_EQ(SkypeLines("command"),
            AttachCommands("Microphone (2- USB Audio Device)", "Speakers (USB Internet Phone by TigerJet)"));
  EXPECT_EQ(SkypeLines("attach"), std::vector<std::string>{"0x0"});
  EXPECT_EQ(theMainWindow->skypeVersion, "8.1.0.2");
  EXPECT_EQ(desktop.TrayIcons()[0].tip, "CorvaloPlugin (Ready)");
  EXPECT_TRUE(TimerStarted(1, 30000));
}

TEST_F(SkypeTest, WithoutTheAdaptersAudioDevicesSkypeIsGivenTheWaveMappers) {
  sim::SetWaveOutDevices({"Speakers"});
  sim::SetWaveInDevices({"Microphone"});
  StartAttached();
  EXPECT_EQ(SkypeLines("command"), AttachCommands("Sound Mapper", "Sound Mapper"));
}

TEST_F(SkypeTest, BeforeVistaTheDeviceNamesAreSentAsTheSystemGivesThem) {
  desktop.SetWindowsVersion(sim::VersionConfig{5, 1, 2600, 2, true, true});
  sim::SetWaveOutDevices({"USB Internet Phone 2"});
  sim::SetWaveInDevices({"Microphone"});  // no adapter: the name of id -1
  StartAttached();
  std::vector<std::string> commands = SkypeLines("command");
  ASSERT_GE(commands.size(), 3u);
  EXPECT_EQ(commands[1], "SET AUDIO_IN Sound Mapper ");
  EXPECT_EQ(commands[2], "SET AUDIO_OUT USB Internet Phone 2 ");
}

TEST_F(SkypeTest, RefusedProgramStaysDetachedAndEveryPollAsksAgain) {
  StartSkype("--attach 2");
  StartReady();
  desktop.RunFor(5000);
  EXPECT_FALSE(Attached());
  EXPECT_GE(SkypeLines("discover").size(), 5u);
  EXPECT_EQ(CountOf("SkypeAttached"), 0);
  // A command asked for meanwhile is dropped; discovery goes out instead.
  std::size_t discoveries = SkypeLines("discover").size();
  desktop.RunInProcess(program, [] { theMainWindow->SendSkypeCommand(SKYPE_PING, nullptr); });
  EXPECT_EQ(SkypeLines("discover").size(), discoveries + 1);
  EXPECT_TRUE(SkypeLines("command").empty());
  EXPECT_EQ(desktop.TrayIcons()[0].tip, "CorvaloPlugin (Start Skype and authorize CorvaloPlugin access)");
}

TEST_F(SkypeTest, AnnouncedApiIsDiscoveredAgainAtOnce) {
  StartSkype("--attach 0x8001,0");
  StartReady();
  ASSERT_TRUE(desktop.RunUntil([this] { return !SkypeLines("attach").empty(); }, 3000));
  std::uint64_t announced = desktop.Now();
  ASSERT_TRUE(desktop.RunUntil([this] { return CountOf("SkypeAttached") == 1; }, 3000));
  EXPECT_LT(desktop.Now() - announced, 50u);  // without waiting for the next poll
  EXPECT_EQ(SkypeLines("attach"), (std::vector<std::string>{"0x8001", "0x0"}));
  EXPECT_EQ(SkypeLines("discover").size(), 2u);
}

// Skype answers "PING" later, or at once from inside the program's send:
// either answer stops the deadline, and the link holds.
class KeepAliveTest : public SkypeTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(KeepAliveTest, EveryPingIsAnsweredAndTheLinkHolds) {
  StartAttached(GetParam());
  desktop.RunFor(95000);
  EXPECT_EQ(Count(SkypeLines("command"), "PING"), 3);
  EXPECT_EQ(Count(SkypeLines("notify"), "PONG"), 3);
  EXPECT_TRUE(Attached());
  EXPECT_EQ(CountOf("SkypeAttached"), 1);
}

INSTANTIATE_TEST_SUITE_P(PongAnswered, KeepAliveTest, ::testing::Values("--delivery async", "--delivery sync"));

TEST_F(SkypeTest, UnansweredPingDropsTheLinkAfterFifteenSecondsAndNoSecondPingGoesOut) {
  StartAttached();
  Cue("pong off");
  ASSERT_TRUE(desktop.RunUntil([this] { return Count(SkypeLines("command"), "PING") == 1; }, 30000));
  desktop.RunFor(14900);
  EXPECT_TRUE(Attached());
  desktop.RunFor(200);
  // The link went down without a second ping; the next poll found Skype
  // again and it attached anew.
  EXPECT_EQ(Count(SkypeLines("command"), "PING"), 1);
  EXPECT_EQ(SkypeLines("discover").size(), 2u);
  EXPECT_EQ(CountOf("SkypeAttached"), 2);
}

TEST_F(SkypeTest, CommandSkypeDoesNotTakeDropsTheLinkAndEndsTheCallWithTheHotKey) {
  StartAttached();
  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(2000);
  ASSERT_EQ(theMainWindow->callState, 3);
  Cue("commands refuse");
  Handset(HANDSET_ON_HOOK, 3000);
  EXPECT_EQ(SkypeLines("refused").front(), "FOCUS");
  EXPECT_EQ(SkypeLines("hotkey"), std::vector<std::string>{"0xB003 0x00220001"});
  EXPECT_EQ(SkypeLines("notify").back(), "CALL 101 STATUS FINISHED");  // the hot key ended it in Skype
  EXPECT_EQ(Count(SkypeLines("closed"), "TCallQualityForm"), 1);       // and its windows were tidied
  EXPECT_EQ(theMainWindow->callState, 0);
}

TEST_F(SkypeTest, DeviceNamesReachSkypeAsUtf8AndCallTargetsAsTheyAre) {
  // In the ANSI code page (Windows-1252) 0xE9 is "é" and 0x80 the euro sign.
  sim::SetWaveOutDevices({"Casque \xE9\x80 USB Audio Device"});
  desktop.WriteFile(SETTINGS, "[SpeedDial]\r\nt5=Jos\xE9\r\n");
  StartAttached();
  EXPECT_EQ(SkypeLines("command")[2], "SET AUDIO_OUT Casque \xC3\xA9\xE2\x82\xAC USB Audio Device) ");
  Handset(HANDSET_OFF_HOOK);
  Dial("*5#");
  desktop.RunFor(1000);
  EXPECT_EQ(Count(SkypeLines("command"), "CALL Jos\xE9"), 1);
}

TEST_F(SkypeTest, LongDeviceNamesAreCutAtAWholeCharacterWithinTheCommand) {
  StartAttached();
  desktop.RunInProcess(program, [] {
    theMainWindow->SendSkypeCommand(SKYPE_SET_AUDIO_OUT, std::string(300, '\xE9').c_str());
  });
  std::string expected = "SET AUDIO_OUT ";
  for (int i = 0; i < 119; ++i) expected += "\xC3\xA9";  // 238 of the 239 bytes the command leaves
  EXPECT_EQ(SkypeLines("command").back(), expected + " ");
}
