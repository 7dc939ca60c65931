#include "tests/fuzz/fuzz_desktop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "phonehook/hook_messages.h"
#include "phonehook/hook_state.h"
#include "platform/os_window.h"
#include "platform/sim/hid_devices.h"
#include "shell/app.h"
#include "shell/main_dialog.h"
#include "standins/skype/skype.h"
#include "standins/softphone/softphone.h"
#include "tests/unit/text_lines.h"

namespace {

std::unique_ptr<FuzzDesktop> theDesktop;
int theUses = 0;

// The size of the buffer the program formats a Skype command in.
constexpr std::size_t COMMAND_BUFFER = 255;

}  // namespace

std::string FuzzInput::Bytes(std::size_t count) {
  count = std::min(count, Left());
  std::string bytes(reinterpret_cast<const char*>(data_ + at_), count);
  at_ += count;
  return bytes;
}

std::string FuzzInput::Until(char separator) {
  const void* found = std::memchr(data_ + at_, separator, Left());
  if (!found) return Rest();
  std::size_t count = static_cast<const std::uint8_t*>(found) - (data_ + at_);
  std::string bytes = Bytes(count);
  ++at_;
  return bytes;
}

void LineBreaksFromMarks(std::string& text) {
  for (char& c : text) {
    if (c == '\x01') c = '\n';
  }
}

FuzzDesktop::FuzzDesktop(const DesktopParts& parts) {
  // The hook library's shared section is one per desktop, as it is one per
  // Windows session.
  phonehookShared = {};
  PhonehookProcessAttach(nullptr);
  if (parts.adapter) {
    adapterPath = sim::PlugInHidDevice(sim::SoftphoneAdapter());
  }
  if (parts.skype) {
    skype = desktop.StartProcess(SKYPE_EXE, &SkypeMain);
    desktop.RunFor(10);
  }
  if (parts.softphone) {
    softphone = desktop.StartProcess(SOFTPHONE_EXE, &SoftphoneMain, "--version 2012.1");
    desktop.RunFor(10);
  }
  program = desktop.StartProcess(EXE_PATH, &ProgramMain);
  desktop.RunFor(50);
  if (parts.adapter && !desktop.RunUntil([] { return theMainWindow && theMainWindow->adapterReady; }, 8000))
    Fail("the adapter never became ready");
  if (parts.skype && !desktop.RunUntil([this] { return SkypeApiWindow() != nullptr; }, 5000))
    Fail("Skype never attached");
  if (parts.softphone && !desktop.RunUntil([this] { return SoftphoneWindow() != nullptr; }, 5000))
    Fail("the softphone was never hooked");
  desktop.RunFor(1000);
  sim::ClearHidCalls();
}

FuzzDesktop::~FuzzDesktop() = default;

FuzzDesktop& FuzzDesktop::Get(const DesktopParts& parts, int uses) {
  if (theDesktop && ++theUses > uses) Discard();
  if (!theDesktop) {
    theDesktop.reset(new FuzzDesktop(parts));
    theUses = 0;
  }
  return *theDesktop;
}

void FuzzDesktop::Discard() { theDesktop.reset(); }

os::HWND FuzzDesktop::MainWindow() const { return os::FindWindowA("#32770", "CorvaloPlugin - Call Status"); }
os::HWND FuzzDesktop::SkypeApiWindow() const { return theMainWindow ? theMainWindow->skypeApiWindow.load() : nullptr; }
os::HWND FuzzDesktop::SoftphoneWindow() const {
  return theMainWindow ? theMainWindow->softphoneWindow.load() : nullptr;
}

void FuzzDesktop::Handset(unsigned code, os::DWORD settleMs) {
  os::PostMessageA(os::FindWindowA(HANDSET_WINDOW_CLASS, HANDSET_WINDOW_TITLE), HANDSET_KEY_MSG, code, 0);
  desktop.RunFor(settleMs);
}

void FuzzDesktop::Dial(const std::string& keys) {
  for (char key : keys) {
    unsigned code = key == '*' ? HANDSET_STAR : key == '#' ? HANDSET_HASH : static_cast<unsigned char>(key);
    Handset(code);
  }
}

void FuzzDesktop::Cue(const std::string& line, os::DWORD settleMs) {
  desktop.WriteFile(SKYPE_CUES, desktop.ReadFile(SKYPE_CUES) + line + "\n");
  os::PostMessageA(os::FindWindowA(SKYPE_MAIN_CLASS, nullptr), SKYPE_CUE_MSG, 0, 0);
  desktop.RunFor(settleMs);
}

os::LRESULT FuzzDesktop::SendRecord(os::DWORD from, os::HWND sender, const std::string& bytes, os::DWORD cbData) {
  // The receiver gets exactly cbData bytes, as the system copies them; a
  // heap block of that size lets AddressSanitizer see any read beyond.
  std::unique_ptr<char[]> data(cbData ? new char[cbData] : nullptr);
  if (cbData) {
    std::memset(data.get(), 0, cbData);
    std::memcpy(data.get(), bytes.data(), std::min<std::size_t>(bytes.size(), cbData));
  }
  os::COPYDATASTRUCT record = {0, cbData, data.get()};
  os::HWND main = MainWindow();
  os::LRESULT answer = 0;
  desktop.RunInProcess(from, [&] {
    answer = os::SendMessageA(main, os::WM_COPYDATA, reinterpret_cast<os::WPARAM>(sender),
                              reinterpret_cast<os::LPARAM>(&record));
  });
  return answer;
}

