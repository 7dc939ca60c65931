// The tray icon's clicks and its menu's commands.
#include "platform/os_menu.h"
#include "platform/os_window.h"
#include "resources/resource.h"
#include "shell/ids.h"
#include "shell/main_dialog.h"
#include "tests/unit/call_fixture.h"

namespace {

const std::vector<std::string> MENU = {"About", "-", "Help", "-", "Speed Dial (To Dial Skype Users)",
                                       "-", "Update Check", "-", "Exit"};

}  // namespace

class TrayTest : public CallTest {
 protected:
  void Click(os::LPARAM mouseMessage) {
    os::PostMessageA(MainWindow(), TRAY_NOTIFY_MSG, 1, mouseMessage);
    desktop.RunFor(10);
  }
  void Choose(int command) {
    desktop.ChooseFromNextMenu(command);
    Click(os::WM_RBUTTONUP);
  }
};

TEST_F(TrayTest, MenuOpensAtTheCursorWithSpeedDialGreyedUntilTheAdapterIsReady) {
  StartProgram();
  desktop.SetCursorPos(1000, 750);
  Click(os::WM_RBUTTONUP);
  ASSERT_EQ(desktop.PopupMenus().size(), 1u);
  const sim::PopupMenuRecord& shown = desktop.PopupMenus()[0];
  std::vector<std::string> greyed = MENU;
  greyed[4] += " (grayed)";
  EXPECT_EQ(shown.items, greyed);
  EXPECT_EQ(shown.owner, MainWindow());
  EXPECT_EQ(shown.x, 1000);
  EXPECT_EQ(shown.y, 750);
  EXPECT_EQ(shown.flags, os::TPM_RIGHTALIGN | os::TPM_RIGHTBUTTON);
  EXPECT_EQ(theMainWindow->popupMenu, nullptr);

  PlugInAdapter();
  Click(os::WM_RBUTTONUP);
  EXPECT_EQ(desktop.PopupMenus().back().items, MENU);
}

TEST_F(TrayTest, DoubleClickOpensTheSpeedDialTableOnlyOnceTheAdapterIsReady) {
  StartProgram();
  Click(os::WM_LBUTTONDBLCLK);
  EXPECT_EQ(CountOf("SpeedDialRequest"), 0);
  PlugInAdapter();
  Click(os::WM_LBUTTONDBLCLK);
  os::HWND table = os::FindWindowA("#32770", "CorvaloPlugin - Skype Speed Dial");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(CountOf("SpeedDialRequest"), 0);  // logged once the table closes
  os::PostMessageA(table, os::WM_COMMAND, os::IDCANCEL, 0);
  desktop.RunFor(10);
  EXPECT_EQ(CountOf("SpeedDialRequest"), 1);
  Click(os::WM_LBUTTONDOWN);  // other mouse messages do nothing
  Click(os::WM_RBUTTONDOWN);
  EXPECT_EQ(CountOf("SpeedDialRequest"), 1);
  EXPECT_TRUE(desktop.PopupMenus().empty());
}

TEST_F(TrayTest, AboutShowsTheReleaseAndIsLoggedWhenClosed) {
  StartProgram();
  Choose(ID_APP_ABOUT);
  os::HWND about = os::FindWindowA("#32770", "CorvaloPlugin - About");
  ASSERT_NE(about, nullptr);
  char release[64] = {};
  os::GetWindowTextA(os::GetDlgItem(about, 1062), release, sizeof release);
  EXPECT_STREQ(release, "Release: 2.06");
  char notice[256] = {};
  os::GetWindowTextA(os::GetDlgItem(about, 1063), notice, sizeof notice);
  // The notice names the release and where the help is.
  EXPECT_EQ(std::string(notice).rfind("CorvaloPlugin 2.06 ", 0), 0u) << notice;
  EXPECT_NE(std::string(notice).find("choose Help in the tray icon's menu"), std::string::npos) << notice;
  EXPECT_EQ(CountOf("AboutRequest"), 0);

  os::PostMessageA(os::GetDlgItem(about, os::IDOK), os::BM_CLICK, 0, 0);
  desktop.RunFor(10);
  EXPECT_EQ(os::FindWindowA("#32770", "CorvaloPlugin - About"), nullptr);
  EXPECT_EQ(LogEvents().back(), "AboutRequest");
}

TEST_F(TrayTest, HelpOpensTheHelpFileBesideTheProgram) {
  StartProgram();
  Choose(ID_HELP_OPEN);
  ASSERT_EQ(desktop.ShellExecutes().size(), 1u);
  const sim::ShellExecuteRecord& open = desktop.ShellExecutes()[0];
  EXPECT_EQ(open.owner, nullptr);
  EXPECT_EQ(open.verb, "open");
  EXPECT_EQ(open.file, "C:\\Program Files\\CorvaloPlugin\\help.html");
  EXPECT_EQ(open.parameters, "");
  EXPECT_EQ(open.directory, "");
  EXPECT_EQ(open.show, os::SW_SHOWNORMAL);
  EXPECT_EQ(LogEvents().back(), "HelpRequest");
}

TEST_F(TrayTest, ExitFromTheMenuEndsTheProgram) {
  StartProgram();
  Choose(ID_APP_EXIT);
  ASSERT_TRUE(desktop.RunUntil([this] { return !desktop.IsRunning(program); }, 5000));
  std::vector<std::string> events = LogEvents();
  EXPECT_EQ(std::vector<std::string>(events.end() - 2, events.end()),
            (std::vector<std::string>{"ExitRequest", "ProgramClose"}));
}

TEST_F(TrayTest, ShutdownClosesAnOpenAboutBox) {
  StartProgram();
  Choose(ID_APP_ABOUT);
  ASSERT_NE(os::FindWindowA("#32770", "CorvaloPlugin - About"), nullptr);
  os::PostMessageA(MainWindow(), os::WM_COMMAND, ID_APP_EXIT, 0);
  ASSERT_TRUE(desktop.RunUntil([this] { return !desktop.IsRunning(program); }, 5000));
  EXPECT_EQ(CountOf("ProgramClose"), 1);
  EXPECT_TRUE(desktop.TrayIcons().empty());
}

// A dialog chosen again from the menu while it is open comes to the front
// rather than opening a second time; a second modal loop on the same dialog
// would outlive Exit and leave the program running without its tray icon.
TEST_F(TrayTest, DialogChosenAgainWhileOpenIsNotOpenedTwiceAndExitStillEndsTheProgram) {
  StartProgram();
  PlugInAdapter();
  for (int command : {ID_APP_ABOUT, ID_APP_ABOUT, ID_SPEED_DIAL, ID_SPEED_DIAL}) Choose(command);
  int abouts = 0, tables = 0;
  for (os::HWND window : desktop.TopLevelWindowsOf(program)) {
    char title[64] = {};
    os::GetWindowTextA(window, title, sizeof title);
    abouts += std::string(title) == "CorvaloPlugin - About" ? 1 : 0;
    tables += std::string(title) == "CorvaloPlugin - Skype Speed Dial" ? 1 : 0;
  }
  EXPECT_EQ(abouts, 1);
  EXPECT_EQ(tables, 1);
  Choose(ID_APP_EXIT);
  EXPECT_TRUE(desktop.RunUntil([this] { return !desktop.IsRunning(program); }, 5000));
}
