// The Update Check command against a simulated update server.
#include "platform/os_window.h"
#include "platform/sim/internet_replies.h"
#include "resources/resource.h"
#include "shell/main_dialog.h"
#include "tests/unit/program_fixture.h"

namespace {

constexpr const char* SERVER = "http://updates.corvaloplugin.com/marblewick/corvaloplugin-$update$.asp?";
constexpr const char* NO_SERVER =
    "Unable to contact update server. Please check your Internet connection and your "
    "firewall/proxy settings and try again.";

}  // namespace

class UpdateCheckTest : public ProgramTest {
 protected:
  void SetUp() override { sim::ClearHttpReplies(); }
  void Check() {
    os::PostMessageA(MainWindow(), os::WM_COMMAND, ID_UPDATE_CHECK, 0);
    desktop.RunFor(10);
  }
  const sim::MessageBoxRecord& Box() const { return desktop.MessageBoxes().back(); }
};

TEST_F(UpdateCheckTest, AsksForTheReleaseWithTheLocalTimeAndShowsTheAnswer) {
  desktop.SetLocalTime(os::SYSTEMTIME{2026, 12, 2, 8, 9, 5, 7, 0});
  StartProgram();
  sim::SetHttpReply(SERVER, "result=CorvaloPlugin 2.07 is available.\r\nsecond line\r\n");
  Check();

  ASSERT_EQ(sim::HttpRequests().size(), 1u);
  const sim::HttpRequest& request = sim::HttpRequests()[0];
  EXPECT_EQ(request.url, std::string(SERVER) + "re=2.06&d=20261208090507");
  EXPECT_EQ(request.agent, "CorvaloPlugin");
  EXPECT_EQ(request.flags, 1u);  // ASCII transfer
  EXPECT_EQ(request.context, 1u);

  ASSERT_EQ(desktop.MessageBoxes().size(), 1u);
  EXPECT_EQ(Box().text, "CorvaloPlugin 2.07 is available.");
  EXPECT_EQ(Box().caption, "Update Information");
  EXPECT_EQ(Box().owner, MainWindow());
  EXPECT_EQ(LogEvents().back(), "UpdateRequest");
  EXPECT_EQ(sim::OpenInternetHandles(), 0);
}

TEST_F(UpdateCheckTest, EveryPrefixIsRemovedAndABarePrefixShowsAnEmptyBox) {
  StartProgram();
  sim::SetHttpReply(SERVER, "result=Get result=2.07");
  Check();
  EXPECT_EQ(Box().text, "Get 2.07");
  sim::SetHttpReply(SERVER, "result=");
  Check();
  EXPECT_EQ(Box().text, "");
  EXPECT_EQ(Box().caption, "Update Information");
}

TEST_F(UpdateCheckTest, NoServerOrAWrongAnswerWarnsAndIsLogged) {
  StartProgram();
  Check();  // nothing answers
  EXPECT_EQ(Box().text, NO_SERVER);
  EXPECT_EQ(Box().caption, "Warning");
  EXPECT_EQ(LogEvents().back(), "ServerConnProblem");

  for (const char* reply : {"Result=2.07", "", "<html>Not Found</html>", "\nresult=late"}) {
    sim::SetHttpReply(SERVER, reply);
    Check();
    EXPECT_EQ(Box().caption, "Warning") << reply;
  }
  EXPECT_EQ(CountOf("ServerConnProblem"), 5);
  EXPECT_EQ(CountOf("UpdateRequest"), 5);
  EXPECT_EQ(sim::OpenInternetHandles(), 0);
}

TEST_F(UpdateCheckTest, TheSettingsFileMayNameAnotherServer) {
  StartProgram();
  desktop.WriteFile("C:\\Program Files\\CorvaloPlugin\\CorvaloPlugin$.ini",
                    "[Options]\r\nUpdateServer=http://127.0.0.1:8080/\r\n");
  sim::SetHttpReply("http://127.0.0.1:8080/marblewick/", "result=local");
  Check();
  EXPECT_EQ(Box().text, "local");
}

TEST_F(UpdateCheckTest, AnOverlongFirstLineIsCutSafely) {
  StartProgram();
  sim::SetHttpReply(SERVER, "result=" + std::string(100000, 'x'));
  Check();
  EXPECT_EQ(Box().text.size(), 4096u - 7u);
}
