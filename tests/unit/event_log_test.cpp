// The event log's line format, its restart rules, and the record in the
// hidden control when the file cannot be written.
#include <regex>

#include "platform/os_window.h"
#include "shell/app.h"
#include "shell/main_dialog.h"
#include "tests/unit/program_fixture.h"

namespace {

}  // namespace

// Writes records on a worker thread of the program, as its own worker
// threads do.
void ProgramTest::WriteRecords(int count, const std::string& event) {
  desktop.RunInProcess(program, [&] {
    for (int i = 0; i < count; ++i) theMainWindow->WriteLog(event);
  });
}

TEST_F(ProgramTest, LineCarriesDateTimeWithMillisecondsATabAndTheRecord) {
  desktop.SetLocalTime(os::SYSTEMTIME{2024, 3, 5, 15, 9, 30, 5, 42});
  desktop.StartProcess(EXE_PATH, &ProgramMain);
  desktop.RunFor(0);
  program = 1;
  std::string log = desktop.ReadFile(LOG_PATH);
  EXPECT_EQ(log, "15/03/2024; 09:30:05:042; \t" + IdleRecord("ProgramStart") + "\r\n");
}

TEST_F(ProgramTest, LinesFollowTheVirtualClock) {
  desktop.SetLocalTime(os::SYSTEMTIME{2025, 12, 3, 31, 23, 59, 59, 900});
  StartProgram();
  desktop.RunFor(250);
  WriteRecords(1, "Later");
  std::string log = desktop.ReadFile(LOG_PATH);
  std::regex line(R"((\d\d)/(\d\d)/(\d{4}); (\d\d):(\d\d):(\d\d):(\d{3}); \t(st=[^\r\n]*)\r\n)");
  std::vector<std::smatch> lines;
  for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it)
    lines.push_back(*it);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].str(0).substr(0, 26), "01/01/2026; 00:00:00:200; ");
  EXPECT_EQ(lines[1][8].str(), IdleRecord("Later"));
}

TEST_F(ProgramTest, RecordOneThousandAndOneIsAppendedAndTheNextCallStartsAFreshFile) {
  StartProgram();  // ProgramStart is record 1
  WriteRecords(999, "Digit5");
  WriteRecords(1, "CallOrigination");  // record 1001: still appended
  EXPECT_EQ(LogRecords().size(), 1001u);
  EXPECT_EQ(LogEvents().back(), "CallOrigination");

  WriteRecords(1, "Digit7");  // an ordinary event goes on appending
  EXPECT_EQ(LogRecords().size(), 1002u);

  WriteRecords(1, "IncomingCall");
  EXPECT_EQ(LogEvents(), std::vector<std::string>{"IncomingCall"});
  EXPECT_EQ(theMainWindow->logLineCount, 1);
}

TEST_F(ProgramTest, CallEventsRestartOnlyWhenSpeltExactly) {
  StartProgram();
  WriteRecords(1001, "Digit5");
  WriteRecords(1, "callorigination");
  WriteRecords(1, "IncomingCall ");
  EXPECT_EQ(LogRecords().size(), 1004u);
}

TEST_F(ProgramTest, AnyEventStartsAFreshFileAfterElevenHundredAndOneRecords) {
  StartProgram();
  WriteRecords(1100, "Digit5");
  EXPECT_EQ(LogRecords().size(), 1101u);
  WriteRecords(1, "DeviceAdded");
  EXPECT_EQ(LogEvents(), std::vector<std::string>{"DeviceAdded"});
}

TEST_F(ProgramTest, UnwritableLogStillSetsTheRecordAndKeepsTheCount) {
  StartProgram();
  std::string before = desktop.ReadFile(LOG_PATH);
  desktop.DenyWrites(LOG_PATH);

  WriteRecords(1, "HelpRequest");

  EXPECT_EQ(RecordAsSiblingReadsIt(), IdleRecord("HelpRequest"));
  EXPECT_EQ(theMainWindow->logLineCount, 1);
  EXPECT_EQ(desktop.ReadFile(LOG_PATH), before);
  EXPECT_EQ(theMainWindow->logFile, nullptr);
}

TEST_F(ProgramTest, ExecutablePathWithoutABackslashLogsInTheCurrentDirectory) {
  StartProgram("CorvaloPlugin.exe");
  std::string directory = "unset";
  desktop.RunInProcess(program, [&] { directory = GetAppDirectory(); });
  EXPECT_EQ(directory, "");
  EXPECT_EQ(LogEvents("CorvaloPlugin$Logfile.log"), std::vector<std::string>{"ProgramStart"});
}

TEST_F(ProgramTest, AppDirectoryKeepsItsTrailingBackslashAndBlanks) {
  StartProgram("D:\\My Phone Tools\\bin\\CorvaloPlugin.exe");
  std::string directory;
  desktop.RunInProcess(program, [&] { directory = GetAppDirectory(); });
  EXPECT_EQ(directory, "D:\\My Phone Tools\\bin\\");
  EXPECT_EQ(LogEvents("D:\\My Phone Tools\\bin\\CorvaloPlugin$Logfile.log"),
            std::vector<std::string>{"ProgramStart"});
}

TEST_F(ProgramTest, OverlongTextsAreCutToARecordOf255Characters) {
  StartProgram();
  theMainWindow->callerName = std::string(300, 'N');
  theMainWindow->skypeVersion = std::string(300, 'V');

  std::string record = theMainWindow->BuildStatusRecord("IncomingSkypeCall");  // pure
  EXPECT_EQ(record.size(), 255u);
  EXPECT_EQ(record.rfind("st=IncomingSkypeCall; ct=1; cs=0; of=0; dn=; cn=NNN", 0), 0u);

  WriteRecords(1, "IncomingSkypeCall");
  EXPECT_EQ(LogRecords().back(), record);
  EXPECT_EQ(RecordAsSiblingReadsIt(), record);
}

TEST_F(ProgramTest, OverlongEventNameStillLeavesAWholeRecord) {
  StartProgram();
  std::string record;
  desktop.RunInProcess(program, [&] {
    record = theMainWindow->BuildStatusRecord("DialerAttached:" + std::string(400, 'p'));
  });
  EXPECT_EQ(record.size(), 255u);
  EXPECT_EQ(record.back(), 'p');
}
