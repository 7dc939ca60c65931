// Files the program cannot write never stop a call: a log in a folder the
// user may not write, and a settings file made read-only.
#include <algorithm>

#include "phonehook/hook_messages.h"
#include "platform/os_window.h"
#include "tests/unit/rules_fixture.h"
#include "tests/unit/text_lines.h"

class UnwritableFilesTest : public RulesTest {};

TEST_F(UnwritableFilesTest, ACallGoesThroughWhileTheLogCannotBeWritten) {
  StartWithAdapter();
  std::string logBefore = desktop.ReadFile(LOG_PATH);
  desktop.DenyWrites(LOG_PATH);

  Handset(HANDSET_OFF_HOOK);
  Dial("*0#");
  desktop.RunFor(3000);
  EXPECT_TRUE(Contains(SkypeLines("command"), "CALL echo123"));
  // Siblings still read the state from the hidden record.
  EXPECT_NE(RecordAsSiblingReadsIt().find("ct=2; cs=3; of=1; dn=echo123;"), std::string::npos);

  Handset(HANDSET_ON_HOOK, 2000);
  EXPECT_TRUE(Contains(SkypeLines("command"), "HOOK ON"));
  EXPECT_NE(RecordAsSiblingReadsIt().find("st=CallOnhook; ct=0; cs=0; of=0;"), std::string::npos);
  EXPECT_EQ(desktop.ReadFile(LOG_PATH), logBefore);
  EXPECT_TRUE(desktop.IsRunning(program));
}

TEST_F(UnwritableFilesTest, AReadOnlySettingsFileStillDialsItsSpeedDialSlots) {
  desktop.WriteFile(SETTINGS, "[SpeedDial]\r\nn7=Bob Smith\r\nt7=bob\r\n");
  StartWithAdapter();
  desktop.DenyWrites(SETTINGS);

  // The table's OK writes nothing and loses the change without a word.
  os::PostMessageA(MainWindow(), os::WM_COMMAND, 155, 0);
  desktop.RunFor(10);
  os::HWND table = os::FindWindowA("#32770", "CorvaloPlugin - Skype Speed Dial");
  ASSERT_NE(table, nullptr);
  os::SetWindowTextA(os::GetDlgItem(table, 1009), "carol");  // slot 1's Skype name
  os::PostMessageA(os::GetDlgItem(table, os::IDOK), os::BM_CLICK, 0, 0);
  desktop.RunFor(10);
  EXPECT_EQ(os::FindWindowA("#32770", "CorvaloPlugin - Skype Speed Dial"), nullptr);
  EXPECT_EQ(desktop.ReadFile(SETTINGS), "[SpeedDial]\r\nn7=Bob Smith\r\nt7=bob\r\n");

  Handset(HANDSET_OFF_HOOK);
  Dial("*7#");
  desktop.RunFor(3000);
  EXPECT_TRUE(Contains(SkypeLines("command"), "CALL bob"));
  EXPECT_TRUE(desktop.IsRunning(program));
}