std::vector<std::string> FuzzDesktop::SkypeLines(const std::string& kind) const {
  std::vector<std::string> texts;
  for (const std::string& line : TextLines(desktop.ReadFile(SKYPE_TRANSCRIPT))) {
    if (line == kind) texts.push_back("");
    if (line.rfind(kind + " ", 0) == 0) texts.push_back(line.substr(kind.size() + 1));
  }
  return texts;
}

bool FuzzDesktop::Idle() const {
  return theMainWindow && theMainWindow->callState == 0 && theMainWindow->offHook == 0 &&
         theMainWindow->lineMode == 0;
}

bool FuzzDesktop::ReturnToIdle() {
  if (!theMainWindow || !desktop.IsRunning(program)) return false;
  bool hadCall = !Idle();
  if (theMainWindow->offHook) Handset(HANDSET_ON_HOOK, 50);
  // The Skype model's own call ends too, even where a fuzzed notification
  // already ended it for the program, so the next call can ring.
  if (skype) Cue("end FINISHED", 10);
  if (skype && !Idle()) {
    // A call the Skype model never had (one a fuzzed notification made up)
    // ends the way Skype would end it: with its final status.
    std::int32_t id = theMainWindow->skypeCallId;
    if (id != 0 && SkypeApiWindow()) {
      std::string finished = "CALL " + std::to_string(id) + " STATUS FINISHED";
      SendRecord(skype, SkypeApiWindow(), finished, static_cast<os::DWORD>(finished.size() + 1));
    }
  }
  if (!desktop.RunUntil([this] { return Idle(); }, 3000)) return false;
  // The call fields go idle before the hang-up's tidying ends (closing
  // windows, each wait up to 500 ms); a call that rang in meanwhile would
  // meet the end of this one, so the next input waits until it is over.
  if (hadCall) desktop.RunFor(2500);
  return Idle();
}

void FuzzDesktop::CheckStatusRecord() const {
  static const char* const KEYS[] = {"st", "ct", "cs", "of", "dn", "cn", "ci",
                                     "pi", "sn", "wv", "pr", "re", "sv", "mv"};
  // As a sibling program reads it: the main window's second child.
  os::HWND second = os::GetWindow(os::GetWindow(MainWindow(), os::GW_CHILD), os::GW_HWNDNEXT);
  char text[1024] = {};
  os::GetWindowTextA(second, text, sizeof text);
  std::string record = text;
  if (record.size() > 255) Fail("status record longer than 255: " + record);
  if (record.rfind("st=", 0) != 0) Fail("status record does not start with st=: " + record);
  std::size_t at = 0;
  for (const char* key : KEYS) {
    std::string name = std::string(at == 0 ? "" : "; ") + key + "=";
    std::size_t found = record.find(name, at);
    if (found == std::string::npos) {
      // Only a record cut at its full length may lose its last keys.
      if (record.size() != 255) Fail(std::string("status record lacks ") + key + ": " + record);
      return;
    }
    at = found + name.size();
  }
}

void FuzzDesktop::CheckSkypeCommands() {
  if (!skype) return;
  std::vector<std::string> lines = TextLines(desktop.ReadFile(SKYPE_TRANSCRIPT));
  for (std::size_t i = skypeLinesChecked_; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.rfind("malformed ", 0) == 0) Fail("Skype got a record not ending at its NUL: " + line);
    for (const char* kind : {"command ", "refused "}) {
      if (line.rfind(kind, 0) == 0 && line.size() - std::strlen(kind) >= COMMAND_BUFFER)
        Fail("Skype command longer than the buffer: " + line);
    }
  }
  skypeLinesChecked_ = lines.size();
}

void FuzzDesktop::CheckLogLines() {
  std::string log = desktop.ReadFile(LOG_PATH);
  std::string firstLine = log.substr(0, log.find('\n'));
  if (firstLine != logFirstLine_ || log.size() < logBytesChecked_) logBytesChecked_ = 0;  // started afresh
  logFirstLine_ = firstLine;
  for (const std::string& line : TextLines(log.substr(logBytesChecked_))) {
    bool stamped = line.size() > 27 && line[2] == '/' && line[5] == '/' && line.compare(10, 2, "; ") == 0 &&
                   line.compare(24, 3, "; \t") == 0 && line.compare(27, 3, "st=") == 0;
    if (!stamped) Fail("log line is not one whole record: " + line);
  }
  logBytesChecked_ = log.size();
}

void FuzzDesktop::CheckAlive() const {
  if (!desktop.IsRunning(program)) Fail("the program ended");
  if (!MainWindow()) Fail("the main window is gone");
}

void FuzzDesktop::Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz invariant: %s\n", what.c_str());
  if (theDesktop) {
    std::vector<std::string> lines = TextLines(theDesktop->desktop.ReadFile(LOG_PATH));
    std::fprintf(stderr, "the log's last lines:\n");
    for (std::size_t i = lines.size() > 12 ? lines.size() - 12 : 0; i < lines.size(); ++i)
      std::fprintf(stderr, "  %s\n", lines[i].c_str());
  }
  std::abort();
}
