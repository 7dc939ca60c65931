// The tray icon survives a restart of the shell: on "TaskbarCreated" the
// program adds its icon again with the look of the moment.
#include "platform/os_shell.h"
#include "resources/resource.h"
#include "shell/ids.h"
#include "tests/unit/call_fixture.h"

namespace {

// The one tray icon, or a null window when there is none.
sim::TrayIcon OnlyIcon(const sim::Desktop& desktop) {
  std::vector<sim::TrayIcon> icons = desktop.TrayIcons();
  if (icons.size() != 1) return sim::TrayIcon{};
  return icons[0];
}

}  // namespace

class TrayRestartTest : public CallTest {
 protected:
  // The shell restarts; the program gets a moment to answer.
  void RestartShell() {
    desktop.RestartShell();
    desktop.RunFor(10);
  }
};

TEST_F(TrayRestartTest, TheIconComesBackWithTheLookOfTheMoment) {
  StartProgram();
  RestartShell();
  sim::TrayIcon icon = OnlyIcon(desktop);
  EXPECT_EQ(icon.window, MainWindow());
  EXPECT_EQ(icon.iconId, TRAY_ICON_ID);
  EXPECT_EQ(icon.iconResource, IDI_NOADAPTER);
  EXPECT_EQ(icon.tip, "CorvaloPlugin (Please plug in and start MJ)");
  EXPECT_EQ(icon.callbackMessage, TRAY_NOTIFY_MSG);
  EXPECT_EQ(desktop.TrayEvents().back().operation, os::NIM_ADD);
  EXPECT_TRUE(desktop.TrayEvents().back().succeeded);
}

TEST_F(TrayRestartTest, AnOffHookHandsetAndAWorkerThreadsLookAreKept) {
  StartReady();
  // The arrival thread shows the Skype prompt 3 s after the adapter came.
  desktop.RunFor(3100);
  RestartShell();
  EXPECT_EQ(OnlyIcon(desktop).tip, "CorvaloPlugin (Start Skype and authorize CorvaloPlugin access)");
  EXPECT_EQ(OnlyIcon(desktop).iconResource, IDI_INITIALISING);

  Handset(0x8E);
  RestartShell();
  EXPECT_EQ(OnlyIcon(desktop).tip, "CorvaloPlugin (Offhook)");
  EXPECT_EQ(OnlyIcon(desktop).iconResource, IDI_OFFHOOK);

  // Later changes modify the re-added icon as usual.
  Handset(0x8F, 2000);
  EXPECT_EQ(OnlyIcon(desktop).tip, "CorvaloPlugin (Start Skype and authorize CorvaloPlugin access)");
}

TEST_F(TrayRestartTest, NoIconIsLeftBehindAfterExit) {
  StartProgram();
  ASSERT_TRUE(ExitProgram());
  RestartShell();
  EXPECT_TRUE(desktop.TrayIcons().empty());
}
