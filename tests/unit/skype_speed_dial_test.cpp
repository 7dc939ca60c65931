// The speed-dial table: the lookups for incoming callers, and the dialog
// that edits the table and its two options.
#include <set>
#include <sstream>

#include "platform/os_window.h"
#include "shell/main_dialog.h"
#include "skype/speed_dial.h"
#include "skype/speed_dial_dialog.h"
#include "tests/unit/skype_fixture.h"

namespace {

constexpr const char* DIALOG_TITLE = "CorvaloPlugin - Skype Speed Dial";

}  // namespace

class SpeedDialTest : public SkypeTest {
 protected:
  // With no adapter, the settings file without a serial.
  static constexpr const char* SETTINGS = "C:\\Program Files\\CorvaloPlugin\\CorvaloPlugin$.ini";
  void SetUp() override { StartProgram(); }
  std::string Number(const std::string& name) {
    std::string slot;
    desktop.RunInProcess(program, [&] { slot = FindSpeedDialNumber(name); });
    return slot;
  }
  std::string Name(const std::string& key) {
    std::string name;
    desktop.RunInProcess(program, [&] { name = FindSpeedDialName(key); });
    return name;
  }
  os::HWND OpenDialog() {
    os::PostMessageA(MainWindow(), os::WM_COMMAND, 155, 0);
    desktop.RunFor(10);
    return os::FindWindowA("#32770", DIALOG_TITLE);
  }
  static std::string Text(os::HWND window) {
    char text[512] = {};
    os::GetWindowTextA(window, text, sizeof text);
    return text;
  }
  void Press(os::HWND dialog, int control) {
    os::PostMessageA(os::GetDlgItem(dialog, control), os::BM_CLICK, 0, 0);
    desktop.RunFor(10);
  }
};

TEST_F(SpeedDialTest, SlotNumberComparesSkypeNamesWithoutSeparatorsButKeepsThePlus) {
  desktop.WriteFile(SETTINGS, "[SpeedDial]\r\nt2=bobby\r\nt4=b-o-b\r\nt6=bob\r\nt8=+1 (555) 0100\r\n");
  EXPECT_EQ(Number("bob"), "4");  // the lower of two slots that both hold it
  EXPECT_EQ(Number("+15550100"), "8");
  EXPECT_EQ(Number("15550100"), "0");
  EXPECT_EQ(Number("BOB"), "0");
  EXPECT_EQ(Number(""), "0");  // not the first empty slot
  std::vector<std::string> events = LogEvents();
  EXPECT_EQ(events[events.size() - 5], "PBSDNumberFound");
  EXPECT_EQ(events.back(), "PBSDNumberNotFound");
}

TEST_F(SpeedDialTest, PersonsNameIsThatOfTheFirstSlotContainingTheKey) {
  desktop.WriteFile(
      SETTINGS,
      "[SpeedDial]\r\nn1=Nobody\r\nt2=bobby\r\nn3=Bob\r\nt3=bob\r\nn5=Dan\r\nt5=+1 (800) 555-0100\r\n"
      "n6=Dan Again\r\nt6=18005550100\r\n");
  EXPECT_EQ(Name("bob"), "unknown");  // slot 2 holds bobby but has no name
  EXPECT_EQ(Name("(800) 555-0100"), "Dan");
  EXPECT_EQ(Name("8005550100"), "Dan");
  EXPECT_EQ(Name("carol"), "unknown");
  EXPECT_EQ(Name("  "), "unknown");
  EXPECT_EQ(Name("+()"), "unknown");  // nothing of the key is left to look for
}

TEST_F(SpeedDialTest, OkWritesTheWholeTableAndTheDialogShowsItNextTime) {
  desktop.WriteFile(SETTINGS, "[Options]\r\nAutoMinimizeDialer=0\r\n");
  os::HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(os::IsWindowVisible(dialog));
  EXPECT_EQ(Text(os::GetDlgItem(dialog, 1059)), "Skype Name/Alias");
  EXPECT_EQ(Text(os::GetDlgItem(dialog, 1060)), "Skype Name/Alias");
  os::SetWindowTextA(os::GetDlgItem(dialog, CSpeedDialDlg::NameEditId(1)), "Bob");
  os::SetWindowTextA(os::GetDlgItem(dialog, CSpeedDialDlg::AliasEditId(1)), "bob");
  os::SetWindowTextA(os::GetDlgItem(dialog, CSpeedDialDlg::AliasEditId(50)), "+15550100");
  Press(dialog, 1073);  // AutoMinimizeDialer on again
  Press(dialog, 1074);  // AllowPinDialing off
  Press(dialog, os::IDOK);
  EXPECT_EQ(os::FindWindowA("#32770", DIALOG_TITLE), nullptr);
  EXPECT_EQ(LogEvents().back(), "SpeedDialRequest");

  std::ostringstream expected;
  expected << "[Options]\r\nAutoMinimizeDialer=1\r\nAllowPinDialing=0\r\n[SpeedDial]\r\n";
  for (int slot = 1; slot <= 50; ++slot) {
    expected << "n" << slot << "=" << (slot == 1 ? "Bob" : "") << "\r\n";
    expected << "t" << slot << "=" << (slot == 1 ? "bob" : slot == 50 ? "+15550100" : "") << "\r\n";
  }
  EXPECT_EQ(desktop.ReadFile(SETTINGS), expected.str());

  dialog = OpenDialog();
  EXPECT_EQ(Text(os::GetDlgItem(dialog, 1028)), "Bob");
  EXPECT_EQ(Text(os::GetDlgItem(dialog, 1009)), "bob");
  EXPECT_EQ(Text(os::GetDlgItem(dialog, 1199)), "+15550100");
  Press(dialog, os::IDOK);  // written again, unchanged
  EXPECT_EQ(desktop.ReadFile(SETTINGS), expected.str());
}

TEST_F(SpeedDialTest, CancelLeavesTheFileAsItWas) {
  const std::string before = "[SpeedDial]\r\nn1=Bob\r\nt1=bob\r\n";
  desktop.WriteFile(SETTINGS, before);
  os::HWND dialog = OpenDialog();
  os::SetWindowTextA(os::GetDlgItem(dialog, CSpeedDialDlg::NameEditId(1)), "Robert");
  Press(dialog, 1074);
  Press(dialog, os::IDCANCEL);
  EXPECT_EQ(os::FindWindowA("#32770", DIALOG_TITLE), nullptr);
  EXPECT_EQ(desktop.ReadFile(SETTINGS), before);
}

TEST_F(SpeedDialTest, EverySlotHasItsOwnNameAndAliasEdit) {
  os::HWND dialog = OpenDialog();
  std::set<int> ids;
  for (int slot = 1; slot <= 50; ++slot) {
    for (int id : {CSpeedDialDlg::NameEditId(slot), CSpeedDialDlg::AliasEditId(slot)}) {
      char name[32] = {};
      os::GetClassNameA(os::GetDlgItem(dialog, id), name, sizeof name);
      EXPECT_STREQ(name, "Edit") << "slot " << slot << ", control " << id;
      ids.insert(id);
    }
  }
  EXPECT_EQ(ids.size(), 100u);
  // The numbering of the edits, where it changes its rule.
  const int expected[][3] = {{1, 1028, 1009},  {19, 1046, 1027}, {20, 1047, 1048},
                             {25, 1057, 1058}, {26, 1150, 1151}, {47, 1192, 1193},
                             {48, 1195, 1194}, {49, 1197, 1196}, {50, 1198, 1199}};
  for (const auto& slot : expected) {
    EXPECT_EQ(CSpeedDialDlg::NameEditId(slot[0]), slot[1]);
    EXPECT_EQ(CSpeedDialDlg::AliasEditId(slot[0]), slot[2]);
  }
  EXPECT_EQ(CSpeedDialDlg::NameEditId(51), 0);
}
